// The logind power requests end to end, against fake login1 and session-manager services on a
// private bus. Nothing here can reach the machine's own buses: the daemon is the test's own,
// and every test first checks that the program's system bus is that daemon.
#include "app/platform/power_logind.h"

#include <gtest/gtest.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "app/platform/qt_backend.h"
#include "common/kvcmn15.h"
#include "private_bus.h"
#include "qt_printers.h"

namespace vornel {
namespace {

using test::PrivateBus;

// Started before any test touches D-Bus, for every test of this executable.
class PrivateBusEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        bus = std::make_unique<PrivateBus>();
        ok = bus->start();
    }
    void TearDown() override { bus.reset(); }
    std::unique_ptr<PrivateBus> bus;
    bool ok = false;
};

auto* const gBus = static_cast<PrivateBusEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new PrivateBusEnvironment));

class FakeLogindManager : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
  public:
    FakeLogindManager(QObject* parent, QStringList* calls)
        : QDBusAbstractAdaptor(parent), calls_(calls) {}
  public slots:
    void PowerOff(bool interactive) {
        calls_->append(QStringLiteral("login1.PowerOff(%1)").arg(interactive ? "true" : "false"));
    }
    void Reboot(bool interactive) {
        calls_->append(QStringLiteral("login1.Reboot(%1)").arg(interactive ? "true" : "false"));
    }

  private:
    QStringList* calls_;
};

class FakeLogindSession : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
  public:
    FakeLogindSession(QObject* parent, QStringList* calls)
        : QDBusAbstractAdaptor(parent), calls_(calls) {}
  public slots:
    void Terminate() { calls_->append(QStringLiteral("login1.Session.Terminate")); }

  private:
    QStringList* calls_;
};

class FakeKdeShutdown : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.Shutdown")
  public:
    FakeKdeShutdown(QObject* parent, QStringList* calls, QDBusConnection* bus)
        : QDBusAbstractAdaptor(parent), calls_(calls), bus_(bus) {}
    bool refuse = false;
  public slots:
    void logout(const QDBusMessage& message) {
        calls_->append(QStringLiteral("kde.logout"));
        if (refuse) {
            message.setDelayedReply(true);
            bus_->send(message.createErrorReply(QDBusError::AccessDenied, QStringLiteral("no")));
        }
    }

  private:
    QStringList* calls_;
    QDBusConnection* bus_;
};

class FakeGnomeSessionManager : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.SessionManager")
  public:
    FakeGnomeSessionManager(QObject* parent, QStringList* calls)
        : QDBusAbstractAdaptor(parent), calls_(calls) {}
  public slots:
    void Logout(uint mode) { calls_->append(QStringLiteral("gnome.Logout(%1)").arg(mode)); }

  private:
    QStringList* calls_;
};

const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kKde = QStringLiteral("org.kde.Shutdown");
const QString kGnome = QStringLiteral("org.gnome.SessionManager");
const QString kFakes = QStringLiteral("vornel-test-fake-services");

class PowerLogindTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gBus->ok) << gBus->bus->error().toStdString();
        fakes = QDBusConnection::connectToBus(gBus->bus->address(), kFakes);
        ASSERT_TRUE(fakes.isConnected());
        new FakeLogindManager(&manager, &calls);
        new FakeLogindSession(&session, &calls);
        kdeAdaptor = new FakeKdeShutdown(&kde, &calls, &fakes);
        new FakeGnomeSessionManager(&gnome, &calls);
        ASSERT_TRUE(fakes.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager));
        ASSERT_TRUE(
            fakes.registerObject(QStringLiteral("/org/freedesktop/login1/session/auto"), &session));
        ASSERT_TRUE(fakes.registerObject(QStringLiteral("/Shutdown"), &kde));
        ASSERT_TRUE(fakes.registerObject(QStringLiteral("/org/gnome/SessionManager"), &gnome));
        ASSERT_TRUE(fakes.registerService(kLogind));
        // Both buses the program uses must lead to the private daemon, where login1 is ours.
        for (QDBusConnection bus : {QDBusConnection::systemBus(), QDBusConnection::sessionBus()}) {
            ASSERT_TRUE(bus.isConnected());
            ASSERT_EQ(bus.interface()->serviceOwner(kLogind).value(), fakes.baseService());
        }
    }
    void TearDown() override {
        fakes.unregisterService(kLogind);
        fakes.unregisterService(kKde);
        fakes.unregisterService(kGnome);
        fakes.unregisterObject(QStringLiteral("/org/freedesktop/login1"),
                               QDBusConnection::UnregisterTree);
        fakes.unregisterObject(QStringLiteral("/Shutdown"));
        fakes.unregisterObject(QStringLiteral("/org/gnome/SessionManager"));
        QDBusConnection::disconnectFromBus(kFakes);
    }

    // Makes the request and waits for its last answer.
    void requestAndSettle(PowerRequest request) {
        QSignalSpy settled(&power, &LogindPower::requestSettled);
        const qsizetype before = calls.size();
        power.request(request);
        // The request is on its way but nobody has acted on it yet: the call did not wait.
        EXPECT_EQ(calls.size(), before);
        ASSERT_TRUE(settled.wait(10000));
    }

    QStringList calls;
    QDBusConnection fakes{QString()};
    QObject manager, session, kde, gnome;
    FakeKdeShutdown* kdeAdaptor = nullptr;
    LogindPower power;
};

TEST_F(PowerLogindTest, ShutDownAsksLogindToPowerOffInteractively) {
    requestAndSettle(PowerRequest::Shutdown);
    requestAndSettle(PowerRequest::PowerOff);
    EXPECT_EQ(calls, QStringList({"login1.PowerOff(true)", "login1.PowerOff(true)"}));
}

TEST_F(PowerLogindTest, RestartAsksLogindToRebootInteractively) {
    requestAndSettle(PowerRequest::Reboot);
    EXPECT_EQ(calls, QStringList({"login1.Reboot(true)"}));
}

TEST_F(PowerLogindTest, LogOffAsksKdeFirst) {
    ASSERT_TRUE(fakes.registerService(kKde));
    ASSERT_TRUE(fakes.registerService(kGnome));
    requestAndSettle(PowerRequest::LogOff);
    EXPECT_EQ(calls, QStringList({"kde.logout"}));
}

TEST_F(PowerLogindTest, LogOffAsksGnomeWithoutKde) {
    ASSERT_TRUE(fakes.registerService(kGnome));
    requestAndSettle(PowerRequest::LogOff);
    EXPECT_EQ(calls, QStringList({"gnome.Logout(1)"}));
}

TEST_F(PowerLogindTest, LogOffEndsTheSessionThroughLogindWithoutASessionManager) {
    requestAndSettle(PowerRequest::LogOff);
    EXPECT_EQ(calls, QStringList({"login1.Session.Terminate"}));
}

TEST_F(PowerLogindTest, ASessionManagerThatRefusesIsNotOverruled) {
    ASSERT_TRUE(fakes.registerService(kKde));
    kdeAdaptor->refuse = true;
    requestAndSettle(PowerRequest::LogOff);
    EXPECT_EQ(calls, QStringList({"kde.logout"}));
}

TEST_F(PowerLogindTest, ExitWindowsReachesLogindThroughTheQtBackend) {
    QtBackend backend;
    backend.powerRequester = [this](PowerRequest r) { power.request(r); };
    KvCmn15 k(backend);
    QSignalSpy settled(&power, &LogindPower::requestSettled);
    k.ExitWindows(k.ExwShutdown);
    k.ExitWindows(k.ExwReboot);
    k.ExitWindows(3);
    EXPECT_TRUE(calls.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return settled.count() == 2; }, 10000));
    EXPECT_EQ(calls, QStringList({"login1.PowerOff(true)", "login1.Reboot(true)"}));
}

}  // namespace
}  // namespace vornel

#include "power_logind_test.moc"
