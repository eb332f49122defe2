// The game keeps its settings in memory and writes its INI files again when it quits:
// whatever was written into them while it ran is then undone. Save and restore warn
// before they change the game files under a running game.
#include "mainform/MainForm.h"

#include "ui/UserDialogs.h"

bool TMainform::proceedDespiteRunningGame() {
    if (!m_gameRunning())
        return true;
    return m_dialogs.warn(QStringLiteral("UT3 is running. When it quits, the game writes its settings files "
                                         "again and undoes this.\r\nPlease quit the game first, or press OK "
                                         "to go on anyway.")) == kConfirmOk;
}
