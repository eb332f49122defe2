// Export of all settings into Knobwerk.ini beside the program, and import of such a
// file, so that players can pass their tweaks to one another.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

#include <QFileInfo>

void TMainform::BtnExportClick() {
    const WalkResult exported = settingsync::exportToTweakFile(*m_values, m_stoppedLoad);
    if (!exported.refusal.empty()) {
        m_dialogs.showMessage(fromMessageText(exported.refusal));
        return;
    }
    // A file that went missing on the way lacks keys: that is no success.
    if (showWalkError(exported) || exported.fileWentMissing)
        return;
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
    const WalkResult imported = settingsync::importTweakFile(*m_values, m_stoppedLoad);
    if (imported.fileWentMissing)
        return;
    // Stopped part-way: show why, then mark what now differs.
    if (!showWalkError(imported))
        m_dialogs.showMessage(
            QStringLiteral("Settings were loaded from \"%1\".").arg(QFileInfo(*chosen).fileName()));
    CycleAllChanges();
}
