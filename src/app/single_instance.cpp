#include "app/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace vornel {
namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");

}  // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent)
    : QObject(parent), folder_(QDir(programFolder).canonicalPath()) {
    if (folder_.isEmpty()) folder_ = QDir(programFolder).absolutePath();
    const QByteArray hash =
        QCryptographicHash::hash(folder_.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    // Local sockets are per user; the folder's hash keeps separate installations apart.
    serverName_ = QStringLiteral("vornelnet-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    // The lock, not the socket, decides who runs: two starts at the same moment would both
    // find no server to talk to. A lock left by a crashed copy is recognised as stale.
    QString lockDir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (lockDir.isEmpty()) lockDir = QDir::tempPath();
    lock_ =
        std::make_unique<QLockFile>(QDir(lockDir).filePath(serverName_ + QStringLiteral(".lock")));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        if (lock_->error() == QLockFile::LockFailedError) {
            lock_.reset();
            askRunningCopy();
            return false;
        }
        // The lock could not be written at all: run rather than refuse to start.
        lock_.reset();
    }
    QLocalServer::removeServer(serverName_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(serverName_);
    return true;
}

bool SingleInstance::askRunningCopy() {
    // The running copy may still be starting up; give it a few seconds to listen.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QLocalSocket socket;
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(500)) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(100);
    }
    return false;
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->canReadLine() && socket->readLine() == kShowRequest) emit showRequested();
        });
    }
}

}  // namespace vornel
