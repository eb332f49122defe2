#pragma once

#include <chrono>
#include <cstdint>

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

// Called by the file calls themselves.
void noteWrite();
void noteFlush();
void noteRename();
void noteStat();
void noteSettleWait();

} // namespace filestore::probe
