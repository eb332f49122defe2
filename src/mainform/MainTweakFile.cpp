// Export of all settings into Knobwerk.ini beside the program, and import of such a
// file, so that players can pass their tweaks to one another.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QFileInfo>

void TMainform::BtnExportClick() {
    switch (settingsync::exportToTweakFile(*m_values, m_stoppedLoad)) {
    case settingsync::ExportOutcome::Unsettled:
        m_dialogs.showMessage(fromMessageText(m_stoppedLoad.exportRefusal()));
        return;
    case settingsync::ExportOutcome::FileWentMissing:
        return; // it lacks keys: that is no success
    case settingsync::ExportOutcome::Written:
        break;
    }
    m_dialogs.showMessage(QStringLiteral("Settings were saved to Knobwerk.ini.\r\n"
                                         "You can share it with other people if you like,\r\n"
                                         "it only contains the tweak-settings. You can find\r\n"
                                         "it where your Knobwerk.exe is located."));
}

void TMainform::BtnImportClick() {
    const std::optional<QString> chosen = m_dialogs.chooseFileToOpen(QStringLiteral("Knobwerk.ini"));
    if (!chosen) {
        m_dialogs.showMessage(QStringLiteral("You have to choose a valid File!"));
        return;
    }
    const settingsync::TweakFileCheck check = settingsync::chooseTweakFile(toPathText(*chosen));
    if (check == settingsync::TweakFileCheck::NotFound) {
        m_dialogs.showMessage(QStringLiteral("File could not be found."));
        return;
    }
    if (check == settingsync::TweakFileCheck::NotATweakFile) {
        m_dialogs.showMessage(QStringLiteral("Not a valid Tweaksettings-File."));
        return;
    }
    const settingsync::ImportOutcome outcome = settingsync::importTweakFile(*m_values, m_stoppedLoad);
    if (outcome.fileWentMissing)
        return;
    if (outcome.error) {
        // Stopped part-way: show why, then mark what now differs.
        m_runner.run([&] { std::rethrow_exception(outcome.error); });
    } else {
        m_dialogs.showMessage(
            QStringLiteral("Settings were loaded from \"%1\".").arg(QFileInfo(*chosen).fileName()));
    }
    CycleAllChanges();
}
