#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QLocalSocket;

namespace vornel {

// Keeps one running copy of the program per program folder: two would run every scheduled
// backup twice and interleave their lines in the history file. A second start asks the
// running copy to show its settings window instead, or (from a script) to run a backup and
// tell how it went.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `programFolder` is the folder that holds the program and its files.
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy: it then listens for later starts. False when another
    // copy runs; that copy has then been asked to show itself (unless `askToShow` is false).
    bool claim(bool askToShow = true);

    // After claim() returned false: asks the running copy for a manual backup and waits for
    // its end. Returns the run's exit code, or -1 when the copy could not be reached or ended
    // before answering.
    int requestBackup();

    // Serves backup requests from later starts: `handler` is given a function to call once
    // with the exit code. Requests that came before the handler was set are served now.
    using BackupReply = std::function<void(int exitCode)>;
    void serveBackupRequests(std::function<void(BackupReply)> handler);

    // The name the running copy listens under, the same for every start from one folder.
    QString serverName() const { return serverName_; }

  signals:
    // A later start asked this copy to show its settings window.
    void showRequested();

  private:
    bool askRunningCopy();
    bool connectToRunningCopy(QLocalSocket& socket);
    void onConnection();
    void serveBackupRequest(QLocalSocket* socket);

    QString folder_;
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<void(BackupReply)> backupHandler_;
    std::vector<QPointer<QLocalSocket>> waitingForHandler_;
};

}  // namespace vornel
