#pragma once

#include <string_view>

// Whether the game runs for this user right now. The game keeps its settings in memory
// and writes its INI files again when it quits, undoing whatever was written meanwhile.
namespace gameprocess {

// The game's executable, as the system names its process.
inline constexpr std::string_view kGameExecutable = "UT3.exe";

// True when a process of the game runs for this user; one that has ended but is still
// listed (not yet collected by its parent) does not run. A look that fails (no process
// list, no rights) answers false.
bool isGameRunning();

// True when `name`, a process name or a command's first argument, ends in the game's
// executable: its last part after '/' or '\', compared without regard to case.
bool namesGameExecutable(std::string_view name);

} // namespace gameprocess
