#pragma once

#include "FakeDialogs.h"
#include "TempFolder.h"
#include "mainform/MainForm.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

// A main window on Qt's offscreen platform, with its documents folder and program
// folder in a fresh temporary folder and every box answered by FakeDialogs.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates the window (running its start-up) and forgets what start-up showed.
    TMainform& open();
    TMainform& form() { return *m_form; }

    std::filesystem::path documents() const { return m_root.path() / "Documents"; }
    std::filesystem::path programFolder() const { return m_root.path() / "program"; }
    std::filesystem::path configFolder() const;
    std::filesystem::path gameFile(const std::string& name) const { return configFolder() / name; }
    std::filesystem::path tweakFile() const { return programFolder() / "Knobwerk.ini"; }

    // Writes the sample game files that every window test starts from.
    void writeSampleGameFiles();

    QCheckBox* box(const char* name) const { return m_form->control<QCheckBox>(QLatin1String(name)); }
    QLineEdit* field(const char* name) const { return m_form->control<QLineEdit>(QLatin1String(name)); }
    bool bold(const char* name) const { return box(name)->font().bold(); }
    std::string missingMessage(const std::string& file) const;

    FakeDialogs dialogs;

private:
    TempFolder m_root;
    std::unique_ptr<TMainform> m_form;
};

// `text` with the first `from` replaced by `to`; a test fails when `from` is not there.
std::string replaced(std::string text, const std::string& from, const std::string& to);

// Sample game files with every catalogue key, in the game's own style.
extern const std::string kSampleEngineIni;
extern const std::string kSampleGameIni;
extern const std::string kSampleInputIni;
