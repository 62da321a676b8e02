#include "app/shell/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QThread>

namespace vornel {
namespace {

const QByteArray kShowRequest = QByteArrayLiteral("show\n");
const QByteArray kBackupRequest = QByteArrayLiteral("backup\n");
// The answer to a backup request: "exit " and the run's exit code.
const QByteArray kExitAnswer = QByteArrayLiteral("exit ");

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

bool SingleInstance::claim(bool askToShow) {
    // The lock, not the socket, decides who runs: two starts at the same moment would both
    // find no server to talk to. It lives beside the files it protects, so a folder shared by
    // several users still has one copy writing its history. A lock left by a crashed copy is
    // recognised as stale.
    lock_ = std::make_unique<QLockFile>(QDir(folder_).filePath(QStringLiteral("vornelnet.lock")));
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0)) {
        if (lock_->error() == QLockFile::LockFailedError) {
            lock_.reset();
            if (askToShow) askRunningCopy();
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

bool SingleInstance::connectToRunningCopy(QLocalSocket& socket) {
    // The running copy may still be starting up; give it a few seconds to listen.
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        socket.connectToServer(serverName_);
        if (socket.waitForConnected(500)) return true;
        QThread::msleep(100);
    }
    return false;
}

bool SingleInstance::askRunningCopy() {
    QLocalSocket socket;
    if (!connectToRunningCopy(socket)) return false;
    socket.write(kShowRequest);
    const bool sent = socket.waitForBytesWritten(1000);
    socket.disconnectFromServer();
    return sent;
}

int SingleInstance::requestBackup() {
    QLocalSocket socket;
    if (!connectToRunningCopy(socket)) return -1;
    socket.write(kBackupRequest);
    if (!socket.waitForBytesWritten(1000)) return -1;
    // A backup may take hours; the answer comes when it ends, or the copy goes away.
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(-1)) return -1;
    }
    const QByteArray line = socket.readLine().trimmed();
    if (!line.startsWith(kExitAnswer.trimmed())) return -1;
    bool ok = false;
    const int code = line.mid(kExitAnswer.size()).toInt(&ok);
    return ok ? code : -1;
}

void SingleInstance::serveBackupRequests(std::function<void(BackupReply)> handler) {
    backupHandler_ = std::move(handler);
    std::vector<QPointer<QLocalSocket>> waiting;
    waiting.swap(waitingForHandler_);
    for (const QPointer<QLocalSocket>& socket : waiting)
        if (socket) serveBackupRequest(socket);
}

void SingleInstance::serveBackupRequest(QLocalSocket* socket) {
    if (!backupHandler_) {
        waitingForHandler_.emplace_back(socket);
        return;
    }
    backupHandler_([socket = QPointer<QLocalSocket>(socket)](int exitCode) {
        // The asking start may have been stopped meanwhile; the run stands all the same.
        if (!socket) return;
        socket->write(kExitAnswer + QByteArray::number(exitCode) + '\n');
        socket->flush();
        socket->disconnectFromServer();
    });
}

void SingleInstance::onConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            const QByteArray line = socket->readLine();
            if (line == kShowRequest) emit showRequested();
            if (line == kBackupRequest) serveBackupRequest(socket);
        });
    }
}

}  // namespace vornel
