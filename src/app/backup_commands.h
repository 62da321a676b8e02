#pragma once

#include <QObject>
#include <functional>

#include "app/shell/menu_shell.h"
#include "backup/backup_engine.h"
#include "backup/copy_window.h"
#include "backup/manual_start.h"
#include "history/errlog_window.h"

namespace vornel {

// The backup run's place in the program: the copy window and the error log, the engine, the
// commands that start runs from the settings window and the tray, and what the main window's
// life needs to know about runs.
class BackupCommands : public QObject {
    Q_OBJECT
  public:
    // `endProgram` ends the program at once, without the close-time processing (the command
    // that backs up and then shuts down needs it).
    BackupCommands(Module1& m, MenuShell& shell, std::function<void()> endProgram,
                   QObject* parent = nullptr);
    ~BackupCommands() override;

    BackupEngine& engine() { return engine_; }
    CopyWindow& copydlg() { return copydlg_; }
    ErrLogWindowSink& errlog() { return errlog_; }
    QAction* bkup_exitwin() const { return bkup_exitwin_; }
    QAction* start_bkup() const { return start_bkup_; }

    // A manual run asked for from outside the program (a script), started as the tray's
    // "ﾊﾞｯｸｱｯﾌﾟ実行" is; `reply` gets the exit code once the run that serves it has ended.
    void runForScript(std::function<void(int exitCode)> reply);

  private:
    void notifyRunEnd(const RunResult& result);

    Module1& m_;
    MenuShell& shell_;
    CopyWindow copydlg_;
    ErrLogWindowSink errlog_;
    BackupEngine engine_;
    ManualStartHooks hooks_;
    QAction* bkup_exitwin_;
    QAction* start_bkup_;
};

}  // namespace vornel
