#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

// Whole-file access for the INI layer, backup and restore. The only place that knows
// how the platform flushes and replaces files.
namespace filestore {

// Paths cross the program as text: UTF-8 on Windows; elsewhere the file system's own
// bytes, which need not be valid UTF-8 (a home folder named in Latin-1 stays usable).
std::filesystem::path toPath(std::string_view text);
std::string pathText(const std::filesystem::path& path);

// Follows links: a link that leads nowhere does not exist.
bool exists(const std::filesystem::path& path);

// Failures of this module that the system has no code for.
enum class FileError {
    NotRegularFile = 1, // a folder, a FIFO, a device: never read or written as a file
    KeepsChanging,      // another program kept rewriting the file while it was read or written
};
std::error_code make_error_code(FileError error);

// A write that finds another stamp at its end knows that another program changed the
// file meanwhile.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    std::uint64_t size = 0;
    std::int64_t changed = 0; // nanoseconds
    bool operator==(const FileStamp&) const = default;
};

struct ReadResult {
    bool ok = false;
    std::string bytes;
    std::error_code error; // why it failed
    FileStamp stamp;       // of the version read
    // The file grants no write access: no write permission bits on POSIX (also for root,
    // who could otherwise replace it), the read-only attribute on Windows.
    bool readOnly = false;
};

// Reads a regular file, or the one a link leads to, whole; anything else fails at once
// with NotRegularFile. Larger than `maxSize` (also by growing while read): file_too_large.
// A file that changes while read is read again; KeepsChanging when it will not hold still.
ReadResult readFile(const std::filesystem::path& path, std::uintmax_t maxSize = UINTMAX_MAX);

// readFile for a read-modify-write, a backup or a restore: a version another program is
// still writing may be only the start of its write, so it is taken once no program holds
// the file open for writing or, where the system cannot tell, once it has held still for
// a moment (an emptied file longer). This program's own last version is taken at once.
ReadResult readSettledFile(const std::filesystem::path& path, std::uintmax_t maxSize = UINTMAX_MAX);

// The player's files are never replaced while read-only: that is how players keep the
// game from resetting their settings. The program's own files (the backups) are, but
// not through a link: the file it leads to is someone else's.
enum class Ownership { Player, Program };

// The new content of one file, written and flushed beside it but not yet in its place,
// so that several files can be prepared before the first one changes. A link is followed
// and stays a link. The new file takes the target's permissions, owner, group and
// extended attributes (or those of `permissionsOf`: a backup is as private as the file
// it copies). Where it cannot, or the file has hard links, a writable file is rewritten
// in place through a rollback journal instead. Dropped without commit(), nothing changes.
class Replacement {
public:
    Replacement(const std::filesystem::path& target, std::string_view bytes,
                const std::filesystem::path* permissionsOf = nullptr,
                Ownership ownership = Ownership::Player);
    ~Replacement();
    Replacement(Replacement&& other) noexcept;
    Replacement& operator=(Replacement&&) = delete;
    Replacement(const Replacement&) = delete;

    std::error_code error() const { return m_error; }

    // Puts the new content in place; the folder is flushed now, or at the end of the open
    // FolderFlushScope. With `expected`, a target that no longer has that stamp is left
    // alone and KeepsChanging is returned.
    std::error_code commit(const FileStamp* expected = nullptr);

private:
    std::filesystem::path m_target;    // the file itself, links followed
    std::filesystem::path m_temporary; // empty when the target is rewritten in place
    std::string m_inPlaceBytes;
    bool m_inPlace = false;
    bool m_overReadOnly = false;
    FileStamp m_checked;           // of the file replaced, as looked at first
    FileStamp m_written;           // of the new content once written
    std::size_t m_contentHash = 0; // of the new content
    std::error_code m_error;
};

// While one is open, the renames of all replacements are made to last by one flush of
// each folder at the end of the outermost scope. Until then a power cut may cost the
// latest writes, never a file's wholeness.
class FolderFlushScope {
public:
    FolderFlushScope();
    ~FolderFlushScope();
    FolderFlushScope(const FolderFlushScope&) = delete;
    FolderFlushScope& operator=(const FolderFlushScope&) = delete;
};

// Replaces `target` so that it is at every moment the complete old or new file.
std::error_code replaceFile(const std::filesystem::path& target, std::string_view bytes,
                            const FileStamp* expected = nullptr);

// Removes temporary files of `target`'s name that a killed write left, once older than
// `minimumAge` (a younger one may be another copy of the program still writing).
void removeStaleTemporaries(const std::filesystem::path& target,
                            std::chrono::seconds minimumAge = std::chrono::seconds(60));

} // namespace filestore

template <> struct std::is_error_code_enum<filestore::FileError> : std::true_type {};
