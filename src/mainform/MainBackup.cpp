#include "mainform/MainForm.h"

#include "sync/GameFileBackup.h"
#include "ui/TextCodec.h"
#include "ui/UserDialogs.h"

void TMainform::xMoveFile(const QString& source, const QString& target) {
    gamebackup::copyWholeFile(toPathText(source), toPathText(target));
}

void TMainform::BtnBackupClick() {
    if (!confirmed(QStringLiteral("Older backups will be overwritten! Proceed?")))
        return;
    if (showWalkError(gamebackup::backupGameFiles()))
        return;
    m_dialogs.showMessage(
        QStringLiteral("Backups have been created. Please make sure, that they really EXIST! (_I_ "
                       "dont care if they are gone...)\r\nYou can find them in the config "
                       "directory with an \".bak\" extension at the end."));
}

void TMainform::BtnRestoreClick() {
    if (!proceedDespiteRunningGame())
        return;
    if (!confirmed(QStringLiteral("Old INIs will be restored from the backups. Proceed?")))
        return;
    if (showWalkError(gamebackup::restoreGameFiles()))
        return;
    m_dialogs.showMessage(QStringLiteral("Backups have been restored."));
}
