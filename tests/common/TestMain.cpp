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
    // Test data and examples are found from the source tree, under ctest or run by hand.
    if (qEnvironmentVariableIsEmpty("PLOTVANE_SOURCE_DIR"))
        qputenv("PLOTVANE_SOURCE_DIR", PLOTVANE_SOURCE_TREE);
    if (qEnvironmentVariableIsEmpty("PLOTVANE_TESTDATA"))
        qputenv("PLOTVANE_TESTDATA", PLOTVANE_SOURCE_TREE "/tests/data");
    // Keep the user's profile out of reach: every test run gets its own settings file.
    QTemporaryDir profileDir;
    if (qEnvironmentVariableIsEmpty("PLOTVANE_PROFILE"))
        qputenv("PLOTVANE_PROFILE", QDir(profileDir.path()).filePath("plotvane.ini").toLocal8Bit());
    QStandardPaths::setTestModeEnabled(true);
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
