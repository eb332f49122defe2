#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Reads the list of Steam library folders from Steam's libraryfolders.vdf, a KeyValues
// text file: nested "key" "value" pairs and "key" { ... } blocks, // comments, and
// backslash escapes inside quoted strings.
//
// Two layouts are understood, both under a root block named "libraryfolders" (any case):
//   current: "libraryfolders" { "0" { "path" "/home/me/.local/share/Steam" ... } "1" { ... } }
//   older:   "LibraryFolders" { "TimeNextStatsReport" "..." "1" "/mnt/games/SteamLibrary" }
//
// The reader never fails: damaged input (unbalanced braces, a cut-off file, binary
// bytes, nothing at all) gives whatever library paths were read before the damage.
namespace steamlibraries {

// Library root paths in file order, as written in the file (UTF-8), without empty
// values and without repeats of the same text.
std::vector<std::string> parseLibraryFolders(std::string_view text) noexcept;

// Reads and parses the file; a missing or unreadable file gives an empty list. Files
// larger than a few megabytes are not Steam's and are read only as far as that limit.
std::vector<std::string> readLibraryFolders(const std::filesystem::path& file) noexcept;

} // namespace steamlibraries
