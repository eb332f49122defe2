#include "platform/FileStore.h"

#include "platform/FileCallProbe.h"
#include "platform/FileSystemCalls.h"
#include "platform/InPlaceRewrite.h"

#include <algorithm>
#include <array>
#include <functional>
#include <mutex>
#include <random>
#include <set>
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

std::error_code unusable(const sys::FileFacts& facts) {
    if (facts.kind == sys::Kind::Directory)
        return std::make_error_code(std::errc::is_a_directory);
    if (facts.kind != sys::Kind::Regular)
        return FileError::NotRegularFile;
    return {};
}

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
    result.readOnly = read.readOnly;
    result.ok = true;
    return result;
}

// Gives the new file what the old one had besides its content, so that the player, the
// game and whoever else shares the file keep their access to it.
std::error_code takeOver(sys::Handle& file, const fs::path& old, const sys::FileFacts& facts) {
    if (const std::error_code error = sys::keepOwnerAndMode(file, facts))
        return error;
    sys::copyExtendedAttributes(old, file);
    return {};
}

std::size_t contentHash(std::string_view bytes) {
    return std::hash<std::string_view>{}(bytes);
}

// A file changed a moment ago by anyone else may be in the middle of that program's
// write; one that is still the very version this program wrote (same file, size, time
// and content) is whole.
class OwnWrites {
public:
    void remember(const FileStamp& stamp, std::size_t hash) {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_versions, [&](const Version& v) { return sameFile(v.stamp, stamp); });
        if (m_versions.size() >= 64)
            m_versions.erase(m_versions.begin());
        m_versions.push_back({stamp, hash});
    }
    bool contains(const FileStamp& stamp, std::string_view bytes) const {
        if (bytes.empty())
            return false; // an emptied file is how another program's rewrite begins
        const Version version{stamp, contentHash(bytes)};
        std::lock_guard lock(m_mutex);
        return std::find(m_versions.begin(), m_versions.end(), version) != m_versions.end();
    }

private:
    struct Version {
        FileStamp stamp;
        std::size_t hash = 0;
        bool operator==(const Version&) const = default;
    };
    static bool sameFile(const FileStamp& a, const FileStamp& b) {
        return a.device == b.device && a.file == b.file;
    }
    mutable std::mutex m_mutex;
    std::vector<Version> m_versions;
};

OwnWrites ownWrites;

// An emptied file must hold still longer: emptying is how a rewrite in place begins, and
// a busy writer may not yet have written its first byte.
enum class Settled { Yes, No, WriterOpen };

Settled settled(const fs::path& path, const FileStamp& stamp, std::string_view bytes) {
    constexpr std::int64_t kQuiet = 50'000'000;       // nanoseconds
    constexpr std::int64_t kQuietEmpty = 500'000'000; // nanoseconds
    if (ownWrites.contains(stamp, bytes))
        return Settled::Yes;
    switch (sys::otherWriters(path)) {
    case sys::Writers::Some:
        return Settled::WriterOpen;
    case sys::Writers::None: {
        const auto now = sys::factsOf(path);
        return now && now->stamp == stamp ? Settled::Yes : Settled::No;
    }
    case sys::Writers::Unknown:
        break;
    }
    const std::int64_t quiet = stamp.size == 0 ? kQuietEmpty : kQuiet;
    bool waited = false;
    while (true) {
        const std::int64_t age = sys::currentTime() - stamp.changed;
        if (age >= quiet || age < 0)
            return Settled::Yes;
        if (!waited)
            probe::noteSettleWait();
        waited = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const auto now = sys::factsOf(path);
        if (!now || now->stamp != stamp)
            return Settled::No;
    }
}

class DeferredFlushes {
public:
    void open() {
        std::lock_guard lock(m_mutex);
        ++m_depth;
    }
    void close() {
        std::set<fs::path> folders;
        {
            std::lock_guard lock(m_mutex);
            if (--m_depth > 0)
                return;
            folders.swap(m_folders);
        }
        for (const fs::path& folder : folders)
            sys::flushFolder(folder);
    }
    void flush(const fs::path& folder) {
        {
            std::lock_guard lock(m_mutex);
            if (m_depth > 0) {
                m_folders.insert(folder);
                return;
            }
        }
        sys::flushFolder(folder);
    }

private:
    std::mutex m_mutex;
    int m_depth = 0;
    std::set<fs::path> m_folders;
};

DeferredFlushes deferredFlushes;

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
    // A writer that truncates and rewrites in place is usually done within moments; one
    // that holds the file open for writing is given a little longer.
    constexpr int kAttempts = 20;
    constexpr auto kWriterWait = std::chrono::seconds(2);
    const auto giveUp = std::chrono::steady_clock::now() + kWriterWait;
    for (int attempts = 1;; ++attempts) {
        ReadResult result = readOnce(path, maxSize);
        const Settled state =
            result.ok && waitUntilSettled ? settled(path, result.stamp, result.bytes) : Settled::Yes;
        if (state == Settled::Yes && result.error != FileError::KeepsChanging)
            return result;
        if (state != Settled::Yes) {
            result = ReadResult{};
            result.error = FileError::KeepsChanging;
        }
        const bool writerOpen = state == Settled::WriterOpen;
        if (writerOpen ? std::chrono::steady_clock::now() >= giveUp : attempts >= kAttempts)
            return result;
        if (writerOpen)
            probe::noteSettleWait();
        std::this_thread::sleep_for(std::chrono::milliseconds(writerOpen ? 10 : 1));
    }
}

} // namespace

ReadResult readFile(const fs::path& path, std::uintmax_t maxSize) {
    return readRepeatedly(path, maxSize, false);
}

ReadResult readSettledFile(const fs::path& path, std::uintmax_t maxSize) {
    return readRepeatedly(path, maxSize, true);
}

namespace {

// `temporary` is left empty when it fails.
std::error_code writeTemporary(const fs::path& target, std::string_view bytes, const sys::FileFacts* old,
                               const fs::path* permissionsOf, fs::path& temporary, FileStamp& written) {
    std::optional<std::uint32_t> mode;
    if (old)
        mode = old->mode;
    if (permissionsOf)
        if (const auto model = sys::factsOf(*permissionsOf))
            mode = model->mode;
    std::error_code error;
    for (int attempt = 0; attempt < 4; ++attempt) {
        temporary = temporaryBeside(target);
        sys::Handle file = sys::createNew(temporary, mode, error);
        if (error == std::errc::file_exists)
            continue; // that name is taken: never touch the other file
        if (!error && old)
            error = takeOver(file, target, *old);
        if (!error && permissionsOf)
            error = sys::copyMode(file, *permissionsOf);
        if (!error)
            error = sys::writeAllAndFlush(file, bytes);
        if (const std::error_code closed = file.close(); !error)
            error = closed;
        // Taken after the close: some file systems set the time only then. A rename keeps it.
        if (const auto facts = sys::factsOf(temporary); !error && facts)
            written = facts->stamp;
        break;
    }
    if (error) {
        if (error != std::errc::file_exists)
            sys::removeFile(temporary);
        temporary.clear();
    }
    return error;
}

} // namespace

Replacement::Replacement(const fs::path& target, std::string_view bytes, const fs::path* permissionsOf,
                         Ownership ownership)
    : m_overReadOnly(ownership == Ownership::Program)
    , m_contentHash(contentHash(bytes)) {
    std::optional<sys::FileFacts> old;
    m_target = sys::followLinks(target, &old);
    if (old)
        m_checked = old->stamp;
    // The program's own file is replaced whatever its read-only state; a link there leads
    // to someone else's file, which keeps its protection and its permissions.
    if (m_overReadOnly && sys::isLink(target)) {
        m_overReadOnly = false;
        if (old)
            permissionsOf = nullptr;
    }
    if (old && (m_error = unusable(*old)))
        return;
    if (old && old->readOnly && !m_overReadOnly) {
        m_error = sys::accessDenied();
        return;
    }
    // A file with hard links is rewritten where it is: a new file would carry the new
    // settings under this one name only, and the game reading another name would not see them.
    m_inPlace = old && old->links > 1 && !m_overReadOnly;
    if (!m_inPlace) {
        m_error =
            writeTemporary(m_target, bytes, old ? &*old : nullptr, permissionsOf, m_temporary, m_written);
        // A new file that cannot be what the old one is: the old one is rewritten where it
        // is, if this user may write it, rather than a write refused that the system allows.
        m_inPlace = old && sys::isPermissionError(m_error) && sys::canWrite(m_target);
    }
    if (m_inPlace) {
        m_error.clear();
        m_inPlaceBytes = std::string(bytes);
    }
}

Replacement::Replacement(Replacement&& other) noexcept
    : m_target(std::move(other.m_target))
    , m_temporary(std::exchange(other.m_temporary, {}))
    , m_inPlaceBytes(std::move(other.m_inPlaceBytes))
    , m_inPlace(other.m_inPlace)
    , m_overReadOnly(other.m_overReadOnly)
    , m_checked(other.m_checked)
    , m_written(other.m_written)
    , m_contentHash(other.m_contentHash)
    , m_error(other.m_error) {}

Replacement::~Replacement() {
    if (!m_temporary.empty())
        sys::removeFile(m_temporary);
}

std::error_code Replacement::commit(const FileStamp* expected) {
    if (m_error)
        return m_error;
    if (m_inPlace) {
        const std::error_code error =
            inplace::rewrite(m_target, m_checked, m_inPlaceBytes, expected, m_written);
        if (!error)
            ownWrites.remember(m_written, m_contentHash);
        return error;
    }
    if (expected) {
        const auto now = sys::factsOf(m_target);
        if (!now || now->stamp != *expected)
            return FileError::KeepsChanging;
    }
    if (const std::error_code error = sys::moveIntoPlace(m_temporary, m_target, m_overReadOnly))
        return error;
    m_temporary.clear();
    ownWrites.remember(m_written, m_contentHash);
    deferredFlushes.flush(m_target.parent_path());
    return {};
}

FolderFlushScope::FolderFlushScope() {
    deferredFlushes.open();
}

FolderFlushScope::~FolderFlushScope() {
    deferredFlushes.close();
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
