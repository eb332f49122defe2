#ifdef _WIN32

#include "platform/FileSystemCalls.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace filestore::sys {
namespace {

std::error_code windowsError(DWORD code) {
    return std::error_code(static_cast<int>(code), std::system_category());
}

// A handle that only looks at the file (its attributes), whoever else has it open.
HANDLE openToLookAt(const fs::path& path) {
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::optional<FileFacts> factsOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    FileFacts facts;
    facts.stamp.device = info.dwVolumeSerialNumber;
    facts.stamp.file = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    facts.stamp.size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const std::uint64_t ticks = (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                info.ftLastWriteTime.dwLowDateTime;
    facts.stamp.changed = static_cast<std::int64_t>(ticks) * 100;
    facts.links = info.nNumberOfLinks;
    facts.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Directory
                 : GetFileType(handle) == FILE_TYPE_DISK            ? Kind::Regular
                                                                    : Kind::Other;
    return facts;
}

// What Windows answers when another program holds the target open.
bool isHeldOpen(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
}

// "\\?\C:\dir" as "C:\dir", "\\?\UNC\server\share" as "\\server\share".
std::wstring withoutLongPathPrefix(std::wstring path) {
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\"))
        return path.substr(4);
    return path;
}

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
        const int written = _write(fd, bytes.data(), chunk);
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

std::int64_t currentTime() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks) * 100;
}

std::optional<FileFacts> factsOf(const fs::path& path) {
    HANDLE handle = openToLookAt(path);
    if (handle == INVALID_HANDLE_VALUE) {
        errno = ENOENT;
        return std::nullopt;
    }
    const auto facts = factsOfHandle(handle);
    CloseHandle(handle);
    return facts;
}

fs::path followLinks(const fs::path& path) {
    // The system resolves every link and junction on the way when it opens the file.
    HANDLE handle = openToLookAt(path);
    if (handle == INVALID_HANDLE_VALUE)
        return path;
    std::wstring resolved(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length >= resolved.size()) {
        resolved.resize(length + 1);
        length = GetFinalPathNameByHandleW(handle, resolved.data(), static_cast<DWORD>(resolved.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(handle);
    if (length == 0 || length >= resolved.size())
        return path;
    resolved.resize(length);
    return fs::path(withoutLongPathPrefix(resolved));
}

std::error_code readWhole(const fs::path& path, std::uintmax_t maxSize, std::string& bytes,
                          FileFacts& facts) {
    HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return windowsError(GetLastError());
    std::error_code error;
    if (const auto opened = factsOfHandle(handle); opened && opened->kind == Kind::Regular) {
        bytes.clear();
        char block[64 * 1024];
        DWORD got = 0;
        while (bytes.size() <= maxSize) {
            if (!ReadFile(handle, block, sizeof block, &got, nullptr)) {
                error = windowsError(GetLastError());
                break;
            }
            if (got == 0)
                break;
            bytes.append(block, got);
        }
    }
    if (const auto after = factsOfHandle(handle))
        facts = *after;
    else if (!error)
        error = windowsError(GetLastError());
    CloseHandle(handle);
    return error;
}

std::error_code Handle::close() {
    if (m_fd < 0)
        return {};
    const int result = _close(std::exchange(m_fd, -1));
    return result == 0 ? std::error_code() : lastError();
}

Handle createNew(const fs::path& path, const fs::path*, std::error_code& error) {
    Handle file(_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE));
    error = file.fd() < 0 ? lastError() : std::error_code();
    return file;
}

// A new file takes the owner and the access rules of its folder, as every file the
// player creates there does; the read-only attribute is the only permission carried
// here, and a read-only file is never replaced.
std::error_code copyOwnerAndMode(Handle&, const fs::path&) {
    return {};
}

// See copyOwnerAndMode.
std::error_code copyMode(Handle&, const fs::path&) {
    return {};
}

// Alternate data streams are not carried over.
void copyExtendedAttributes(const fs::path&, Handle&) {}

std::error_code writeAllAndFlush(Handle& file, std::string_view bytes) {
    if (!writeAll(file.fd(), bytes))
        return lastError();
    return _commit(file.fd()) == 0 ? std::error_code() : lastError();
}

std::error_code rewriteInPlace(const fs::path& path, std::string_view bytes) {
    Handle file(_wopen(path.c_str(), _O_WRONLY | _O_BINARY));
    if (file.fd() < 0)
        return lastError();
    if (!writeAll(file.fd(), bytes) || _chsize_s(file.fd(), static_cast<long long>(bytes.size())) != 0 ||
        _commit(file.fd()) != 0)
        return lastError();
    return file.close();
}

// Windows will not rename over a file that another program has open without allowing
// its deletion; a virus scanner or indexer lets go within moments, so the swap is tried
// for half a second. A program that keeps holding the file makes the write fail, and
// the file stays whole: it is never rewritten in place, where a crash or a full disk
// could leave it half old, half new. (ReplaceFileW would keep the old file's security
// descriptor, but when it fails on a held file it may leave the old file under another
// name.)
std::error_code moveIntoPlace(const fs::path& temporary, const fs::path& target) {
    constexpr int kAttempts = 10;
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(50);
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        code = GetLastError();
        if (!isHeldOpen(code))
            break;
    }
    return windowsError(code);
}

// MOVEFILE_WRITE_THROUGH and the flushed file are what Windows offers: a folder cannot
// be flushed on its own there.
void flushFolder(const fs::path&) {}

void removeFile(const fs::path& path) {
    std::error_code ignored;
    fs::remove(path, ignored);
}

} // namespace filestore::sys

#endif
