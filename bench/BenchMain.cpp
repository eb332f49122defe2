// Knobwerk's benchmarks: the INI access layer on game files of realistic size, the
// window's start-up against an empty Qt window (in this process, and as whole processes
// with their peak memory), the look for a running game among about 500 processes, and a
// table of the medians against the goals.
//
// Options: Google Benchmark's own (--benchmark_filter=..., ...), and
//   --startup-runs=N   launches of each start-up helper (default 15; 0 skips them)
//   --write-home=DIR   only writes the generated game files below DIR (DIR/Documents and
//                      DIR/program, as the helpers take them) and ends
#include "Benchmarks.h"

#include "inidigest/IniDigest.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace {

// Keeps the median of each benchmark, in milliseconds, while printing as usual.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred) {
                const double toMs = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
                medians[run.run_name.function_name] = run.GetAdjustedRealTime() * toMs;
                cpuMedians[run.run_name.function_name] = run.GetAdjustedCPUTime() * toMs;
                for (const auto& [counter, value] : run.counters)
                    counters[run.run_name.function_name][counter] = value.value;
            }
        ConsoleReporter::ReportRuns(runs);
    }

    std::optional<double> median(const char* name) const { return find(medians, name); }
    std::optional<double> cpuMedian(const char* name) const { return find(cpuMedians, name); }
    std::optional<double> counter(const char* name, const char* counter) const {
        const auto it = counters.find(name);
        return it == counters.end() ? std::nullopt : find(it->second, counter);
    }

private:
    static std::optional<double> find(const std::map<std::string, double>& map, const char* name) {
        const auto it = map.find(name);
        return it == map.end() ? std::nullopt : std::optional<double>(it->second);
    }

    std::map<std::string, double> medians;
    std::map<std::string, double> cpuMedians;
    std::map<std::string, std::map<std::string, double>> counters;
};

int failedGoals = 0;

// One line of the table. `cpu` is the processor time of the same median, for operations that
// also wait for the disk.
void row(const char* what, std::optional<double> value, const char* unit, const char* goalText, double goal,
         std::optional<double> baseline = std::nullopt, std::optional<double> cpu = std::nullopt) {
    if (!value || (baseline && *baseline <= 0)) {
        std::printf("%-44s %20s   %-22s %8s   %s\n", what, "-", goalText, "-", "not measured");
        return;
    }
    char shown[64];
    if (baseline)
        std::snprintf(shown, sizeof shown, "%.3g / %.3g %s", *value, *baseline, unit);
    else
        std::snprintf(shown, sizeof shown, "%.4g %s", *value, unit);
    const double ratio = baseline ? *value / *baseline : *value / goal;
    const bool met = baseline ? ratio < goal : *value < goal;
    failedGoals += !met;
    char cpuText[32] = "";
    if (cpu)
        std::snprintf(cpuText, sizeof cpuText, "  (cpu %.3g %s)", *cpu, unit);
    std::printf("%-44s %20s   %-22s %7.2fx   %s%s\n", what, shown, goalText, ratio, met ? "met" : "MISSED",
                cpuText);
}

// The file calls of one save, as counted by the platform layer.
void callCounts(const char* what, const MedianReporter& reporter, const char* name) {
    const auto writes = reporter.counter(name, "writes");
    const auto flushes = reporter.counter(name, "flushes");
    const auto renames = reporter.counter(name, "renames");
    const auto stats = reporter.counter(name, "stats");
    const auto waits = reporter.counter(name, "settle_waits");
    if (!writes || !flushes || !renames || !stats || !waits)
        return;
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.0f / %.0f / %.0f / %.0f / %.0f", *writes, *flushes, *renames,
                  *stats, *waits);
    std::printf("%-44s %20s   %-22s %8s   %s\n", what, shown, "(no goal)", "-", "info");
}

// A count of file calls per save against the most it may be.
void countGoal(const char* what, std::optional<double> count, double most) {
    if (!count) {
        std::printf("%-44s %20s   <= %-19.0f %8s   %s\n", what, "-", most, "-", "not measured");
        return;
    }
    const bool met = *count <= most;
    failedGoals += !met;
    std::printf("%-44s %20.0f   <= %-19.0f %7.2fx   %s\n", what, *count, most, *count / most,
                met ? "met" : "MISSED");
}

// A figure shown for comparison, without a goal of its own.
void infoValue(const char* what, std::optional<double> value, const char* unit) {
    if (!value)
        return;
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.4g %s", *value, unit);
    std::printf("%-44s %20s   %-22s %8s   %s\n", what, shown, "(no goal)", "-", "info");
}

// A comparison without a goal of its own: the process start-up above is what the user waits for.
void info(const char* what, std::optional<double> value, std::optional<double> baseline) {
    if (!value || !baseline || *baseline <= 0)
        return;
    char shown[64];
    std::snprintf(shown, sizeof shown, "%.3g / %.3g ms", *value, *baseline);
    std::printf("%-44s %20s   %-22s %7.0fx   %s\n", what, shown, "(no goal)", *value / *baseline, "info");
}

std::filesystem::path ownFolder(const char* argv0) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::absolute(argv0).parent_path() : self.parent_path();
}

} // namespace

int main(int argc, char** argv) {
    int startupRuns = 15;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-home=", 13) == 0) {
            const BenchHome kept{std::filesystem::absolute(argv[i] + 13)};
            std::printf("%s\n%s\n", kept.documents().string().c_str(), kept.programFolder().string().c_str());
            return 0;
        }
        if (std::strncmp(argv[i], "--startup-runs=", 15) == 0) {
            startupRuns = std::atoi(argv[i] + 15);
            std::memmove(argv + i, argv + i + 1, sizeof(char*) * static_cast<std::size_t>(argc - i));
            --argc;
            --i;
        }
    }

    BenchHome home;
    // Qt wants a private runtime folder; the helpers inherit this one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const auto runtime = home.documents().parent_path() / "runtime";
        std::filesystem::create_directories(runtime);
        std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", runtime.string().c_str());
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 64;

    int messages = 0;
    useFolders(home.documents(), home.programFolder(), &messages);
    InitIniDigest();
    std::printf("Game files: UTEngine.ini %zu lines, UTGame.ini %zu lines, UTInput.ini %zu lines in %s\n",
                countLines(makeGameFile(EngineIni, kEngineLines)),
                countLines(makeGameFile(GameIni, kGameLines)),
                countLines(makeGameFile(InputIni, kInputLines)), home.documents().string().c_str());

    registerIniBenchmarks(home, messages);
    registerWindowBenchmarks(home);
    registerGameProcessBenchmark();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::vector<ProcessStartup> processes(2);
    if (startupRuns > 0) {
        const auto folder = ownFolder(argv[0]);
        std::printf("\nStarting each helper %d times (launch until the window is shown)...\n", startupRuns);
        std::fflush(stdout);
        processes = measureProcessStartups({{(folder / "knobwerk_bench_program").string(),
                                             home.documents().string(), home.programFolder().string()},
                                            {(folder / "knobwerk_bench_minimal").string()}},
                                           startupRuns);
    }
    const ProcessStartup& program = processes[0];
    const ProcessStartup& minimal = processes[1];
    const auto measured = [](const ProcessStartup& p, double value) {
        return p.runs > 0 && p.failures == 0 ? std::optional<double>(value) : std::nullopt;
    };

    std::printf("\n%-44s %20s   %-22s %8s   %s\n", "Median", "value", "goal", "ratio", "verdict");
    const auto ini = [&](const char* what, const char* name, const char* goalText, double goal) {
        row(what, reporter.median(name), "ms", goalText, goal, std::nullopt, reporter.cpuMedian(name));
    };
    ini("read one key (ReadIniString)", kReadOneKey, "< 0.2 ms", 0.2);
    ini("write one key (WriteIniString)", kWriteOneKey, "< 3 ms", 3);
    ini("load 74 + marking walk 46", kLoadAndWalk, "< 20 ms", 20);
    ini("save 74", kSaveAll, "< 300 ms", 300);
    infoValue("floor: the three files written once", reporter.median(kWriteFloor), "ms");
    // Against the floor and the plain save only when those were measured.
    const std::optional<double> floor = reporter.median(kWriteFloor);
    row("save 74 / floor", floor ? reporter.median(kSaveAll) : std::nullopt, "ms", "< 2x floor", 2, floor);
    ini("save 74, flushes 10 ms slower (hard disk)", kSaveAllSlowFlushes, "<= 100 ms", 100);
    infoValue("floor, flushes 10 ms slower", reporter.median(kWriteFloorSlowFlushes), "ms");
    ini("save 74, UTEngine.ini of 7 MiB", kSaveAllLargeEngine, "<= 150 ms", 150);
    const std::optional<double> plainSave = reporter.median(kSaveAll);
    row("save 74, times set at close / save 74",
        plainSave ? reporter.median(kSaveAllTimesAtClose) : std::nullopt, "ms", "< 1.5x save 74", 1.5,
        plainSave);
    row("save 74 in place (rollback journal) / save 74",
        plainSave ? reporter.median(kSaveAllInPlace) : std::nullopt, "ms", "<= 2x save 74", 2, plainSave);
    callCounts("save 74: writes/flushes/renames/stats/waits", reporter, kSaveAll);
    callCounts("save 74 in place: writes/flushes/renames/stats/waits", reporter, kSaveAllInPlace);
    callCounts("floor: writes/flushes/renames/stats/waits", reporter, kWriteFloor);
    countGoal("save 74: flushes per save", reporter.counter(kSaveAll, "flushes"), 4);
    countGoal("save 74: renames per save", reporter.counter(kSaveAll, "renames"), 3);
    ini("game running check, 500 processes", kGameRunningCheck, "<= 5 ms", 5);
    row("start-up, process: program / minimal", measured(program, program.medianMs), "ms",
        "< 1.3x minimal window", 1.3, measured(minimal, minimal.medianMs));
    row("peak memory, process: program / minimal", measured(program, program.medianPeakKiB / 1024.0), "MiB",
        "< 1.3x minimal window", 1.3, measured(minimal, minimal.medianPeakKiB / 1024.0));
    info("window in running app: program / minimal", reporter.median(kProgramWindow),
         reporter.median(kMinimalWindow));
    if (messages != 0)
        std::printf("\n%d message box(es) were raised by the INI layer: the figures are not valid.\n",
                    messages);
    std::printf("\n%d goal(s) missed.\n", failedGoals);

    benchmark::Shutdown();
    return 0;
}
