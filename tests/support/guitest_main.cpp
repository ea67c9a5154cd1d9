#include <QApplication>

#include <gtest/gtest.h>

// One QApplication for every window test, offscreen unless the caller chose a platform. Chosen
// here rather than by the test's environment: Wine does not pass QT_QPA_PLATFORM to a Windows
// program.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
