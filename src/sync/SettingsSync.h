#pragma once

#include "sync/SettingValues.h"
#include "sync/StoppedLoad.h"
#include "sync/WalkResult.h"

#include <functional>
#include <string>
#include <string_view>

// The operations that move the settings between the window's values and the files, row
// by row through the settings catalogue. Each runs to its end or stops at its first
// error; what was done before the error stays done.
namespace settingsync {

// Fills every setting from the game files. A value that does not convert stops the load
// there; `stopped` then remembers the rows it did not get to.
WalkResult loadFromGameFiles(SettingValues& values, StoppedLoad& stopped);

// Writes every setting into the game files, except those a stopped load never read (the
// files keep their own values for them: no value the player never saw is written). A
// field that is no integer, a file that cannot be written, or a file the writes would
// grow past the size limit, is refused before the first key is written.
WalkResult saveToGameFiles(const SettingValues& values, const StoppedLoad& stopped);

// Writes the version mark and every setting into the tweak-settings file. A file that
// others import must be whole: nothing is written while a stopped load left unknown a
// setting the import reads; the movie row, which it does not read, is then left out.
WalkResult exportToTweakFile(const SettingValues& values, const StoppedLoad& stopped);

// Whether a check box differs from the value its game file holds now.
bool differsFromGameFile(const SettingValues& values, std::string_view box);

// Sets every check box, then every edit field, to preset `index` (0 to 3). An error of a
// box's marking does not stop the preset half-way: the first is the result's error.
WalkResult applyPreset(SettingValues& values, int index, StoppedLoad& stopped);

// Marks each check box, in the marking walk's order, by whether it differs from its game
// file; a box whose game value does not convert keeps its mark.
WalkResult markChanges(const SettingValues& values,
                       const std::function<void(std::string_view box, bool differs)>& mark);

// Checks the file a player picked for an import and, when it is one, makes it the file
// the import reads (also when it then turns out to be no tweak-settings file).
enum class TweakFileCheck { Accepted, NotFound, NotATweakFile };
TweakFileCheck chooseTweakFile(const std::string& path);

// Reads the chosen tweak-settings file (all but the movie key) whole, then puts the
// values in; a file that went missing during the reads changes nothing.
WalkResult importTweakFile(SettingValues& values, StoppedLoad& stopped);

} // namespace settingsync
