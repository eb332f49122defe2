#ifndef _WIN32

#include "platform/FileSystemCalls.h"

#include "platform/FileCallProbe.h"

#include "platform/UserFolders.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
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
    facts.mode = static_cast<std::uint32_t>(info.st_mode & 07777);
    facts.readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    facts.owner = static_cast<std::uint32_t>(info.st_uid);
    facts.group = static_cast<std::uint32_t>(info.st_gid);
    return facts;
}

// stat, lstat and fstat, counted.
int statPath(const fs::path& path, struct stat& info) {
    probe::noteStat();
    return ::stat(path.c_str(), &info);
}

int statLink(const fs::path& path, struct stat& info) {
    probe::noteStat();
    return ::lstat(path.c_str(), &info);
}

int statOpen(int fd, struct stat& info) {
    probe::noteStat();
    return ::fstat(fd, &info);
}

} // namespace

std::error_code flush(Handle& file) {
    probe::noteFlush();
    if (::fsync(file.fd()) != 0)
        return lastError();
    if (probe::FileCallObserver* observer = probe::observer())
        observer->flushed(file.path());
    return {};
}

namespace {

// A write past the size limit and a broken lease are answered with signals that end the
// program unless ignored; ignored, the calls fail with an error the program reports.
void ignoreFileSignals() {
    static const bool ignored = [] {
        for (const int signal : {SIGXFSZ, SIGIO}) {
            struct sigaction action {};
            if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_DFL) {
                action.sa_handler = SIG_IGN;
                (void)::sigaction(signal, &action, nullptr);
            }
        }
        return true;
    }();
    (void)ignored;
}

// Tells the observer what reached the file, also when the write stopped part-way.
std::error_code writeAllAt(const Handle& file, std::uint64_t offset, std::string_view bytes) {
    ignoreFileSignals();
    std::string_view rest = bytes;
    std::error_code error;
    while (!rest.empty()) {
        const ssize_t written = ::pwrite(file.fd(), rest.data(), rest.size(),
                                         static_cast<off_t>(offset + (bytes.size() - rest.size())));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error = written < 0 ? lastError() : std::make_error_code(std::errc::io_error);
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
    if (probe::FileCallObserver* observer = probe::observer(); observer && rest.size() < bytes.size())
        observer->wrote(file.path(), offset, bytes.substr(0, bytes.size() - rest.size()));
    return error;
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

std::error_code accessDenied() {
    return std::make_error_code(std::errc::permission_denied);
}

bool isPermissionError(const std::error_code& error) {
    return error == std::errc::permission_denied || error == std::errc::operation_not_permitted;
}

std::string describe(const std::error_code& error) {
    return error.message();
}

std::int64_t currentTime() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::optional<FileFacts> factsOf(const fs::path& path) {
    struct stat info {};
    if (statPath(path, info) != 0)
        return std::nullopt;
    return factsFrom(info);
}

fs::path followLinks(const fs::path& path, std::optional<FileFacts>* facts) {
    constexpr int kMaxLinks = 40; // as the kernel allows; a loop ends here
    fs::path current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat info {};
        const bool there = statLink(current, info) == 0;
        if (!there || !S_ISLNK(info.st_mode)) {
            // The last look was at the file itself: it tells what the file is.
            if (facts)
                *facts = there ? std::optional<FileFacts>(factsFrom(info)) : std::nullopt;
            return current;
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(current, error);
        if (error)
            break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    if (facts)
        *facts = factsOf(current);
    return current;
}

std::error_code readWhole(const fs::path& path, std::uintmax_t maxSize, std::string& bytes,
                          FileFacts& facts) {
    // Non-blocking: a FIFO put in the file's place since it was looked at opens at once.
    Handle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd() < 0)
        return lastError();
    struct stat info {};
    if (statOpen(file.fd(), info) != 0)
        return lastError();
    facts = factsFrom(info);
    if (facts.kind != Kind::Regular)
        return {};
    bytes.reserve(static_cast<std::size_t>(std::min<std::uintmax_t>(facts.stamp.size, maxSize) + 1));
    if (const std::error_code error = readAll(file, maxSize, bytes))
        return error;
    if (statOpen(file.fd(), info) != 0)
        return lastError();
    facts = factsFrom(info);
    return {};
}

std::error_code Handle::close() {
    if (m_native < 0)
        return {};
    const std::error_code error =
        ::close(static_cast<int>(std::exchange(m_native, -1))) == 0 ? std::error_code() : lastError();
    if (probe::FileCallObserver* observer = probe::observer(); observer && m_written)
        observer->closedAfterWriting(m_path);
    return error;
}

Handle createNew(const fs::path& path, std::optional<std::uint32_t> mode, std::error_code& error) {
    // Without a mode, 0666 narrowed by the umask, as for any new file.
    Handle file(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                       static_cast<mode_t>(mode.value_or(0666))),
                path);
    error = file.valid() ? std::error_code() : lastError();
    if (probe::FileCallObserver* observer = probe::observer(); observer && file.valid())
        observer->created(path);
    return file;
}

std::error_code keepOwnerAndMode(Handle& file, const FileFacts& wanted) {
    struct stat now {};
    if (statOpen(file.fd(), now) != 0)
        return lastError();
    // Asked only for a change: some file systems refuse any change of owner.
    if ((now.st_uid != wanted.owner || now.st_gid != wanted.group) &&
        ::fchown(file.fd(), static_cast<uid_t>(wanted.owner), static_cast<gid_t>(wanted.group)) != 0)
        return lastError();
    // After the owner: a change of owner may clear the set-id bits.
    if (::fchmod(file.fd(), static_cast<mode_t>(wanted.mode)) != 0)
        return lastError();
    return {};
}

std::error_code copyMode(Handle& file, const fs::path& model) {
    struct stat wanted {};
    if (statPath(model, wanted) != 0)
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
    probe::noteWrite();
    file.markWritten();
    if (const std::error_code error = writeAllAt(file, 0, bytes))
        return error;
    return flush(file);
}

bool canWrite(const fs::path& path) {
    // The effective user, as the open for writing would be checked.
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

Handle openToRewrite(const fs::path& path, FileFacts& facts, std::error_code& error) {
    Handle file(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC), path);
    struct stat info {};
    if (!file.valid() || statOpen(file.fd(), info) != 0) {
        error = lastError();
        return Handle();
    }
    facts = factsFrom(info);
    error.clear();
    return file;
}

std::error_code readAll(Handle& file, std::uintmax_t maxSize, std::string& bytes) {
    bytes.clear();
    char block[64 * 1024];
    while (bytes.size() <= maxSize) {
        const ssize_t got = ::pread(file.fd(), block, sizeof block, static_cast<off_t>(bytes.size()));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return lastError();
        if (got == 0)
            break;
        bytes.append(block, static_cast<std::size_t>(got));
    }
    return {};
}

std::error_code writeAt(Handle& file, std::uint64_t offset, std::string_view bytes) {
    probe::noteWrite();
    file.markWritten();
    return writeAllAt(file, offset, bytes);
}

std::error_code reserve(Handle& file, std::uint64_t size) {
    ignoreFileSignals();
    struct stat info {};
    if (statOpen(file.fd(), info) != 0)
        return lastError();
    if (static_cast<std::uint64_t>(info.st_size) >= size)
        return {};
    file.markWritten();
    // Takes the blocks now: a full disk, a quota or the size limit fail here, before the
    // first byte of the file changes.
    if (const int code = ::posix_fallocate(file.fd(), 0, static_cast<off_t>(size)); code != 0)
        return std::error_code(code, std::generic_category());
    if (probe::FileCallObserver* observer = probe::observer())
        observer->resized(file.path(), size);
    return {};
}

std::error_code resize(Handle& file, std::uint64_t size) {
    file.markWritten();
    if (::ftruncate(file.fd(), static_cast<off_t>(size)) != 0)
        return lastError();
    if (probe::FileCallObserver* observer = probe::observer())
        observer->resized(file.path(), size);
    return {};
}

Writers otherWriters(const fs::path& path) {
#ifdef __linux__
    ignoreFileSignals();
    // A read lease is granted only while no process has the file open for writing. It is
    // given back at once: a writer that opens the file meanwhile waits only that long.
    Handle file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.valid())
        return Writers::Unknown;
    if (::fcntl(file.fd(), F_SETLEASE, F_RDLCK) == 0) {
        (void)::fcntl(file.fd(), F_SETLEASE, F_UNLCK);
        return Writers::None;
    }
    return errno == EAGAIN ? Writers::Some : Writers::Unknown;
#else
    (void)path;
    return Writers::Unknown;
#endif
}

bool isLink(const fs::path& path) {
    struct stat info {};
    return statLink(path, info) == 0 && S_ISLNK(info.st_mode);
}

fs::path stateFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/')
        return fs::path(state) / "knobwerk";
    const std::string home = userfolders::homeFolder();
    return home.empty() ? fs::path() : fs::path(home) / ".local" / "state" / "knobwerk";
}

// POSIX renames over a read-only file alike: only the folder's permissions count.
std::error_code moveIntoPlace(const fs::path& temporary, const fs::path& target, bool) {
    probe::noteRename();
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return lastError();
    if (probe::FileCallObserver* observer = probe::observer())
        observer->renamed(temporary, target);
    return {};
}

void flushFolder(const fs::path& folder) {
    // Some file systems refuse to flush a folder; the rename itself has happened then.
    Handle handle(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.valid()) {
        probe::noteFlush();
        if (::fsync(handle.fd()) == 0)
            if (probe::FileCallObserver* observer = probe::observer())
                observer->folderFlushed(folder);
    }
}

std::error_code renameFree(const fs::path& from, const fs::path& to) {
    if (fs::exists(fs::symlink_status(to)))
        return std::make_error_code(std::errc::file_exists);
    std::error_code error;
    fs::rename(from, to, error);
    return error;
}

void removeFile(const fs::path& path) {
    std::error_code error;
    if (fs::remove(path, error))
        if (probe::FileCallObserver* observer = probe::observer())
            observer->removed(path);
}

} // namespace filestore::sys

#endif
