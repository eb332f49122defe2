#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// A file rewritten in place is half old and half new while the rewrite runs. Before its
// first byte changes, its old and new content go to a flushed journal, removed once the
// file is flushed. A journal found at start-up tells of a rewrite that a crash or a power
// cut cut short: the file then gets its old content back.
namespace filestore::journal {

// Writes and flushes the journal of rewriting `file` from `oldBytes` to `newBytes`:
// beside the file when its folder can be written, else in the player's state folder.
// Returns the journal's path; empty, with `error` set, when it could not be written.
std::filesystem::path begin(const std::filesystem::path& file, std::string_view oldBytes,
                            std::string_view newBytes, std::error_code& error);

// Removes the journal of a rewrite that ended with the file whole.
void end(const std::filesystem::path& journal);

// A journal whose file someone else changed since: the file was left alone and the
// journal, holding its earlier content, kept under another name.
struct Unmatched {
    std::filesystem::path file;
    std::filesystem::path keptAt;
};

// Finishes every rewrite that a journal shows cut short, for the journals beside `files`
// (links followed) and all in the state folder: a file holding a mix of the old and the
// new content gets its old content back; a whole old or new file is left as it is.
std::vector<Unmatched> recover(const std::vector<std::filesystem::path>& files);

} // namespace filestore::journal
