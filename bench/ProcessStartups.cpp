// Start-up helpers run as their own processes: the time from launch until the window is
// shown, and the peak resident memory each process reports for itself.
#include "Benchmarks.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct ChildRun {
    bool ok = false;
    double ms = 0;
    long peakKiB = 0;
};

ChildRun runOnce(const std::vector<std::string>& command) {
    ChildRun run;
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    std::vector<std::string> args = command;
    args.insert(args.begin() + 1, std::to_string(fds[1]));
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        return run;
    }
    // The helper's line "ready <peak KiB>", read up to its end.
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = read(fds[0], &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != 1 || c == '\n')
            break;
        line += c;
    }
    const auto shown = std::chrono::steady_clock::now();
    close(fds[0]);

    int status = 0;
    if (waitpid(pid, &status, 0) != pid)
        return run;
    long peak = -1;
    const bool signalled = std::sscanf(line.c_str(), "ready %ld", &peak) == 1 && peak > 0;
    run.ok = signalled && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    run.ms = std::chrono::duration<double, std::milli>(shown - start).count();
    run.peakKiB = peak;
    if (!run.ok)
        std::fprintf(stderr, "%s failed (status %d)\n", argv[0], status);
    return run;
}

template <class T> T median(std::vector<T> values) {
    if (values.empty())
        return T{};
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

} // namespace

std::vector<ProcessStartup> measureProcessStartups(const std::vector<std::vector<std::string>>& commands,
                                                   int runs) {
    std::vector<std::vector<double>> times(commands.size());
    std::vector<std::vector<long>> memory(commands.size());
    std::vector<ProcessStartup> results(commands.size());
    // One round first that is not counted: it brings the libraries into the page cache.
    for (int round = -1; round < runs; ++round) {
        for (std::size_t c = 0; c < commands.size(); ++c) {
            const ChildRun run = runOnce(commands[c]);
            if (round < 0)
                continue;
            ++results[c].runs;
            if (!run.ok) {
                ++results[c].failures;
                continue;
            }
            times[c].push_back(run.ms);
            memory[c].push_back(run.peakKiB);
        }
    }
    for (std::size_t c = 0; c < commands.size(); ++c) {
        results[c].medianMs = median(times[c]);
        results[c].medianPeakKiB = median(memory[c]);
    }
    return results;
}
