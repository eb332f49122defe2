#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// Whole-file access for the INI layer, backup and restore. The only place that knows
// how the platform flushes and replaces files.
namespace filestore {

// Paths cross the program as UTF-8 text.
std::filesystem::path toPath(std::string_view utf8);
std::string toUtf8(const std::filesystem::path& path);

bool exists(const std::filesystem::path& path);

struct ReadResult {
    bool ok = false;
    std::string bytes;
    std::error_code error; // why it failed
};

// Files larger than `maxSize` are not read: the result then has errc::file_too_large.
ReadResult readFile(const std::filesystem::path& path, std::uintmax_t maxSize = UINTMAX_MAX);

// True when the file grants no write access: no write permission bits on POSIX (also
// for root, who could otherwise replace it), the read-only attribute on Windows.
bool isReadOnly(const std::filesystem::path& path);

// Replaces `target` with `bytes` so that it is, at every moment, either the complete old
// or the complete new file: write a temporary file in the same folder, flush it to
// disk, rename it over the target. Keeps the target's permissions. Returns the error.
std::error_code replaceFile(const std::filesystem::path& target, std::string_view bytes);

// Removes what writes to `target` left behind when the program was killed mid-write:
// temporary files of its name older than `minimumAge` (younger ones may belong to a
// write still under way in another copy of the program).
void removeStaleTemporaries(const std::filesystem::path& target,
                            std::chrono::seconds minimumAge = std::chrono::seconds(60));

} // namespace filestore
