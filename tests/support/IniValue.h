#pragma once

#include <string>

// A key's value in INI text as the program's own INI rules read it; "<missing>" when absent.
std::string iniValue(const std::string& text, const std::string& section, const std::string& key);
