#include "platform/FileStore.h"

#include "platform/FileSystemCalls.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <random>
#include <thread>
#include <utility>

namespace fs = std::filesystem;

namespace filestore {
namespace {

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "filestore"; }
    std::string message(int code) const override {
        switch (static_cast<FileError>(code)) {
        case FileError::NotRegularFile:
            return "Not a regular file";
        case FileError::KeepsChanging:
            return "Another program keeps changing the file";
        }
        return "Unknown error";
    }
};

constexpr std::string_view kTemporaryTag = ".knobwerk-";
constexpr std::string_view kTemporaryEnd = ".tmp";

fs::path temporaryBeside(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    fs::path name = target.filename();
    name += std::string(kTemporaryTag) + std::to_string(random()) + std::string(kTemporaryEnd);
    return target.parent_path() / name;
}

// Why a file that is there cannot be read or replaced as a file, if it cannot.
std::error_code unusable(const sys::FileFacts& facts) {
    if (facts.kind == sys::Kind::Directory)
        return std::make_error_code(std::errc::is_a_directory);
    if (facts.kind != sys::Kind::Regular)
        return FileError::NotRegularFile;
    return {};
}

// One read of the whole file; KeepsChanging when it changed while it was read.
ReadResult readOnce(const fs::path& path, std::uintmax_t maxSize) {
    ReadResult result;
    const auto facts = sys::factsOf(path);
    if (!facts) {
        result.error = sys::lastError();
        return result;
    }
    // Looked at before it is opened: opening a FIFO or a device may block or have effects.
    if ((result.error = unusable(*facts)))
        return result;
    if (facts->stamp.size > maxSize) {
        result.error = std::make_error_code(std::errc::file_too_large);
        return result;
    }
    sys::FileFacts read;
    if ((result.error = sys::readWhole(path, maxSize, result.bytes, read)))
        return result;
    if ((result.error = unusable(read)))
        return result;
    if (result.bytes.size() > maxSize) {
        result.error = std::make_error_code(std::errc::file_too_large);
        return result;
    }
    if (read.stamp != facts->stamp || read.stamp.size != result.bytes.size()) {
        result.error = FileError::KeepsChanging;
        return result;
    }
    result.stamp = read.stamp;
    result.ok = true;
    return result;
}

// Gives the new file what the old one had besides its content, so that the player, the
// game and whoever else shares the file keep their access to it.
std::error_code takeOver(sys::Handle& file, const fs::path& old) {
    if (const std::error_code error = sys::copyOwnerAndMode(file, old))
        return error;
    sys::copyExtendedAttributes(old, file);
    return {};
}

// The versions of files this program put in place last. A file changed a moment ago
// by anyone else may be in the middle of that program's write (truncated, then written
// piece by piece); one this program wrote is whole.
class OwnWrites {
public:
    void remember(const FileStamp& stamp) {
        std::lock_guard lock(m_mutex);
        m_stamps[m_next++ % m_stamps.size()] = stamp;
    }
    bool contains(const FileStamp& stamp) const {
        std::lock_guard lock(m_mutex);
        return std::find(m_stamps.begin(), m_stamps.end(), stamp) != m_stamps.end();
    }

private:
    mutable std::mutex m_mutex;
    std::array<FileStamp, 16> m_stamps{};
    std::size_t m_next = 0;
};

OwnWrites ownWrites;

// Whether the version read is one that another program has finished writing: this
// program's own, or one that has stayed as it is for a moment. An empty file gets
// longer: emptying the file is how a rewrite in place begins, and its writer may be
// slowed down by a busy machine before it writes the first byte.
bool settled(const fs::path& path, const FileStamp& stamp) {
    constexpr std::int64_t kQuiet = 50'000'000;       // nanoseconds
    constexpr std::int64_t kQuietEmpty = 500'000'000; // nanoseconds
    if (ownWrites.contains(stamp))
        return true;
    const std::int64_t quiet = stamp.size == 0 ? kQuietEmpty : kQuiet;
    while (true) {
        const std::int64_t age = sys::currentTime() - stamp.changed;
        if (age >= quiet || age < 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto now = sys::factsOf(path);
        if (!now || now->stamp != stamp)
            return false;
    }
}

} // namespace

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

fs::path toPath(std::string_view text) {
#ifdef _WIN32
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
#else
    return fs::path(std::string(text));
#endif
}

std::string pathText(const fs::path& path) {
#ifdef _WIN32
    const std::u8string s = path.u8string();
    return std::string(reinterpret_cast<const char*>(s.data()), s.size());
#else
    return path.native();
#endif
}

bool exists(const fs::path& path) {
    return !path.empty() && sys::factsOf(path).has_value();
}

namespace {

ReadResult readRepeatedly(const fs::path& path, std::uintmax_t maxSize, bool waitUntilSettled) {
    // A writer that truncates and rewrites the file in place is usually done within
    // moments; the read waits for it a little, then gives up.
    constexpr int kAttempts = 20;
    ReadResult result;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        result = readOnce(path, maxSize);
        if (result.ok && waitUntilSettled && !settled(path, result.stamp)) {
            result = ReadResult{};
            result.error = FileError::KeepsChanging;
        }
        if (result.error != FileError::KeepsChanging)
            break;
    }
    return result;
}

} // namespace

ReadResult readFile(const fs::path& path, std::uintmax_t maxSize) {
    return readRepeatedly(path, maxSize, false);
}

ReadResult readSettledFile(const fs::path& path, std::uintmax_t maxSize) {
    return readRepeatedly(path, maxSize, true);
}

bool isReadOnly(const fs::path& path) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status))
        return false;
    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (status.permissions() & writable) == fs::perms::none;
}

Replacement::Replacement(const fs::path& target, std::string_view bytes, const fs::path* permissionsOf)
    : m_target(sys::followLinks(target)) {
    const auto old = sys::factsOf(m_target);
    if (old && (m_error = unusable(*old)))
        return;
    if (old && isReadOnly(m_target)) {
        m_error = std::make_error_code(std::errc::permission_denied);
        return;
    }
    // A file with several names (hard links) is rewritten where it is, as the system's
    // own INI writer does: a new file would carry the new settings under this one name
    // only, and the game reading another name would never see them.
    if (old && old->links > 1) {
        m_inPlace = true;
        m_inPlaceBytes = std::string(bytes);
        return;
    }
    for (int attempt = 0; attempt < 4; ++attempt) {
        m_temporary = temporaryBeside(m_target);
        const fs::path* model = permissionsOf ? permissionsOf : old ? &m_target : nullptr;
        sys::Handle file = sys::createNew(m_temporary, model, m_error);
        if (m_error == std::errc::file_exists)
            continue; // that name is taken: never touch the other file
        if (!m_error && old)
            m_error = takeOver(file, m_target);
        if (!m_error && permissionsOf)
            m_error = sys::copyMode(file, *permissionsOf);
        if (!m_error)
            m_error = sys::writeAllAndFlush(file, bytes);
        // Taken now: once the file is in place, another program may change it at once.
        if (const auto facts = sys::factsOf(m_temporary); !m_error && facts)
            m_written = facts->stamp;
        if (const std::error_code closed = file.close(); !m_error)
            m_error = closed;
        break;
    }
    if (m_error) {
        if (m_error != std::errc::file_exists)
            sys::removeFile(m_temporary);
        m_temporary.clear();
    }
}

Replacement::Replacement(Replacement&& other) noexcept
    : m_target(std::move(other.m_target))
    , m_temporary(std::exchange(other.m_temporary, {}))
    , m_inPlaceBytes(std::move(other.m_inPlaceBytes))
    , m_inPlace(other.m_inPlace)
    , m_written(other.m_written)
    , m_error(other.m_error) {}

Replacement::~Replacement() {
    if (!m_temporary.empty())
        sys::removeFile(m_temporary);
}

std::error_code Replacement::commit(const FileStamp* expected) {
    if (m_error)
        return m_error;
    if (expected) {
        const auto now = sys::factsOf(m_target);
        if (!now || now->stamp != *expected)
            return FileError::KeepsChanging;
    }
    if (m_inPlace) {
        const std::error_code error = sys::rewriteInPlace(m_target, m_inPlaceBytes);
        if (const auto facts = sys::factsOf(m_target); !error && facts)
            ownWrites.remember(facts->stamp);
        return error;
    }
    if (const std::error_code error = sys::moveIntoPlace(m_temporary, m_target))
        return error;
    m_temporary.clear();
    if (m_written)
        ownWrites.remember(*m_written);
    sys::flushFolder(m_target.parent_path());
    return {};
}

std::error_code replaceFile(const fs::path& target, std::string_view bytes, const FileStamp* expected) {
    Replacement replacement(target, bytes);
    return replacement.commit(expected);
}

void removeStaleTemporaries(const fs::path& target, std::chrono::seconds minimumAge) {
    const fs::path file = sys::followLinks(target);
    const std::string prefix = pathText(file.filename()) + std::string(kTemporaryTag);
    const auto now = fs::file_time_type::clock::now();
    std::error_code error;
    for (auto it = fs::directory_iterator(file.parent_path(), error);
         !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = pathText(it->path().filename());
        if (!name.starts_with(prefix) || !name.ends_with(kTemporaryEnd))
            continue;
        std::error_code ignored;
        const auto written = fs::last_write_time(it->path(), ignored);
        if (!ignored && now - written >= minimumAge)
            fs::remove(it->path(), ignored);
    }
}

} // namespace filestore
