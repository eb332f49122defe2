#pragma once

#include "TempFolder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Points the INI access layer at a temporary documents folder and program folder and
// records the message boxes it shows instead of showing them.
class ScopedIniHost {
public:
    // Messages go to `messages`, or to `showMessage` when one is given. With `start`,
    // the layer starts up at once (InitIniDigest), as the program does.
    explicit ScopedIniHost(std::function<void(const std::string&)> showMessage = {}, bool start = true);
    ~ScopedIniHost();

    std::filesystem::path documents() const { return m_root.path() / "Documents"; }
    std::filesystem::path programFolder() const { return m_root.path() / "program"; }
    std::filesystem::path configFolder() const;
    std::filesystem::path gameFile(const std::string& name) const { return configFolder() / name; }
    std::filesystem::path tweakFile() const { return programFolder() / "Knobwerk.ini"; }
    // Writes the sample game files into the configuration folder.
    void writeSampleGameFiles() const;

    // What the host answers when asked for the documents folder (documents() unless set).
    std::filesystem::path documentsAnswer;

    std::vector<std::string> messages;
    std::string timestamp = "07.12.2026, 10:31:05";

private:
    TempFolder m_root;
};
