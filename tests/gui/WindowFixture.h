#pragma once

#include "FakeDialogs.h"
#include "IniHostFixture.h"
#include "SampleGameFiles.h"
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
    // `text` of the game file `target` as a save of `form`'s values leaves it: each
    // catalogue key written through the value codecs and the INI rules, nothing else.
    static std::string asSaved(const TMainform& form, IniTarget target, std::string text);

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
