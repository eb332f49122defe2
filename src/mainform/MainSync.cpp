#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

bool TMainform::LoadfromIni() {
    return !showWalkError(settingsync::loadFromGameFiles(*m_values, m_stoppedLoad));
}

void TMainform::BtnLoadIniClick() {
    if (!confirmed(QStringLiteral("Load settings from INIs? Unsaved settings will be lost!")))
        return;
    if (LoadfromIni())
        m_dialogs.showMessage(QStringLiteral("Settings were loaded from Ini Files."));
}

void TMainform::BtnSaveClick() {
    if (!proceedDespiteRunningGame())
        return;
    if (!confirmed(QStringLiteral("Save this Settings? Existing Tweaks will be overwritten!")))
        return;
    if (showWalkError(settingsync::saveToGameFiles(*m_values, m_stoppedLoad)))
        return;
    m_dialogs.showMessage(QStringLiteral("Settings were saved to Ini Files."));
    // The settings a stopped load never read were left as the files have them: say so.
    if (const std::string notice = m_stoppedLoad.unsavedNotice(); !notice.empty())
        m_dialogs.showMessage(fromMessageText(notice));
}
