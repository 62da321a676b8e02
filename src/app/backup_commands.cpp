#include "app/backup_commands.h"

#include <QTabBar>

#include "history/history.h"
#include "settings/change_tracking.h"

namespace vornel {

BackupCommands::BackupCommands(Module1& m, MenuShell& shell, std::function<void()> endProgram,
                               QObject* parent)
    : QObject(parent),
      m_(m),
      shell_(shell),
      copydlg_(m),
      engine_(m, copydlg_, errlog_,
              BackupHooks{[&shell] { return shell.menu().Sysdat_read(); },
                          // ScheduleCommands sets the countdown once it is made.
                          nullptr, [this](const RunResult& r) { notifyRunEnd(r); }}) {
    m_.copydlg_visible = [this] { return copydlg_.isVisible(); };
    errlog_.placeBeside(&shell.menu(), shell.menu().SSTab1->tabBar());
    copydlg_.setOwner(&shell.menu());
    engine_.pumpInterval = 0.02;
    hooks_.chg_confirm = [this] { chg_confirm(m_); };
    hooks_.ok_bt_Click = [&shell] { shell.menu().ok_bt_Click(); };
    hooks_.endProgram = std::move(endProgram);

    shell_.backup = [this](HistOrigin origin) { engine_.backup(origin); };
    shell_.runInProgress = [this] { return engine_.running(); };
    shell_.afterRun = [this](std::function<void()> then) { engine_.afterRun(std::move(then)); };
    shell_.registerWindow(MenuShell::OtherWindow::copydlg, &copydlg_);
    shell_.registerWindow(MenuShell::OtherWindow::frmErrLog,
                          [this]() -> QWidget* { return errlog_.window(); });

    Menu& menu = shell_.menu();
    connect(menu.bkup_bt, &QPushButton::clicked, this, [this] { bkup_bt(m_, engine_, hooks_); });
    connect(menu.bkup_exit_bt, &QPushButton::clicked, this,
            [this] { bkup_exit_bt(m_, engine_, hooks_); });
    connect(menu.histclr_bt, &QPushButton::clicked, this, [this] { hist_clear(m_); });

    TrayMenus& tray = shell_.tray();
    bkup_exitwin_ = new QAction(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ後Windows終了"), this);
    bkup_exitwin_->setObjectName(QStringLiteral("bkup_exitwin"));
    start_bkup_ = new QAction(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ実行"), this);
    start_bkup_->setObjectName(QStringLiteral("start_bkup"));
    tray.addToGroup(TrayMenus::Group::BackupRun, bkup_exitwin_);
    tray.addToGroup(TrayMenus::Group::BackupRun, start_bkup_);
    connect(bkup_exitwin_, &QAction::triggered, this,
            [this] { vornel::bkup_exitwin(m_, engine_, hooks_); });
    connect(start_bkup_, &QAction::triggered, this,
            [this] { vornel::start_bkup(m_, engine_, hooks_); });
}

void BackupCommands::runForScript(std::function<void(int exitCode)> reply) {
    engine_.whenNextRunEnds(
        [reply = std::move(reply)](const RunResult& r) { reply(exitCodeFor(r)); });
    vornel::start_bkup(m_, engine_, hooks_);
}

// A run that left something to look at says so once beside the tray icon: the history and
// the error log are easy to miss when the run happened at start-up or at night.
void BackupCommands::notifyRunEnd(const RunResult& result) {
    const std::string text = runNotice(result);
    if (!text.empty()) m_.cmn.TrayNotify(shell_.menu().hWnd(), m_.App_title, text);
}

BackupCommands::~BackupCommands() {
    // The shell outlives this object in tests; it must not call into a destroyed engine.
    shell_.backup = nullptr;
    shell_.runInProgress = nullptr;
    shell_.afterRun = nullptr;
    m_.copydlg_visible = [] { return false; };
}

}  // namespace vornel
