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

constexpr std::string_view kTemporaryTag = ".knobwerk-";
constexpr std::string_view kTemporaryEnd = ".tmp";

fs::path temporaryBeside(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    fs::path name = target.filename();
    name += std::string(kTemporaryTag) + std::to_string(random()) + std::string(kTemporaryEnd);
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

// Puts the flushed temporary file in the target's place. Windows will not rename over a
// file that another program has open without allowing its deletion; a virus scanner or
// indexer lets go within moments, so the swap is tried for half a second. A program that
// keeps holding the file makes the write fail, and the file stays whole: it is never
// rewritten in place, where a crash or a full disk could leave it half old, half new.
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
    // In blocks, not byte by byte: the layer reads a whole file for every key.
    char block[64 * 1024];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        result.bytes.append(block, static_cast<std::size_t>(in.gcount()));
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
    fs::path temporary = temporaryBeside(target);
    std::error_code written = writeAndFlush(temporary, bytes);
    for (int retry = 0; written == std::errc::file_exists && retry < 3; ++retry) {
        temporary = temporaryBeside(target); // that name is taken: never touch the other file
        written = writeAndFlush(temporary, bytes);
    }
    if (written) {
        std::error_code ignored;
        if (written != std::errc::file_exists)
            fs::remove(temporary, ignored);
        return written;
    }
    std::error_code error;
    const fs::file_status old = fs::status(target, error);
    if (!error && fs::exists(old))
        fs::permissions(temporary, old.permissions(), error);
    error.clear();
#ifdef _WIN32
    error = moveIntoPlace(temporary, target);
#else
    fs::rename(temporary, target, error);
#endif
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return error;
}

void removeStaleTemporaries(const fs::path& target, std::chrono::seconds minimumAge) {
    const std::string prefix = toUtf8(target.filename()) + std::string(kTemporaryTag);
    const auto now = fs::file_time_type::clock::now();
    std::error_code error;
    for (auto it = fs::directory_iterator(target.parent_path(), error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = toUtf8(it->path().filename());
        if (!name.starts_with(prefix) || !name.ends_with(kTemporaryEnd))
            continue;
        std::error_code ignored;
        const auto written = fs::last_write_time(it->path(), ignored);
        if (!ignored && now - written >= minimumAge)
            fs::remove(it->path(), ignored);
    }
}

} // namespace filestore
