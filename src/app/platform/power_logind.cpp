#include "app/platform/power_logind.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace vornel {
namespace {

const QString kLogind = QStringLiteral("org.freedesktop.login1");

QDBusMessage logindManagerCall(const QString& method, bool interactive) {
    QDBusMessage m =
        QDBusMessage::createMethodCall(kLogind, QStringLiteral("/org/freedesktop/login1"),
                                       QStringLiteral("org.freedesktop.login1.Manager"), method);
    m << interactive;
    return m;
}

// No such session manager on this desktop (or no session bus at all): try the next one.
bool absent(const QDBusError& e) {
    return e.type() == QDBusError::ServiceUnknown || e.type() == QDBusError::Disconnected;
}

}  // namespace

std::unique_ptr<PowerActions> createPowerActions() { return std::make_unique<LogindPower>(); }

LogindPower::LogindPower(QObject* parent) : QObject(parent) {}

void LogindPower::request(PowerRequest request) {
    switch (request) {
        case PowerRequest::LogOff:
            logOffKde();
            break;
        // Linux has no halt-without-power-off a desktop user would want.
        case PowerRequest::Shutdown:
        case PowerRequest::PowerOff:
            send(QDBusConnection::systemBus(), logindManagerCall(QStringLiteral("PowerOff"), true),
                 nullptr);
            break;
        case PowerRequest::Reboot:
            send(QDBusConnection::systemBus(), logindManagerCall(QStringLiteral("Reboot"), true),
                 nullptr);
            break;
    }
}

void LogindPower::send(QDBusConnection bus, const QDBusMessage& call,
                       std::function<void(const QDBusError&)> onError) {
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    ++pending_;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, onError = std::move(onError)](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                // A fallback sends its own call before this one counts as answered.
                if (w->isError() && onError) {
                    onError(w->error());
                } else {
                    emit requestSettled();
                }
                --pending_;
            });
}

void LogindPower::finishPending(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (pending_ > 0 && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void LogindPower::logOffKde() {
    send(QDBusConnection::sessionBus(),
         QDBusMessage::createMethodCall(
             QStringLiteral("org.kde.Shutdown"), QStringLiteral("/Shutdown"),
             QStringLiteral("org.kde.Shutdown"), QStringLiteral("logout")),
         [this](const QDBusError& e) {
             if (absent(e))
                 logOffGnome();
             else
                 emit requestSettled();
         });
}

void LogindPower::logOffGnome() {
    QDBusMessage m = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.SessionManager"), QStringLiteral("/org/gnome/SessionManager"),
        QStringLiteral("org.gnome.SessionManager"), QStringLiteral("Logout"));
    m << 1u;  // without a confirmation dialog, but not forced
    send(QDBusConnection::sessionBus(), m, [this](const QDBusError& e) {
        if (absent(e))
            logOffLogind();
        else
            emit requestSettled();
    });
}

void LogindPower::logOffLogind() {
    send(QDBusConnection::systemBus(),
         QDBusMessage::createMethodCall(
             kLogind, QStringLiteral("/org/freedesktop/login1/session/auto"),
             QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Terminate")),
         [this](const QDBusError&) { emit requestSettled(); });
}

}  // namespace vornel
