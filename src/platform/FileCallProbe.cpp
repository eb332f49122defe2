#include "platform/FileCallProbe.h"

#include <atomic>
#include <utility>

namespace filestore::probe {
namespace {

std::atomic<std::uint64_t> writes{0};
std::atomic<std::uint64_t> flushes{0};
std::atomic<std::uint64_t> renames{0};
std::atomic<std::uint64_t> stats{0};
std::atomic<std::uint64_t> settleWaits{0};
FileCallObserver* currentObserver = nullptr;

} // namespace

Counts counts() {
    return {writes.load(), flushes.load(), renames.load(), stats.load(), settleWaits.load()};
}

ScopedObserver::ScopedObserver(FileCallObserver& observer)
    : m_previous(std::exchange(currentObserver, &observer)) {}

ScopedObserver::~ScopedObserver() {
    currentObserver = m_previous;
}

FileCallObserver* observer() {
    return currentObserver;
}

void noteWrite() {
    ++writes;
}

void noteFlush() {
    ++flushes;
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
