#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

class QSessionManager;

namespace vornel {

// Turns the ways a desktop session ends the program into one signal on the UI thread:
// SIGTERM, SIGHUP and SIGINT (through a pipe the handler writes one byte into; nothing else
// happens inside the handler) and the session manager's request to save before it quits.
class SessionEnd : public QObject {
    Q_OBJECT
  public:
    explicit SessionEnd(QObject* parent = nullptr);
    ~SessionEnd() override;

    // Installs the signal handlers. Only one instance may be installed at a time.
    bool install();

  signals:
    void endRequested();

  private:
    void readSignals();
    void commitData(QSessionManager& manager);

    int pipe_[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier_;
    bool installed_ = false;
};

}  // namespace vornel
