#include "app/schedule_commands.h"

#include "app/app_resources.h"

namespace vornel {

ScheduleCommands::ScheduleCommands(Module1& m, MenuShell& shell, BackupEngine& engine,
                                   QObject* parent)
    : QObject(parent), m_(m), shell_(shell), engine_(engine), timer_(m, shell.menu().cmn()) {
    Menu& menu = shell_.menu();
    timer_.backup = [this](HistOrigin origin) { engine_.backup(origin); };
    timer_.setTitle = [&menu](const std::string& title) {
        menu.setWindowTitle(QString::fromStdString(title));
    };

    Timer1_ = new QTimer(&menu);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setInterval(1000);
    // Queued: a run started by a tick works inside the tick, and the ticks that come meanwhile
    // must still reach the title and the schedule. A timer does not call into a handler it is
    // still inside; a posted call is delivered by the events the run lets through.
    connect(Timer1_, &QTimer::timeout, this, &ScheduleCommands::Timer1_Timer, Qt::QueuedConnection);
    // Counting starts once the settings are known, before the start-up run, so a time that
    // falls due during that run waits for it.
    connect(&shell_, &MenuShell::settingsLoaded, this, [this] {
        timer_.start();
        Timer1_->start();
    });
    connect(&shell_, &MenuShell::finished, Timer1_, &QTimer::stop);

    KvCmn15& cmn = menu.cmn();
    exit_win = powerItem("exit_win", QStringLiteral("Windows終了"), cmn.ExwShutdown);
    reboot_win = powerItem("reboot_win", QStringLiteral("Windows再起動"), cmn.ExwReboot);
    log_off = powerItem("log_off", QStringLiteral("ログオフ"), cmn.ExwLogOff);

    engine_.setShowShutDownDialog([this] { showShutDownDialog(); });
    shell_.registerWindow(MenuShell::OtherWindow::ShutDownDialog,
                          [this]() -> QWidget* { return dialog_.data(); });
}

ScheduleCommands::~ScheduleCommands() {
    engine_.setShowShutDownDialog(nullptr);
    shell_.registerWindow(MenuShell::OtherWindow::ShutDownDialog, std::function<QWidget*()>{});
    delete dialog_.data();
}

// At once, with no question and no history line, whether or not a run is in progress; the
// program does not end itself, the system closes it like any other.
QAction* ScheduleCommands::powerItem(const char* name, const QString& caption,
                                     std::int32_t bootnum) {
    auto* item = new QAction(caption, this);
    item->setObjectName(QString::fromLatin1(name));
    shell_.tray().addToGroup(TrayMenus::Group::Power, item);
    connect(item, &QAction::triggered, this,
            [this, bootnum] { shell_.menu().cmn().ExitWindows(bootnum); });
    return item;
}

void ScheduleCommands::showShutDownDialog() {
    if (dialog_) dialog_->close();
    dialog_ = new ShutDownDialog(m_.cmn.backend());
    dialog_->adjustSize();
    centreOnScreen(*dialog_);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

}  // namespace vornel
