// main() of the widget tests: one QApplication for the whole executable.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    // Widget tests run without a display, also when started by hand or listed by CTest.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Both D-Bus addresses lead nowhere, so no widget test can reach the machine's real buses
    // (a power request on the system bus would shut the machine down). A test that needs a
    // bus starts its own daemon and points the addresses at it before its first use.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/vornel-test-no-system-bus");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/vornel-test-no-session-bus");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
