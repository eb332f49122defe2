#pragma once

#include <string>

// Sample game files with every catalogue key, in the game's own style.
extern const std::string kSampleEngineIni;
extern const std::string kSampleGameIni;
extern const std::string kSampleInputIni;

// The game files bundled for the demo (data/), byte for byte.
extern const std::string kBundledEngineIni;
extern const std::string kBundledGameIni;
extern const std::string kBundledInputIni;

// `text` with the first `from` replaced by `to`; a test fails when `from` is not there.
std::string replaced(std::string text, const std::string& from, const std::string& to);
