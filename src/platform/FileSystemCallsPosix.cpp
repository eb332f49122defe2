#ifndef _WIN32

#include "platform/FileSystemCalls.h"

#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace fs = std::filesystem;

namespace filestore::sys {
namespace {

FileFacts factsFrom(const struct stat& info) {
    FileFacts facts;
    facts.stamp.device = static_cast<std::uint64_t>(info.st_dev);
    facts.stamp.file = static_cast<std::uint64_t>(info.st_ino);
    facts.stamp.size = static_cast<std::uint64_t>(info.st_size);
    facts.stamp.changed = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    facts.links = static_cast<std::uint64_t>(info.st_nlink);
    facts.kind = S_ISREG(info.st_mode)   ? Kind::Regular
                 : S_ISDIR(info.st_mode) ? Kind::Directory
                                         : Kind::Other;
    return facts;
}

std::error_code writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? lastError() : std::make_error_code(std::errc::io_error);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return {};
}

std::error_code flushed(int fd) {
    return ::fsync(fd) == 0 ? std::error_code() : lastError();
}

#ifdef __linux__
// The names of the extended attributes of `path`, each ended by a NUL.
std::string attributeNames(const fs::path& path) {
    const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
    if (size <= 0)
        return {};
    std::string names(static_cast<std::size_t>(size), '\0');
    const ssize_t got = ::listxattr(path.c_str(), names.data(), names.size());
    names.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return names;
}
#endif

} // namespace

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

std::int64_t currentTime() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::optional<FileFacts> factsOf(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return factsFrom(info);
}

fs::path followLinks(const fs::path& path) {
    constexpr int kMaxLinks = 40; // as the kernel allows; a loop ends here
    fs::path current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(current, error)))
            return current;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            return current;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return current;
}

std::error_code readWhole(const fs::path& path, std::uintmax_t maxSize, std::string& bytes,
                          FileFacts& facts) {
    // Non-blocking: a FIFO put in the file's place since it was looked at opens at once.
    Handle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd() < 0)
        return lastError();
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0)
        return lastError();
    facts = factsFrom(info);
    if (facts.kind != Kind::Regular)
        return {};
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(facts.stamp.size, maxSize) + 1));
    char block[64 * 1024];
    while (bytes.size() <= maxSize) {
        const ssize_t got = ::read(file.fd(), block, sizeof block);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return lastError();
        if (got == 0)
            break;
        bytes.append(block, static_cast<std::size_t>(got));
    }
    if (::fstat(file.fd(), &info) != 0)
        return lastError();
    facts = factsFrom(info);
    return {};
}

std::error_code Handle::close() {
    if (m_fd < 0)
        return {};
    const int result = ::close(std::exchange(m_fd, -1));
    return result == 0 ? std::error_code() : lastError();
}

Handle createNew(const fs::path& path, const fs::path* model, std::error_code& error) {
    mode_t mode = 0666; // narrowed by the umask, as for any new file
    struct stat info {};
    if (model && ::stat(model->c_str(), &info) == 0)
        mode = info.st_mode & 07777;
    Handle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    error = file.fd() < 0 ? lastError() : std::error_code();
    return file;
}

std::error_code copyOwnerAndMode(Handle& file, const fs::path& model) {
    struct stat wanted {};
    struct stat now {};
    if (::stat(model.c_str(), &wanted) != 0 || ::fstat(file.fd(), &now) != 0)
        return lastError();
    if ((now.st_uid != wanted.st_uid || now.st_gid != wanted.st_gid) &&
        ::fchown(file.fd(), wanted.st_uid, wanted.st_gid) != 0)
        return lastError();
    // After the owner: a change of owner may clear the set-id bits.
    if (::fchmod(file.fd(), wanted.st_mode & 07777) != 0)
        return lastError();
    return {};
}

std::error_code copyMode(Handle& file, const fs::path& model) {
    struct stat wanted {};
    if (::stat(model.c_str(), &wanted) != 0)
        return lastError();
    return ::fchmod(file.fd(), wanted.st_mode & 07777) == 0 ? std::error_code() : lastError();
}

void copyExtendedAttributes([[maybe_unused]] const fs::path& model, [[maybe_unused]] Handle& file) {
#ifdef __linux__
    const std::string names = attributeNames(model);
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        const ssize_t size = ::getxattr(model.c_str(), name, nullptr, 0);
        if (size < 0)
            continue;
        std::string value(static_cast<std::size_t>(size), '\0');
        const ssize_t got = ::getxattr(model.c_str(), name, value.data(), value.size());
        // Attributes this user may not set (another's security label) are left out.
        if (got >= 0)
            (void)::fsetxattr(file.fd(), name, value.data(), static_cast<std::size_t>(got), 0);
    }
#endif
}

std::error_code writeAllAndFlush(Handle& file, std::string_view bytes) {
    if (const std::error_code error = writeAll(file.fd(), bytes))
        return error;
    return flushed(file.fd());
}

std::error_code rewriteInPlace(const fs::path& path, std::string_view bytes) {
    Handle file(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.fd() < 0)
        return lastError();
    if (const std::error_code error = writeAll(file.fd(), bytes))
        return error;
    if (::ftruncate(file.fd(), static_cast<off_t>(bytes.size())) != 0)
        return lastError();
    if (const std::error_code error = flushed(file.fd()))
        return error;
    return file.close();
}

std::error_code moveIntoPlace(const fs::path& temporary, const fs::path& target) {
    return ::rename(temporary.c_str(), target.c_str()) == 0 ? std::error_code() : lastError();
}

void flushFolder(const fs::path& folder) {
    // Some file systems refuse to flush a folder; the rename itself has happened then.
    Handle handle(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.fd() >= 0)
        (void)::fsync(handle.fd());
}

void removeFile(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

} // namespace filestore::sys

#endif
