#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace vornel::test {

// A dbus-daemon of the test's own, serving as both the system and the session bus, so that
// nothing a test sends over D-Bus can reach the machine's real buses. start() must run before
// the first use of QDBusConnection::systemBus() or sessionBus(): Qt keeps those connections.
class PrivateBus {
  public:
    PrivateBus() = default;
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Starts the daemon and points DBUS_SYSTEM_BUS_ADDRESS and DBUS_SESSION_BUS_ADDRESS at
    // it. False (with the reason in error()) when the daemon cannot be started.
    bool start();
    const QString& address() const { return address_; }
    const QString& error() const { return error_; }

  private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
    QString error_;
};

}  // namespace vornel::test
