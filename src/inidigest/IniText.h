#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The private-profile rules of Windows INI files, applied to a file's bytes.
// Pure functions: no disk, no state, so they can be tested and fuzzed on their own.
//
// - CR LF, LF and CR each end a line. Lines that are not changed keep their bytes and
//   line ends; written lines end with CR LF.
// - Lines are compared after trimming spaces and tabs; names compare without regard
//   to ASCII letter case.
// - A heading is a line "[name]" (text after the last "]" is ignored). Only the first
//   heading of a name counts, for reading and for writing.
// - A key line is any other line with "=", except comments (first character ";").
namespace initext {

constexpr std::size_t kMaxValueLength = 2047;

// The value of the first `key` line in the first `section`, trimmed and with one pair
// of enclosing quotes removed, at most kMaxValueLength characters; nullopt if absent.
std::optional<std::string> readValue(std::string_view content, std::string_view section,
                                     std::string_view key);

// `content` with `key` in `section` set to `value`: the first matching line replaced,
// or a new line after the last non-blank line of the section, or a new section at the
// end of the file. CR and LF in the value are dropped, so a write never adds lines.
std::string writeValue(std::string_view content, std::string_view section, std::string_view key,
                       std::string_view value);

// writeValue in place: for large files, where a copy per key would cost more than the rest.
void setValue(std::string& content, std::string_view section, std::string_view key, std::string_view value);

} // namespace initext
