// The INI access layer as the window uses it, on game files of realistic size. Every
// operation opens, reads (and for writes replaces) the whole file, as the program does.
#include "Benchmarks.h"

#include "inidigest/IniDigest.h"
#include "inidigest/IniValues.h"
#include "platform/FileCallProbe.h"
#include "settings/Catalogue.h"

#include <benchmark/benchmark.h>

namespace {

// A key of the engine file's [SystemSettings], which the game keeps near the end.
const std::string kSection = "SystemSettings";
const std::string kKey = "ScreenPercentage";

std::string str(std::string_view s) {
    return std::string(s);
}

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

// What the window's LoadfromIni reads, then a full change-marking walk.
void loadAndWalk(benchmark::State& state, BenchHome& home, const int& messages) {
    home.writeGameFiles();
    const int before = messages;
    int checked = 0;
    for (auto _ : state) {
        ResetIniErrors();
        checked = 0;
        for (const CatalogueRow& row : settingsCatalogue()) {
            switch (row.kind) {
            case ValueKind::Boolean:
                checked += ReadIniBool(row.target, str(row.section), str(row.key));
                break;
            case ValueKind::Integer:
                benchmark::DoNotOptimize(ReadIniInteger(row.target, str(row.section), str(row.key)));
                break;
            case ValueKind::FloatText:
                benchmark::DoNotOptimize(ReadIniString(row.target, str(row.section), str(row.key)));
                break;
            case ValueKind::MovieText:
                checked += !ReadIniStringOrEmpty(row.target, str(row.section), str(row.key)).empty();
                break;
            }
        }
        for (std::string_view name : markingWalkOrder()) {
            const CatalogueRow* row = findCatalogueRow(name);
            checked += ReadIniBool(row->target, str(row->section), str(name));
        }
        benchmark::DoNotOptimize(checked);
    }
    if (messages != before || checked == 0)
        state.SkipWithError("a game file was missing or unreadable");
}

// What the window's BtnSaveClick writes, with every value changed each time, on the file
// system as `simulation` makes it.
void saveAllOn(benchmark::State& state, BenchHome& home, const int& messages,
               const filestore::probe::Simulation& simulation) {
    home.writeGameFiles();
    filestore::probe::simulate(simulation);
    const int before = messages;
    const auto save = [](bool flip) {
        ResetIniErrors();
        for (const CatalogueRow& row : settingsCatalogue())
            if (row.kind == ValueKind::Integer && IniTargetExists(row.target))
                inivalues::toIntegerStrict(flip ? "8" : "16");
        for (const IniWriteScope lastingAtEnd; const CatalogueRow& row : settingsCatalogue()) {
            const std::string section(row.section);
            const std::string key(row.key);
            switch (row.kind) {
            case ValueKind::Boolean:
                WriteIniBool(row.target, section, key, flip);
                break;
            case ValueKind::Integer:
                WriteIniInteger(row.target, section, key, flip ? "8" : "16");
                break;
            case ValueKind::FloatText:
                WriteIniString(row.target, section, key, flip ? "0.500000" : "0.250000");
                break;
            case ValueKind::MovieText:
                WriteIniString(row.target, section, key, flip ? "" : "UE3_logo");
                break;
            }
        }
    };
    // Untimed: from the generated values to this benchmark's, so that every timed save
    // changes every key, and the game files written just now count as settled.
    save(false);
    const filestore::probe::Counts countsBefore = filestore::probe::counts();
    bool flip = false;
    for (auto _ : state)
        save(flip = !flip);
    const filestore::probe::Counts cost = filestore::probe::counts() - countsBefore;
    filestore::probe::simulate({});
    const auto perSave = [&](std::uint64_t count) {
        return benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
    };
    state.counters["flushes"] = perSave(cost.flushes);
    state.counters["renames"] = perSave(cost.renames);
    state.counters["stats"] = perSave(cost.stats);
    state.counters["settle_waits"] = perSave(cost.settleWaits);
    if (ReadIniString(EngineIni, "SystemSettings", "ShadowTexelsPerPixel") !=
            (flip ? "0.500000" : "0.250000") ||
        messages != before)
        state.SkipWithError("the saved values did not arrive");
}

void saveAll(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {});
}

// A hard disk or a network share, where a flush costs 10 ms more than here.
void saveAllSlowFlushes(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {.extraFlushTime = std::chrono::milliseconds(10)});
}

// A file system that sets a written file's time when its handle closes, as Windows' do.
void saveAllTimesAtClose(benchmark::State& state, BenchHome& home, const int& messages) {
    saveAllOn(state, home, messages, {.timesSetAtClose = true});
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
    add(kSaveAllTimesAtClose, saveAllTimesAtClose);
    // Most of a second each: fewer runs.
    add(kSaveAllSlowFlushes, saveAllSlowFlushes, 5);
}
