#ifdef _WIN32

#include "platform/FileSystemCalls.h"

#include "platform/FileCallProbe.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

namespace fs = std::filesystem;

namespace filestore::sys {
namespace {

std::error_code windowsError(DWORD code) {
    return std::error_code(static_cast<int>(code), std::system_category());
}

HANDLE native(const Handle& file) {
    return reinterpret_cast<HANDLE>(file.native());
}

// A handle that only looks at the file (its attributes), whoever else has it open.
HANDLE openToLookAt(const fs::path& path) {
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Uncounted: the callers count their looks at a file.
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
    facts.readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    facts.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::Directory
                 : GetFileType(handle) == FILE_TYPE_DISK            ? Kind::Regular
                                                                    : Kind::Other;
    return facts;
}

// Whether the handle, opened on the reparse point itself, is a link or a junction: a
// name that stands for another (a cloud file's reparse point does not).
bool standsForAnotherName(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) &&
           (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag);
}

bool moveTo(const Handle& file, std::uint64_t offset) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(native(file), position, nullptr, FILE_BEGIN) != 0;
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

// Tells the observer what reached the file, also when the write stopped part-way.
bool writeAll(const Handle& file, std::uint64_t offset, std::string_view bytes) {
    std::string_view rest = bytes;
    bool ok = true;
    while (!rest.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(native(file), rest.data(), chunk, &written, nullptr) || written == 0) {
            ok = false;
            break;
        }
        rest.remove_prefix(written);
    }
    const DWORD code = GetLastError();
    if (probe::FileCallObserver* observer = probe::observer(); observer && rest.size() < bytes.size())
        observer->wrote(file.path(), offset, bytes.substr(0, bytes.size() - rest.size()));
    SetLastError(code);
    return ok;
}

Handle openExistingForWriting(const fs::path& path) {
    return Handle(reinterpret_cast<std::intptr_t>(CreateFileW(
                      path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
                  path);
}

bool flushed(const Handle& file) {
    probe::noteFlush();
    if (!FlushFileBuffers(native(file)))
        return false;
    if (probe::FileCallObserver* observer = probe::observer())
        observer->flushed(file.path());
    return true;
}

// The system's text for `code`, in UTF-8, without the line break it ends with.
std::string systemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\r' || wide.back() == L'\n' || wide.back() == L' '))
        wide.pop_back();
    if (wide.empty())
        return "Unknown error " + std::to_string(code);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr,
                        nullptr);
    return utf8;
}

} // namespace

std::error_code lastError() {
    return windowsError(GetLastError());
}

std::error_code accessDenied() {
    return windowsError(ERROR_ACCESS_DENIED);
}

bool isPermissionError(const std::error_code& error) {
    return error.category() == std::system_category() && error.value() == ERROR_ACCESS_DENIED;
}

std::string describe(const std::error_code& error) {
    if (error.category() == std::system_category())
        return systemText(static_cast<DWORD>(error.value()));
    return error.message();
}

std::int64_t currentTime() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<std::int64_t>(ticks) * 100;
}

std::optional<FileFacts> factsOf(const fs::path& path) {
    probe::noteStat();
    HANDLE handle = openToLookAt(path);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt; // GetLastError says why
    const auto facts = factsOfHandle(handle);
    const DWORD code = GetLastError();
    CloseHandle(handle);
    SetLastError(code);
    return facts;
}

fs::path followLinks(const fs::path& path, std::optional<FileFacts>* facts) {
    // The system resolves every link and junction on the way when it opens the file.
    probe::noteStat();
    HANDLE handle = openToLookAt(path);
    if (facts)
        *facts = handle == INVALID_HANDLE_VALUE ? std::nullopt : factsOfHandle(handle);
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
    Handle file(reinterpret_cast<std::intptr_t>(CreateFileW(
                    path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
                path);
    if (!file.valid())
        return lastError();
    std::error_code error;
    probe::noteStat();
    if (const auto opened = factsOfHandle(native(file)); opened && opened->kind == Kind::Regular)
        error = readAll(file, maxSize, bytes);
    probe::noteStat();
    if (const auto after = factsOfHandle(native(file)))
        facts = *after;
    else if (!error)
        error = lastError();
    return error;
}

std::error_code Handle::close() {
    if (!valid())
        return {};
    HANDLE file = reinterpret_cast<HANDLE>(std::exchange(m_native, -1));
    const std::error_code error = CloseHandle(file) ? std::error_code() : lastError();
    if (probe::FileCallObserver* observer = probe::observer(); observer && m_written)
        observer->closedAfterWriting(m_path);
    return error;
}

Handle createNew(const fs::path& path, std::optional<std::uint32_t>, std::error_code& error) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD code = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    // The one failure the caller acts upon: another name is then tried.
    error = code == ERROR_FILE_EXISTS ? std::make_error_code(std::errc::file_exists) : windowsError(code);
    if (probe::FileCallObserver* observer = probe::observer(); observer && file != INVALID_HANDLE_VALUE)
        observer->created(path);
    return Handle(reinterpret_cast<std::intptr_t>(file), path);
}

// A new file takes the owner and access rules of its folder, as every file the player
// creates there does; only the read-only attribute is carried, and it is never replaced.
std::error_code keepOwnerAndMode(Handle&, const FileFacts&) {
    return {};
}

std::error_code copyMode(Handle&, const fs::path&) {
    return {};
}

// Alternate data streams are not carried over.
void copyExtendedAttributes(const fs::path&, Handle&) {}

std::error_code writeAllAndFlush(Handle& file, std::string_view bytes) {
    probe::noteWrite();
    file.markWritten();
    if (!writeAll(file, 0, bytes) || !flushed(file))
        return lastError();
    return {};
}

bool canWrite(const fs::path& path) {
    return openExistingForWriting(path).valid();
}

Handle openToRewrite(const fs::path& path, FileFacts& facts, std::error_code& error) {
    // The reparse point itself is opened, never the file it leads to.
    Handle file(reinterpret_cast<std::intptr_t>(CreateFileW(
                    path.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)),
                path);
    probe::noteStat();
    const auto opened = file.valid() ? factsOfHandle(native(file)) : std::nullopt;
    if (!opened) {
        error = lastError();
        return Handle();
    }
    facts = *opened;
    if (standsForAnotherName(native(file)))
        facts.kind = Kind::Other;
    error.clear();
    return file;
}

std::error_code readAll(Handle& file, std::uintmax_t maxSize, std::string& bytes) {
    bytes.clear();
    if (!moveTo(file, 0))
        return lastError();
    char block[64 * 1024];
    DWORD got = 0;
    while (bytes.size() <= maxSize) {
        if (!ReadFile(native(file), block, sizeof block, &got, nullptr))
            return lastError();
        if (got == 0)
            break;
        bytes.append(block, got);
    }
    return {};
}

std::error_code writeAt(Handle& file, std::uint64_t offset, std::string_view bytes) {
    probe::noteWrite();
    file.markWritten();
    if (!moveTo(file, offset) || !writeAll(file, offset, bytes))
        return lastError();
    return {};
}

std::error_code reserve(Handle& file, std::uint64_t size) {
    LARGE_INTEGER now{};
    if (!GetFileSizeEx(native(file), &now))
        return lastError();
    if (static_cast<std::uint64_t>(now.QuadPart) >= size)
        return {};
    // Moving the end of the file takes its clusters at once: a full disk fails here.
    return resize(file, size);
}

std::error_code resize(Handle& file, std::uint64_t size) {
    file.markWritten();
    if (!moveTo(file, size) || !SetEndOfFile(native(file)))
        return lastError();
    if (probe::FileCallObserver* observer = probe::observer())
        observer->resized(file.path(), size);
    return {};
}

std::error_code flush(Handle& file) {
    return flushed(file) ? std::error_code() : lastError();
}

Writers otherWriters(const fs::path& path) {
    // An open that denies others' writing fails while another program holds the file
    // for writing.
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return Writers::None;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION ? Writers::Some : Writers::Unknown;
}

bool isLink(const fs::path& path) {
    HANDLE handle = CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    const bool link = standsForAnotherName(handle);
    CloseHandle(handle);
    return link;
}

fs::path stateFolder() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local && *local ? fs::path(local) / L"Knobwerk" : fs::path();
}

// Windows will not rename over a file that another program has open without allowing
// its deletion; a virus scanner or indexer lets go within moments, so the swap is tried
// for half a second, then the write fails and the file stays whole. (ReplaceFileW would
// keep the security descriptor, but may leave a held file under another name.)
std::error_code moveIntoPlace(const fs::path& temporary, const fs::path& target, bool overReadOnly) {
    constexpr int kAttempts = 10;
    // Windows refuses to replace a read-only file; a file that may be replaced all the
    // same loses the attribute first, and gets it back if the swap fails.
    const DWORD attributes = overReadOnly ? GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
    const bool clearReadOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (clearReadOnly && !SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
        return lastError();
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(50);
        probe::noteRename();
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            // Written through: the new name lasts as if its folder had been flushed.
            if (probe::FileCallObserver* observer = probe::observer()) {
                observer->renamed(temporary, target);
                observer->folderFlushed(target.parent_path());
            }
            return {};
        }
        code = GetLastError();
        if (!isHeldOpen(code))
            break;
    }
    if (clearReadOnly)
        SetFileAttributesW(target.c_str(), attributes);
    return windowsError(code);
}

// A rename is written through already; a new file's name (a rollback journal's) lasts
// once its folder's handle is flushed, as on POSIX. Some file systems refuse; the name
// is there all the same.
void flushFolder(const fs::path& folder) {
    HANDLE handle = CreateFileW(folder.empty() ? L"." : folder.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    probe::noteFlush();
    if (FlushFileBuffers(handle))
        if (probe::FileCallObserver* observer = probe::observer())
            observer->folderFlushed(folder);
    CloseHandle(handle);
}

std::error_code renameFree(const fs::path& from, const fs::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? std::error_code() : lastError();
}

void removeFile(const fs::path& path) {
    std::error_code error;
    if (fs::remove(path, error))
        if (probe::FileCallObserver* observer = probe::observer())
            observer->removed(path);
}

} // namespace filestore::sys

#endif
