// Start-up helper: the smallest Qt Widgets program with one empty window of the
// program's size. The baseline the program's start-up is measured against.
// Usage: knobwerk_bench_minimal READY_FD
#include "ReadySignal.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s READY_FD\n", argv[0]);
        return 64;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(857, 700);
    window.show();
    QCoreApplication::processEvents();
    signalReady(argv[1]);
    return 0;
}
