#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

#ifdef PLOTVANE_TEST_GUI
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#endif

int main(int argc, char** argv)
{
    // Tests never need a display, and a QGuiApplication without one aborts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Keep the user's profile out of reach: every test run gets its own settings file.
    QTemporaryDir profileDir;
    if (qEnvironmentVariableIsEmpty("PLOTVANE_PROFILE"))
        qputenv("PLOTVANE_PROFILE", QDir(profileDir.path()).filePath("plotvane.ini").toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
