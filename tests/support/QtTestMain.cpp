// Runs GoogleTest inside a QApplication (offscreen in the test runs).
#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);  // dialogs remember folders elsewhere than the user's settings
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
