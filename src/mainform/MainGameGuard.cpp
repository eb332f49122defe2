#include "mainform/MainForm.h"

#include "ui/UserDialogs.h"

bool TMainform::proceedDespiteRunningGame() {
    if (!m_gameRunning())
        return true;
    return m_dialogs.warn(QStringLiteral("UT3 is running. When it quits, the game writes its settings files "
                                         "again and undoes this.\r\nPlease quit the game first, or press OK "
                                         "to go on anyway.")) == kConfirmOk;
}
