#pragma once

#include "GameFiles.h"

#include <string>
#include <vector>

// Benchmark names, shared by the registrations and the summary table.
inline constexpr const char* kReadOneKey = "read_one_key";
inline constexpr const char* kWriteOneKey = "write_one_key";
inline constexpr const char* kLoadAndWalk = "load_74_and_marking_walk_46";
inline constexpr const char* kSaveAll = "save_74";
inline constexpr const char* kSaveAllSlowFlushes = "save_74_flushes_10ms_slower";
inline constexpr const char* kSaveAllTimesAtClose = "save_74_times_set_at_close";
inline constexpr const char* kSaveAllLargeEngine = "save_74_engine_ini_7mib";
inline constexpr const char* kSaveAllInPlace = "save_74_in_place";
inline constexpr const char* kWriteFloor = "floor_three_files_written_once";
inline constexpr const char* kWriteFloorSlowFlushes = "floor_three_files_flushes_10ms_slower";
inline constexpr const char* kProgramWindow = "window_program";
inline constexpr const char* kMinimalWindow = "window_minimal";
inline constexpr const char* kGameRunningCheck = "game_running_check_500_processes";

// The INI access layer on generated game files in `home`; `messages` counts message boxes.
void registerIniBenchmarks(BenchHome& home, const int& messages);

// Building, showing and painting the program's window, and an empty one, in this process.
void registerWindowBenchmarks(BenchHome& home);

// The check for a running game, among about 500 processes.
void registerGameProcessBenchmark();

// A start-up helper run as its own process, from launch to its ready signal.
struct ProcessStartup {
    double medianMs = 0;
    long medianPeakKiB = 0; // peak resident memory of the helper process
    int runs = 0;
    int failures = 0; // runs that exited unsuccessfully or never signalled
};

// `command` without the ready descriptor, which is inserted as the first argument.
// Several commands are measured in turns, so that they share the machine's moods.
std::vector<ProcessStartup> measureProcessStartups(const std::vector<std::vector<std::string>>& commands,
                                                   int runs);
