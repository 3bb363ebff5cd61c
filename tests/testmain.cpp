// Test entry point: every test binary runs inside a QApplication so that widget tests
// can create real windows on the offscreen platform.
#include "skin/offscreenfonts.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // The tests read the program's English texts and the C library's plain number formats,
    // whatever language the desktop they run on speaks (many users run a Chinese one). A test
    // that needs another language or locale applies it itself.
    qputenv("LC_ALL", "C.UTF-8");
    qputenv("LANG", "C.UTF-8");
    qunsetenv("LANGUAGE");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    UseWindowsFontsOffscreen();
    QApplication app(argc, argv);
    // Qt's own settings (the colour chooser's custom colours) go to a test location.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
