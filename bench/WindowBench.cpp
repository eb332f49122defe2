// The window built, shown and painted in a running application: the program's window
// with its start-up (layout, wiring, loading all settings) against an empty window.
#include "Benchmarks.h"

#include "QuietDialogs.h"
#include "mainform/MainForm.h"
#include "platform/GameProcess.h"

#include <QCoreApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void programWindow(benchmark::State& state, BenchHome& home) {
    home.writeGameFiles();
    QuietDialogs dialogs;
    for (auto _ : state) {
        auto form = std::make_unique<TMainform>(dialogs, gameprocess::isGameRunning);
        form->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    if (dialogs.shown != 0)
        state.SkipWithError("start-up showed a box");
}

void minimalWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = std::make_unique<QWidget>();
        window->setFixedSize(857, 700);
        window->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

} // namespace

void registerWindowBenchmarks(BenchHome& home) {
    benchmark::RegisterBenchmark(kProgramWindow,
                                 [&home](benchmark::State& state) { programWindow(state, home); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(kMinimalWindow, minimalWindow)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(0.3)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
}
