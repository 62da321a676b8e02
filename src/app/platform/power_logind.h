#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <functional>

#include "app/platform/power_actions.h"

namespace vornel {

// Power requests on a systemd desktop. Shutting down and restarting ask systemd-logind on the
// system bus, interactively, so inhibitors and the polkit policy have their say. Logging off
// asks the desktop's session manager (KDE, then GNOME) so open applications can save their
// work, and only when neither is running ends the session through logind.
class LogindPower : public QObject, public PowerActions {
    Q_OBJECT
  public:
    explicit LogindPower(QObject* parent = nullptr);
    void request(PowerRequest request) override;
    void finishPending(int timeoutMs) override;

  signals:
    // The last call a request made has been answered (or has failed); for observers only.
    void requestSettled();

  private:
    // Sends `call` without waiting; `onError` runs with the error when it fails.
    void send(QDBusConnection bus, const QDBusMessage& call,
              std::function<void(const QDBusError&)> onError);
    void logOffKde();
    void logOffGnome();
    void logOffLogind();

    int pending_ = 0;  // calls sent and not yet answered
};

}  // namespace vornel
