// The look for a running game that save and restore take before they ask: one walk over
// every process, on a machine running about 500 of them.
#include "Benchmarks.h"

#include "platform/GameProcess.h"

#include <benchmark/benchmark.h>

#include <cctype>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

constexpr int kProcesses = 500;

int countProcesses() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc"))
        count += std::isdigit(static_cast<unsigned char>(entry.path().filename().string()[0])) != 0;
    return count;
}

// Harmless processes that only wait, as many as bring the machine to `total`; stopped
// with the object. They are this user's, so the check reads each of them whole.
class WaitingProcesses {
public:
    explicit WaitingProcesses(int total) {
        std::string program = "/bin/sleep";
        std::string seconds = "600";
        char* argv[] = {program.data(), seconds.data(), nullptr};
        for (int n = countProcesses(); n < total; ++n) {
            pid_t pid = 0;
            if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0)
                break;
            m_pids.push_back(pid);
        }
    }
    ~WaitingProcesses() {
        for (pid_t pid : m_pids)
            kill(pid, SIGKILL);
        for (pid_t pid : m_pids)
            waitpid(pid, nullptr, 0);
    }
    WaitingProcesses(const WaitingProcesses&) = delete;
    WaitingProcesses& operator=(const WaitingProcesses&) = delete;

private:
    std::vector<pid_t> m_pids;
};

void gameRunningCheck(benchmark::State& state) {
    const WaitingProcesses crowd(kProcesses);
    state.counters["processes"] = countProcesses();
    bool running = false;
    for (auto _ : state) {
        running = gameprocess::isGameRunning();
        benchmark::DoNotOptimize(running);
    }
    if (running)
        state.SkipWithError("the game runs on this machine: the walk ended early");
}

} // namespace

void registerGameProcessBenchmark() {
    benchmark::RegisterBenchmark(kGameRunningCheck, gameRunningCheck)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.2)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
}
