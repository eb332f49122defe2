#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

// A window into the file calls behind FileStore, for the benchmark and the tests: how
// many writes, flushes, renames and stat calls an operation costs, and what each call
// changes on disk.
namespace filestore::probe {

struct Counts {
    std::uint64_t writes = 0;      // a file's whole new content written
    std::uint64_t flushes = 0;     // of a file's content or of a folder
    std::uint64_t renames = 0;     // a new version put in a file's place
    std::uint64_t stats = 0;       // looks at a file's size, time, kind or owner
    std::uint64_t settleWaits = 0; // reads that waited for another program's write to end
    Counts operator-(const Counts& earlier) const {
        return {writes - earlier.writes, flushes - earlier.flushes, renames - earlier.renames,
                stats - earlier.stats, settleWaits - earlier.settleWaits};
    }
};

Counts counts();

// What the file calls change on disk, call by call, in the order they are made: enough
// to tell every state a power cut could leave behind. Paths are the files themselves,
// links followed. Each call is reported as it returns, so an observer may also stand
// for a disk or a file system other than this machine's (one whose flushes are slow,
// one that sets a written file's time when its handle closes).
class FileCallObserver {
public:
    virtual ~FileCallObserver() = default;
    virtual void created(const std::filesystem::path& file) = 0; // new and empty
    virtual void wrote(const std::filesystem::path& file, std::uint64_t offset, std::string_view bytes) = 0;
    virtual void resized(const std::filesystem::path& file, std::uint64_t size) = 0; // cut or extended
    virtual void flushed(const std::filesystem::path& file) = 0;                     // its content
    virtual void renamed(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual void removed(const std::filesystem::path& file) = 0;
    virtual void folderFlushed(const std::filesystem::path& folder) = 0; // its list of names
    // The handle that wrote `file` is closed; its content and names are as they were.
    virtual void closedAfterWriting(const std::filesystem::path& /*file*/) {}
};

// Reports every file call to `observer` while it lives, then to the one before again.
class ScopedObserver {
public:
    explicit ScopedObserver(FileCallObserver& observer);
    ~ScopedObserver();
    ScopedObserver(const ScopedObserver&) = delete;
    ScopedObserver& operator=(const ScopedObserver&) = delete;

private:
    FileCallObserver* m_previous;
};

FileCallObserver* observer();

// Called by the file calls themselves.
void noteWrite();
void noteFlush();
void noteRename();
void noteStat();
void noteSettleWait();

} // namespace filestore::probe
