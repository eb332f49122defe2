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

std::error_code lastError();

enum class Kind { Regular, Directory, Other };

struct FileFacts {
    FileStamp stamp;
    std::uint64_t links = 1; // names of the file (hard links)
    Kind kind = Kind::Other;
};

// The time now, in the clock and unit of FileStamp::changed.
std::int64_t currentTime();

// What is at `path`, links followed; nullopt (and lastError()) when nothing is there.
std::optional<FileFacts> factsOf(const std::filesystem::path& path);

// The file `path` leads to once every symbolic link on the way is followed; it need
// not exist (the last link of a chain may lead nowhere).
std::filesystem::path followLinks(const std::filesystem::path& path);

// Reads the whole file, at most `maxSize` + 1 bytes, without ever waiting for a writer;
// `facts` describes the open file after the read.
std::error_code readWhole(const std::filesystem::path& path, std::uintmax_t maxSize, std::string& bytes,
                          FileFacts& facts);

// An open file descriptor, closed with the object.
class Handle {
public:
    explicit Handle(int fd = -1)
        : m_fd(fd) {}
    Handle(Handle&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)) {}
    Handle& operator=(Handle&&) = delete;
    ~Handle() { close(); }
    int fd() const { return m_fd; }
    std::error_code close();

private:
    int m_fd;
};

// Creates a new file for writing; fails with errc::file_exists when the name is taken.
// With `model`, the file starts with the model's permissions (never wider, not even for a
// moment), else with the defaults for a new file.
Handle createNew(const std::filesystem::path& path, const std::filesystem::path* model,
                 std::error_code& error);

// Gives `file` the owner, group and permissions of `model`. Fails when the owner or the
// group cannot be given: the replaced file would then belong to someone else.
std::error_code copyOwnerAndMode(Handle& file, const std::filesystem::path& model);

// Gives `file` the permissions of `model`.
std::error_code copyMode(Handle& file, const std::filesystem::path& model);

// Copies the extended attributes (ACLs among them) of `model`, where the system has them,
// as far as this user may set them.
void copyExtendedAttributes(const std::filesystem::path& model, Handle& file);

std::error_code writeAllAndFlush(Handle& file, std::string_view bytes);

// Writes `bytes` over the file's content where it is, cuts it to their length, flushes.
std::error_code rewriteInPlace(const std::filesystem::path& path, std::string_view bytes);

// Puts the flushed `temporary` in the place of `target`, replacing it if it is there.
std::error_code moveIntoPlace(const std::filesystem::path& temporary, const std::filesystem::path& target);

// Flushes the folder's list of names, so that a rename in it survives a power cut.
void flushFolder(const std::filesystem::path& folder);

void removeFile(const std::filesystem::path& path);

} // namespace filestore::sys
