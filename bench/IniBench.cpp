// The INI access layer as the window uses it, on game files of realistic size. Every
// operation opens, reads (and for writes replaces) the whole file, as the program does.
#include "Benchmarks.h"

#include "inidigest/IniDigest.h"
#include "platform/FileCallProbe.h"
#include "platform/FileStore.h"
#include "settings/Catalogue.h"
#include "sync/SettingsSync.h"
#include "sync/StoppedLoad.h"

#include "MemoryValues.h"
#include "SimulatedDisk.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A key of the engine file's [SystemSettings], which the game keeps near the end.
const std::string kSection = "SystemSettings";
const std::string kKey = "ScreenPercentage";

void readOneKey(benchmark::State& state, BenchHome& home, const int& messages) {
    home.writeGameFiles();
    const int before = messages;
    std::string value;
    for (auto _ : state) {
        value = ReadIniString(EngineIni, kSection, kKey);
        benchmark::DoNotOptimize(value);
    }
    if (value == "-1" || messages != before)
        state.SkipWithError("the key was not found");
}

void writeOneKey(benchmark::State& state, BenchHome& home, const int& messages) {
    home.writeGameFiles();
    const int before = messages;
    bool flip = false;
    std::string written;
    for (auto _ : state) {
        // A different value each time, so that every write replaces the file.
        written = (flip = !flip) ? "87.500000" : "100.000000";
        WriteIniString(EngineIni, kSection, kKey, written);
    }
    if (ReadIniString(EngineIni, kSection, kKey) != written || messages != before)
        state.SkipWithError("the written value did not arrive");
}

// The window's LoadfromIni, then a full change-marking walk, through the core's walks.
void loadAndWalk(benchmark::State& state, BenchHome& home, const int& messages) {
    home.writeGameFiles();
    const int before = messages;
    int differing = 0;
    MemoryValues values;
    for (auto _ : state) {
        StoppedLoad stopped;
        settingsync::loadFromGameFiles(values, stopped);
        differing = 0;
        for (std::string_view name : markingWalkOrder())
            differing += settingsync::differsFromGameFile(values, name);
        benchmark::DoNotOptimize(differing);
    }
    if (messages != before || differing != 0)
        state.SkipWithError("a game file was missing or unreadable");
}

// The file calls of the timed runs, per run.
void countPerRun(benchmark::State& state, const filestore::probe::Counts& cost) {
    const auto perRun = [&](std::uint64_t count) {
        return benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
    };
    state.counters["writes"] = perRun(cost.writes);
    state.counters["flushes"] = perRun(cost.flushes);
    state.counters["renames"] = perRun(cost.renames);
    state.counters["stats"] = perRun(cost.stats);
    state.counters["settle_waits"] = perRun(cost.settleWaits);
}

// What the window's BtnSaveClick writes, with every value changed each time, on the file
// system as `disk` makes it.
void saveAllOn(benchmark::State& state, BenchHome& home, const int& messages,
               const SimulatedDisk::Traits& disk, std::size_t engineLines = kEngineLines,
               bool inPlace = false) {
    home.writeGameFiles(engineLines);
    // A second name for each file: the save rewrites them where they are, through the
    // rollback journal.
    const std::filesystem::path linked = home.gameFile("linked");
    if (inPlace) {
        std::filesystem::create_directory(linked);
        for (const char* name : {"UTEngine.ini", "UTGame.ini", "UTInput.ini"})
            std::filesystem::create_hard_link(home.gameFile(name), linked / name);
    }
    const SimulatedDisk simulated(disk);
    const int before = messages;
    // Every box and every text flips between two values (an integer text, which the
    // float fields take as it is), so that every writable key changes with every save.
    const auto save = [](bool flip) {
        MemoryValues values;
        for (const CatalogueRow& row : settingsCatalogue()) {
            values.boxes[std::string(row.control)] = flip;
            values.texts[std::string(row.control)] = flip ? "8" : "16";
        }
        settingsync::saveToGameFiles(values, StoppedLoad());
    };
    // Untimed: from the generated values to this benchmark's, so that every timed save
    // changes every key, and the game files written just now count as settled.
    save(false);
    const filestore::probe::Counts countsBefore = filestore::probe::counts();
    bool flip = false;
    for (auto _ : state)
        save(flip = !flip);
    const filestore::probe::Counts cost = filestore::probe::counts() - countsBefore;
    countPerRun(state, cost);
    state.counters["engine_kib"] =
        static_cast<double>(std::filesystem::file_size(home.gameFile("UTEngine.ini"))) / 1024;
    if (ReadIniString(EngineIni, "SystemSettings", "ShadowTexelsPerPixel") != (flip ? "8" : "16") ||
        messages != before)
        state.SkipWithError("the saved values did not arrive");
    std::filesystem::remove_all(linked);
}

void saveAll(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {});
}

// A hard disk or a network share, where a flush costs 10 ms more than here.
void saveAllSlowFlushes(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {.extraFlushTime = std::chrono::milliseconds(10)});
}

void saveAllInPlace(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {}, kEngineLines, true);
}

// A file system that sets a written file's time when its handle closes, as Windows' do.
void saveAllTimesAtClose(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {.timesSetAtClose = true});
}

// The same save into a UTEngine.ini near the size limit.
void saveAllLargeEngine(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {}, kLargeEngineLines);
    home.writeGameFiles();
}

// The least a save can cost with the same safety: each of the three files written whole
// once, flushed and renamed into place, and the folder flushed once at the end.
void writeFloorOn(benchmark::State& state, BenchHome& home, const SimulatedDisk::Traits& disk) {
    home.writeGameFiles();
    std::vector<std::pair<std::filesystem::path, std::string>> files;
    for (const char* name : {"UTEngine.ini", "UTGame.ini", "UTInput.ini"})
        files.emplace_back(home.gameFile(name), readBytes(home.gameFile(name)));
    const SimulatedDisk simulated(disk);
    const filestore::probe::Counts countsBefore = filestore::probe::counts();
    bool failed = false;
    for (auto _ : state) {
        const filestore::FolderFlushScope flushFolderAtEnd;
        for (const auto& [path, bytes] : files)
            failed |= static_cast<bool>(filestore::replaceFile(path, bytes));
    }
    const filestore::probe::Counts cost = filestore::probe::counts() - countsBefore;
    countPerRun(state, cost);
    if (failed)
        state.SkipWithError("a file could not be replaced");
}

void writeFloor(benchmark::State& state, BenchHome& home, const int&) {
    writeFloorOn(state, home, {});
}

void writeFloorSlowFlushes(benchmark::State& state, BenchHome& home, const int&) {
    writeFloorOn(state, home, {.extraFlushTime = std::chrono::milliseconds(10)});
}

} // namespace

void registerIniBenchmarks(BenchHome& home, const int& messages) {
    const auto add = [&](const char* name, void (*body)(benchmark::State&, BenchHome&, const int&),
                         int repetitions = 9) {
        benchmark::RegisterBenchmark(
            name, [body, &home, &messages](benchmark::State& state) { body(state, home, messages); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MinTime(0.2)
            ->Repetitions(repetitions)
            ->ReportAggregatesOnly(true);
    };
    add(kReadOneKey, readOneKey);
    add(kWriteOneKey, writeOneKey);
    add(kLoadAndWalk, loadAndWalk);
    add(kSaveAll, saveAll);
    add(kSaveAllInPlace, saveAllInPlace);
    add(kSaveAllTimesAtClose, saveAllTimesAtClose);
    add(kWriteFloor, writeFloor);
    add(kWriteFloorSlowFlushes, writeFloorSlowFlushes);
    // Up to seconds each: fewer runs.
    add(kSaveAllSlowFlushes, saveAllSlowFlushes, 5);
    add(kSaveAllLargeEngine, saveAllLargeEngine, 5);
}
