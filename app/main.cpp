// Knobwerk: edits the engine, game and input settings of the game's per-user INI files.
#include "inidigest/IniLayer.h"
#include "mainform/MainForm.h"
#include "platform/GameProcess.h"
#include "ui/QtIniHost.h"
#include "ui/QtUserDialogs.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QtUserDialogs dialogs;
    ResetIniLayer(makeDesktopIniHost(dialogs));
    TMainform Mainform(dialogs, gameprocess::isGameRunning);
    dialogs.setOwner(&Mainform);
    Mainform.show();
    return app.exec();
}
