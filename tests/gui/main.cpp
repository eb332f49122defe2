// The window tests run in one QApplication, on Qt's offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Where the offscreen platform finds no system fonts (Windows), it reads a font
    // folder. Wine hands no QT_* variable to the program, so the folder and the scale
    // factor come under names of the tests' own.
    if (qEnvironmentVariableIsSet("KNOBWERK_TEST_FONTDIR"))
        qputenv("QT_QPA_FONTDIR", qgetenv("KNOBWERK_TEST_FONTDIR"));
    if (qEnvironmentVariableIsSet("KNOBWERK_TEST_SCALE"))
        qputenv("QT_SCALE_FACTOR", qgetenv("KNOBWERK_TEST_SCALE"));
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
