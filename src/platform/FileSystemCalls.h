#pragma once

#include "platform/FileStore.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

// The operating system's file calls behind FileStore: one implementation for POSIX
// systems, one for Windows. Nothing outside src/platform uses them.
namespace filestore::sys {

// The error of the call that failed last (errno on POSIX, GetLastError on Windows).
std::error_code lastError();

// What the system answers a write to a read-only file.
std::error_code accessDenied();

// Whether `error` says that this user may not do that (rather than, say, a full disk).
bool isPermissionError(const std::error_code& error);

std::string describe(const std::error_code& error);

enum class Kind { Regular, Directory, Other };

struct FileFacts {
    FileStamp stamp;
    std::uint64_t links = 1; // names of the file (hard links)
    Kind kind = Kind::Other;
    // As ReadResult::readOnly.
    bool readOnly = false;
    // POSIX only: permissions, owner and group.
    std::uint32_t mode = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;
};

// The time now, in the clock and unit of FileStamp::changed.
std::int64_t currentTime();

// What is at `path`, links followed; nullopt (and lastError()) when nothing is there.
std::optional<FileFacts> factsOf(const std::filesystem::path& path);

// The file `path` leads to once every link on the way is followed; it need not exist.
// With `facts`, also what is there, from the same look.
std::filesystem::path followLinks(const std::filesystem::path& path,
                                  std::optional<FileFacts>* facts = nullptr);

// Reads the whole file, at most `maxSize` + 1 bytes, without ever waiting for a writer;
// `facts` describes the open file after the read.
std::error_code readWhole(const std::filesystem::path& path, std::uintmax_t maxSize, std::string& bytes,
                          FileFacts& facts);

// An open file (a descriptor on POSIX, a HANDLE on Windows), closed with the object.
// `path` names the file in what the file-call observer is told.
class Handle {
public:
    explicit Handle(std::intptr_t native = -1, std::filesystem::path path = {})
        : m_native(native)
        , m_path(std::move(path)) {}
    Handle(Handle&& other) noexcept
        : m_native(std::exchange(other.m_native, -1))
        , m_path(std::move(other.m_path))
        , m_written(other.m_written) {}
    Handle& operator=(Handle&&) = delete;
    ~Handle() { close(); }
    bool valid() const { return m_native != -1; }
    std::intptr_t native() const { return m_native; }
    int fd() const { return static_cast<int>(m_native); }
    const std::filesystem::path& path() const { return m_path; }
    void markWritten() { m_written = true; }
    std::error_code close();

private:
    std::intptr_t m_native;
    std::filesystem::path m_path;
    bool m_written = false;
};

// Creates a new file for writing; fails with errc::file_exists when the name is taken.
// With `mode`, the file starts with these permissions, never wider, not even for a moment.
Handle createNew(const std::filesystem::path& path, std::optional<std::uint32_t> mode,
                 std::error_code& error);

// Gives `file` the owner, group and permissions in `wanted`. Fails when the owner or
// the group cannot be given: the new file would then belong to someone else.
std::error_code keepOwnerAndMode(Handle& file, const FileFacts& wanted);

std::error_code copyMode(Handle& file, const std::filesystem::path& model);

// Copies the extended attributes (ACLs among them) as far as this user may set them.
void copyExtendedAttributes(const std::filesystem::path& model, Handle& file);

std::error_code writeAllAndFlush(Handle& file, std::string_view bytes);

bool canWrite(const std::filesystem::path& path);

// An existing file opened for reading and writing in place: never through a link (or a
// Windows reparse point standing for another name) and never waiting (a FIFO put in its
// place opens at once, and `facts` shows it).
Handle openToRewrite(const std::filesystem::path& path, FileFacts& facts, std::error_code& error);

// At most `maxSize` + 1 bytes, read from the start.
std::error_code readAll(Handle& file, std::uintmax_t maxSize, std::string& bytes);

std::error_code writeAt(Handle& file, std::uint64_t offset, std::string_view bytes);

// Takes the room on disk now, so that writing up to `size` cannot fail for want of
// room, a quota or the size limit.
std::error_code reserve(Handle& file, std::uint64_t size);

std::error_code resize(Handle& file, std::uint64_t size);

std::error_code flush(Handle& file);

// Whether another program has the file open for writing now: Unknown where the system
// cannot tell (a file system without leases, a file this user may not lease).
enum class Writers { None, Some, Unknown };
Writers otherWriters(const std::filesystem::path& path);

// Whether `path` itself is a symbolic link (or a reparse point standing for another name).
bool isLink(const std::filesystem::path& path);

// The folder for the program's own state of this user: $XDG_STATE_HOME/knobwerk or
// ~/.local/state/knobwerk, on Windows %LOCALAPPDATA%\Knobwerk. Empty when unknown.
std::filesystem::path stateFolder();

// Renames `from` to the free name `to` (never over another file).
std::error_code renameFree(const std::filesystem::path& from, const std::filesystem::path& to);

// Puts the flushed `temporary` in the place of `target`; with `overReadOnly`, also a read-only one.
std::error_code moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target,
                              bool overReadOnly);

// Flushes the folder's list of names, so that a rename in it survives a power cut.
void flushFolder(const std::filesystem::path& folder);

void removeFile(const std::filesystem::path& path);

} // namespace filestore::sys
