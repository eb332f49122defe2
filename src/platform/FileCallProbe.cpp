#include "platform/FileCallProbe.h"

#include <atomic>
#include <thread>

namespace filestore::probe {
namespace {

std::atomic<std::uint64_t> writes{0};
std::atomic<std::uint64_t> flushes{0};
std::atomic<std::uint64_t> renames{0};
std::atomic<std::uint64_t> stats{0};
std::atomic<std::uint64_t> settleWaits{0};
Simulation current;
FileCallObserver* currentObserver = nullptr;

} // namespace

Counts counts() {
    return {writes.load(), flushes.load(), renames.load(), stats.load(), settleWaits.load()};
}

void simulate(const Simulation& simulation) {
    current = simulation;
}

const Simulation& simulation() {
    return current;
}

void observe(FileCallObserver* observer) {
    currentObserver = observer;
}

FileCallObserver* observer() {
    return currentObserver;
}

void noteWrite() {
    ++writes;
}

void noteFlush() {
    ++flushes;
    if (current.extraFlushTime.count() > 0)
        std::this_thread::sleep_for(current.extraFlushTime);
}

void noteRename() {
    ++renames;
}

void noteStat() {
    ++stats;
}

void noteSettleWait() {
    ++settleWaits;
}

} // namespace filestore::probe
