#pragma once

#include <string>

// The three game files, in the order of their IniTargets (EngineIni, GameIni, InputIni).
inline const char* const kGameFiles[] = {"UTEngine.ini", "UTGame.ini", "UTInput.ini"};

// Sample game files with every catalogue key, in the game's own style.
extern const std::string kSampleEngineIni;
extern const std::string kSampleGameIni;
extern const std::string kSampleInputIni;

// The sample engine file, or one built on it, as a save of the values it loads leaves it:
// the four lines whose text the load normalises come back in the program's own form.
std::string asSavedSampleEngine(std::string engine);

// Every catalogue key of UTEngine.ini and of UTGame.ini, as a save appends them to a file
// that holds none of them, with the values a load of such a file shows.
extern const std::string kEngineKeysWithDefaults;
extern const std::string kGameKeysWithDefaults;

// The game files bundled for the demo (data/), byte for byte.
extern const std::string kBundledEngineIni;
extern const std::string kBundledGameIni;
extern const std::string kBundledInputIni;

// `text` with the first `from` replaced by `to`; a test fails when `from` is not there.
std::string replaced(std::string text, const std::string& from, const std::string& to);
