#pragma once

#include "sync/WalkResult.h"

#include <string>

// One spare copy of the three game files, with ".bak" appended, and the way back. Both
// are all or nothing: every new copy is written beside its target before the first
// target is replaced. A failure is the result's error, in the text the player sees.
namespace gamebackup {

// Game files to their ".bak" files. A game file that cannot be read gives "Cannot open
// file", a backup that cannot be written "Cannot create file".
WalkResult backupGameFiles();

// The ".bak" files back over the game files. Failures give the system's error.
WalkResult restoreGameFiles();

// Copies a whole file over `target`; throws IniError ("Cannot open file" / "Cannot
// create file").
void copyWholeFile(const std::string& source, const std::string& target);

} // namespace gamebackup
