#pragma once

#include <functional>
#include <string>

// What one walk over the settings or the game files did, for the window to tell the
// player. A walk throws nothing: what stopped it is in `error`.
struct WalkResult {
    // Why the walk did nothing at all, for a plain message; empty when it ran.
    std::string refusal;
    // The INI layer found a file of the walk missing on the way and has reported it.
    bool fileWentMissing = false;
    // What stopped the walk, for the standard error box; empty when nothing did.
    std::string error;
};

// Runs a step of a walk that goes on past errors, keeping the first IniError.
void keepFirstError(WalkResult& result, const std::function<void()>& step);

// Runs a walk that stops at its first IniError, which becomes the result's error.
WalkResult walkUntilError(const std::function<void()>& walk);
