#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace vornel {

// Keeps one running copy of the program per program folder: two would run every scheduled
// backup twice and interleave their lines in the history file. A second start asks the
// running copy to show its settings window instead.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `programFolder` is the folder that holds the program and its files.
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the first copy: it then listens for later starts. False when another
    // copy runs; that copy has then been asked to show itself.
    bool claim();

    // The name the running copy listens under, the same for every start from one folder.
    QString serverName() const { return serverName_; }

  signals:
    // A later start asked this copy to show its settings window.
    void showRequested();

  private:
    bool askRunningCopy();
    void onConnection();

    QString folder_;
    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
};

}  // namespace vornel
