// The logind power requests end to end, against fake login1 and session-manager services on a
// private bus. Nothing here can reach the machine's own buses: the daemon is the test's own,
// and every test first checks that the program's system bus is that daemon.
#include "app/platform/power_logind.h"

#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>

#include "app/platform/qt_backend.h"
#include "common/kvcmn15.h"
#include "qt_printers.h"

namespace vornel {
namespace {

// A dbus-daemon of the test's own serves as both the system and the session bus. It starts
// before any test touches D-Bus, because Qt keeps its first connection to each bus.
class PrivateBus : public ::testing::Environment {
  public:
    void SetUp() override {
        QFile config(dir.filePath(QStringLiteral("bus.conf")));
        if (!config.open(QIODevice::WriteOnly)) return;
        config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:path=%1</listen>"
                                    "<auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                    "<allow own=\"*\"/></policy></busconfig>")
                         .arg(dir.filePath(QStringLiteral("bus")))
                         .toUtf8());
        config.close();
        // The daemon goes when the test process goes, however it ends.
        daemon.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        daemon.start(
            QStringLiteral("dbus-daemon"),
            {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
             QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        while (!daemon.canReadLine() && daemon.waitForReadyRead(10000)) {
        }
        address = QString::fromUtf8(daemon.readLine()).trimmed();
        if (address.isEmpty()) return;
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address.toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    }
    void TearDown() override {
        daemon.terminate();
        if (!daemon.waitForFinished(5000)) daemon.kill();
        daemon.waitForFinished(5000);
    }
    QTemporaryDir dir;
    QProcess daemon;
    QString address;  // empty when the daemon did not start
};

auto* const gBus = static_cast<PrivateBus*>(::testing::AddGlobalTestEnvironment(new PrivateBus));

// Every service the program may call, at every path: records each call as
// "path interface.member(arguments)" and answers it, or refuses it when told to.
class FakeServices : public QDBusVirtualObject {
  public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        QStringList args;
        for (const QVariant& a : message.arguments()) args.append(a.toString());
        const QString call =
            QStringLiteral("%1 %2.%3(%4)")
                .arg(message.path(), message.interface(), message.member(), args.join(','));
        calls.append(call);
        connection.send(refuse.contains(call) ? message.createErrorReply(QDBusError::AccessDenied,
                                                                         QStringLiteral("no"))
                                              : message.createReply());
        return true;
    }
    QStringList calls;
    QStringList refuse;
};

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kKde = QStringLiteral("org.kde.Shutdown");
const QString kGnome = QStringLiteral("org.gnome.SessionManager");
const QString kFakes = QStringLiteral("vornel-test-fake-services");
const QString kPowerOff =
    QStringLiteral("/org/freedesktop/login1 org.freedesktop.login1.Manager.PowerOff(true)");
const QString kReboot =
    QStringLiteral("/org/freedesktop/login1 org.freedesktop.login1.Manager.Reboot(true)");
const QString kKdeLogout = QStringLiteral("/Shutdown org.kde.Shutdown.logout()");

class PowerLogindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(gBus->address.isEmpty())
            << "dbus-daemon did not start: " << gBus->daemon.errorString().toStdString()
            << gBus->daemon.readAllStandardError().toStdString();
        fakes = QDBusConnection::connectToBus(gBus->address, kFakes);
        ASSERT_TRUE(fakes.isConnected());
        ASSERT_TRUE(
            fakes.registerVirtualObject(QStringLiteral("/"), &services, QDBusConnection::SubPath));
        ASSERT_TRUE(fakes.registerService(kLogind));
        // Both buses the program uses must lead to the private daemon, where login1 is ours.
        for (QDBusConnection bus : {QDBusConnection::systemBus(), QDBusConnection::sessionBus()}) {
            ASSERT_TRUE(bus.isConnected());
            ASSERT_EQ(bus.interface()->serviceOwner(kLogind).value(), fakes.baseService());
        }
    }
    void TearDown() override {
        for (const QString& name : {kLogind, kKde, kGnome}) fakes.unregisterService(name);
        fakes.unregisterObject(QStringLiteral("/"), QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(kFakes);
    }

    // Makes the request and waits for its last answer.
    void requestAndSettle(PowerRequest request) {
        QSignalSpy settled(&power, &LogindPower::requestSettled);
        const qsizetype before = services.calls.size();
        power.request(request);
        // The request is on its way but nobody has acted on it yet: the call did not wait.
        EXPECT_EQ(services.calls.size(), before);
        ASSERT_TRUE(settled.wait(10000));
    }

    QDBusConnection fakes{QString()};
    FakeServices services;
    LogindPower power;
};

TEST_F(PowerLogindTest, ShutDownAndRestartAskLogindInteractively) {
    requestAndSettle(PowerRequest::Shutdown);
    requestAndSettle(PowerRequest::PowerOff);
    requestAndSettle(PowerRequest::Reboot);
    // Restart as the program asks for it: through the utility class and the Qt backend.
    QtBackend backend({nullptr, &power, {}});
    QSignalSpy settled(&power, &LogindPower::requestSettled);
    KvCmn15 k(backend);
    k.ExitWindows(k.ExwReboot);
    ASSERT_TRUE(settled.wait(10000));
    EXPECT_EQ(services.calls, QStringList({kPowerOff, kPowerOff, kReboot, kReboot}));
}

TEST_F(PowerLogindTest, LogOffAsksKdeThenGnomeThenEndsTheSessionThroughLogind) {
    // The session managers running, whether KDE refuses, the one call made. A session manager
    // that refuses is not overruled.
    const std::tuple<QStringList, bool, QString> cases[] = {
        {{kKde, kGnome}, false, kKdeLogout},
        {{kKde}, true, kKdeLogout},
        {{kGnome},
         false,
         QStringLiteral("/org/gnome/SessionManager org.gnome.SessionManager.Logout(1)")},
        {{},
         false,
         QStringLiteral(
             "/org/freedesktop/login1/session/auto org.freedesktop.login1.Session.Terminate()")},
    };
    for (const auto& [running, kdeRefuses, call] : cases) {
        SCOPED_TRACE(call.toStdString());
        for (const QString& name : running) ASSERT_TRUE(fakes.registerService(name));
        services.calls.clear();
        services.refuse = kdeRefuses ? QStringList{kKdeLogout} : QStringList{};
        requestAndSettle(PowerRequest::LogOff);
        EXPECT_EQ(services.calls, QStringList{call});
        for (const QString& name : running) fakes.unregisterService(name);
    }
}

}  // namespace
}  // namespace vornel
