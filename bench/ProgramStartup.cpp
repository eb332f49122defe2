// Start-up helper: the program's own start-up (as app/main.cpp does it) up to the filled,
// shown window, on the game files in the given folders.
// Usage: knobwerk_bench_program READY_FD DOCUMENTS PROGRAM_FOLDER
#include "GameFiles.h"
#include "QuietDialogs.h"
#include "ReadySignal.h"
#include "mainform/MainForm.h"
#include "platform/GameProcess.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s READY_FD DOCUMENTS PROGRAM_FOLDER\n", argv[0]);
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietDialogs dialogs;
    useFolders(argv[2], argv[3], nullptr);
    TMainform form(dialogs, gameprocess::isGameRunning);
    form.show();
    QCoreApplication::processEvents();
    signalReady(argv[1]);
    return dialogs.shown == 0 ? 0 : 2;
}
