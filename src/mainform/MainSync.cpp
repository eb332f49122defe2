// Moving the settings between the window and the game files.
#include "mainform/MainForm.h"

#include "sync/SettingsSync.h"
#include "ui/UserDialogs.h"

void TMainform::LoadfromIni() {
    settingsync::loadFromGameFiles(*m_values, m_stoppedLoad);
}

void TMainform::BtnLoadIniClick() {
    if (!confirmed(QStringLiteral("Load settings from INIs? Unsaved settings will be lost!")))
        return;
    LoadfromIni();
    m_dialogs.showMessage(QStringLiteral("Settings were loaded from Ini Files."));
}

void TMainform::BtnSaveClick() {
    // After a load that stopped, some rows hold values no game file gave them: refused
    // before the question, since no answer could make this save write the player's values.
    m_stoppedLoad.requireSettled();
    if (!confirmed(QStringLiteral("Save this Settings? Existing Tweaks will be overwritten!")))
        return;
    settingsync::saveToGameFiles(*m_values);
    m_dialogs.showMessage(QStringLiteral("Settings were saved to Ini Files."));
}
