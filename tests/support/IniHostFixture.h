#pragma once

#include "TempFolder.h"

#include <filesystem>
#include <string>
#include <vector>

// Points the INI access layer at a temporary documents folder and program folder and
// records the message boxes it shows instead of showing them.
class ScopedIniHost {
public:
    ScopedIniHost();
    ~ScopedIniHost();

    std::filesystem::path documents() const { return m_root.path() / "Documents"; }
    std::filesystem::path programFolder() const { return m_root.path() / "program"; }
    std::filesystem::path configFolder() const;
    std::filesystem::path gameFile(const std::string& name) const { return configFolder() / name; }
    std::filesystem::path tweakFile() const { return programFolder() / "Knobwerk.ini"; }

    std::vector<std::string> messages;
    std::string timestamp = "07.12.2026, 10:31:05";

private:
    TempFolder m_root;
};
