#include "platform/FileStore.h"

#include <cstdio>
#include <fstream>
#include <random>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace filestore {
namespace {

std::error_code lastError() {
    return std::error_code(errno, std::generic_category());
}

// Pushes the written bytes of an open stream through to the disk.
bool flushToDisk(std::FILE* file) {
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

std::FILE* openNew(const fs::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"wbx");
#else
    return std::fopen(path.c_str(), "wbx");
#endif
}

fs::path temporaryBeside(const fs::path& target) {
    static std::mt19937 random{std::random_device{}()};
    fs::path name = target.filename();
    name += ".knobwerk-" + std::to_string(random() % 1000000) + ".tmp";
    return target.parent_path() / name;
}

std::error_code writeAndFlush(const fs::path& path, std::string_view bytes) {
    std::FILE* file = openNew(path);
    if (!file)
        return lastError();
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool flushed = written && flushToDisk(file);
    std::error_code error = flushed ? std::error_code() : lastError();
    if (std::fclose(file) != 0 && !error)
        error = lastError();
    if (!error && !flushed)
        error = std::make_error_code(std::errc::io_error);
    return error;
}

#ifdef _WIN32
std::error_code windowsError(DWORD code) {
    return std::error_code(static_cast<int>(code), std::system_category());
}

// What Windows answers when another program holds the target open.
bool isHeldOpen(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
}

// Writes `bytes` over the existing file and cuts off what is left of the old content.
// The file keeps its identity, attributes and access rights.
std::error_code overwriteInPlace(const fs::path& target, std::string_view bytes) {
    const HANDLE file =
        CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return windowsError(GetLastError());
    bool ok = true;
    for (std::size_t done = 0; ok && done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) && written > 0;
        done += written;
    }
    ok = ok && SetEndOfFile(file) && FlushFileBuffers(file);
    const DWORD code = ok ? ERROR_SUCCESS : GetLastError();
    CloseHandle(file);
    return ok ? std::error_code() : windowsError(code);
}

// Puts the flushed temporary file in the target's place. Windows will not rename over a
// file that another program has open without allowing its deletion, and the C runtime,
// so most programs, open files for reading that way. A virus scanner or indexer lets go
// within moments, so the swap is tried a few times; a program that keeps the file open
// (the game, an editor) would block every save, so then the new content is written into
// the file itself: only in that case is a save not all-or-nothing.
std::error_code moveIntoPlace(const fs::path& temporary, const fs::path& target, std::string_view bytes) {
    constexpr int kAttempts = 5;
    DWORD code = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0)
            Sleep(20);
        if (MoveFileExW(temporary.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        code = GetLastError();
        if (!isHeldOpen(code))
            return windowsError(code);
    }
    std::error_code ignored;
    if (!fs::is_regular_file(target, ignored))
        return windowsError(code);
    std::error_code error = overwriteInPlace(target, bytes);
    fs::remove(temporary, ignored);
    return error;
}
#endif

} // namespace

fs::path toPath(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string toUtf8(const fs::path& path) {
    const std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
}

bool exists(const fs::path& path) {
    std::error_code ignored;
    return !path.empty() && fs::exists(path, ignored);
}

ReadResult readFile(const fs::path& path, std::uintmax_t maxSize) {
    ReadResult result;
    std::error_code error;
    if (fs::is_directory(path, error)) {
        result.error = std::make_error_code(std::errc::is_a_directory);
        return result;
    }
    if (const std::uintmax_t size = fs::file_size(path, error); !error && size > maxSize) {
        result.error = std::make_error_code(std::errc::file_too_large);
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = lastError();
        if (!result.error)
            result.error = std::make_error_code(std::errc::permission_denied);
        return result;
    }
    result.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        result.error = std::make_error_code(std::errc::io_error);
        return result;
    }
    result.ok = true;
    return result;
}

bool isReadOnly(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status))
        return false;
    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writable) == fs::perms::none;
}

std::error_code replaceFile(const fs::path& target, std::string_view bytes) {
    if (isReadOnly(target))
        return std::make_error_code(std::errc::permission_denied);
    const fs::path temporary = temporaryBeside(target);
    if (std::error_code error = writeAndFlush(temporary, bytes)) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return error;
    }
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    if (!error && fs::exists(old))
        fs::permissions(temporary, old.permissions(), error);
    error.clear();
#ifdef _WIN32
    error = moveIntoPlace(temporary, target, bytes);
#else
    fs::rename(temporary, target, error);
#endif
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return error;
}

} // namespace filestore
