#pragma once

#include "FakeDialogs.h"
#include "IniHostFixture.h"
#include "SampleGameFiles.h"
#include "mainform/MainForm.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

// Every setting control's value by name: "checked" or "unchecked", or the field's text.
std::map<std::string, std::string> windowValues(const TMainform& form);

// A main window on Qt's offscreen platform, with its documents folder and program
// folder in a fresh temporary folder and every box answered by FakeDialogs.
class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates the window (running its start-up) and forgets what start-up showed.
    TMainform& open();
    TMainform& form() { return *m_form; }

    std::filesystem::path documents() const { return m_host.documents(); }
    std::filesystem::path programFolder() const { return m_host.programFolder(); }
    std::filesystem::path configFolder() const { return m_host.configFolder(); }
    std::filesystem::path gameFile(const std::string& name) const { return m_host.gameFile(name); }
    std::filesystem::path tweakFile() const { return m_host.tweakFile(); }

    // From now on the host answers `folder` when asked for the documents folder.
    void answerDocumentsFolder(const std::filesystem::path& folder) { m_host.documentsAnswer = folder; }

    // Writes the sample game files that every window test starts from.
    void writeSampleGameFiles() { m_host.writeSampleGameFiles(); }

    QCheckBox* box(const char* name) const { return m_form->control<QCheckBox>(QLatin1String(name)); }
    QLineEdit* field(const char* name) const { return m_form->control<QLineEdit>(QLatin1String(name)); }
    bool bold(const char* name) const { return box(name)->font().bold(); }
    std::string missingMessage(const std::string& file) const;
    std::map<std::string, std::string> windowValues() const { return ::windowValues(*m_form); }

    FakeDialogs dialogs;
    // What the window is told when it asks whether the game runs.
    bool gameRunning = false;
    GameCheck gameCheck() {
        return [this] { return gameRunning; };
    }

private:
    // The window starts the INI layer itself; its messages are the window's boxes.
    ScopedIniHost m_host;
    std::unique_ptr<TMainform> m_form;
};

// A window tests start from: opened on the sample game files.
class OpenWindowTest : public WindowTest {
protected:
    void SetUp() override { open(); }
};
