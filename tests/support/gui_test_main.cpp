// main() of the widget tests: one QApplication for the whole executable.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // The build lists the tests by running the executable, without CTest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
