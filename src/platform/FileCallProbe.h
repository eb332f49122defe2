#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string_view>

// A window into the file calls behind FileStore, for the benchmark and the tests: how
// many writes, flushes, renames and stat calls an operation costs, and how it behaves on disks
// and file systems other than this machine's.
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

// The counts since the program started.
Counts counts();

struct Simulation {
    // Added to every flush: a hard disk or a network share, where a flush costs
    // milliseconds rather than this machine's fraction of one.
    std::chrono::microseconds extraFlushTime{0};
    // The file system sets a written file's time when its handle is closed, as Windows
    // file systems do, rather than at each write.
    bool timesSetAtClose = false;
};

// Applies to every file call from now on; Simulation{} is the machine as it is.
void simulate(const Simulation& simulation);
const Simulation& simulation();

// What the file calls change on disk, call by call, in the order they are made: enough
// to tell every state a power cut could leave behind. Paths are the files themselves,
// links followed.
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
};

// Reports every file call from now on to `observer` (nullptr: to none).
void observe(FileCallObserver* observer);
FileCallObserver* observer();

// Called by the file calls themselves.
void noteWrite();
void noteFlush();
void noteRename();
void noteStat();
void noteSettleWait();

} // namespace filestore::probe
