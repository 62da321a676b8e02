#include "app/shell/session_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QSessionManager>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace vornel {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The write end of the installed instance's pipe; the handler may touch nothing else.
std::atomic<int> g_signalPipe{-1};

extern "C" void onEndSignal(int sig) {
    const int saved = errno;
    const int fd = g_signalPipe.load();
    if (fd >= 0) {
        const char byte = static_cast<char>(sig);
        // A full pipe already holds a pending request; losing this byte loses nothing.
        [[maybe_unused]] ssize_t n = ::write(fd, &byte, 1);
    }
    errno = saved;
}

}  // namespace

SessionEnd::SessionEnd(QObject* parent) : QObject(parent) {
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &SessionEnd::commitData);
    }
}

SessionEnd::~SessionEnd() {
    if (installed_) {
        struct sigaction sa {};
        sa.sa_handler = SIG_DFL;
        sigemptyset(&sa.sa_mask);
        for (int sig : kSignals) ::sigaction(sig, &sa, nullptr);
        g_signalPipe.store(-1);
    }
    notifier_.reset();
    for (int fd : pipe_) {
        if (fd >= 0) ::close(fd);
    }
}

bool SessionEnd::install() {
    if (installed_) return true;
    int expected = -1;
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    if (!g_signalPipe.compare_exchange_strong(expected, pipe_[1])) return false;
    notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SessionEnd::readSignals);
    struct sigaction sa {};
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : kSignals) ::sigaction(sig, &sa, nullptr);
    installed_ = true;
    return true;
}

void SessionEnd::readSignals() {
    char buf[64];
    while (::read(pipe_[0], buf, sizeof buf) > 0) {
    }
    emit endRequested();
}

void SessionEnd::commitData(QSessionManager& manager) {
    // The session restarts the program through its autostart entry, not by itself.
    manager.setRestartHint(QSessionManager::RestartNever);
    emit endRequested();
}

}  // namespace vornel
