#pragma once

#include <QAction>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include "app/shell/menu_shell.h"
#include "backup/backup_engine.h"
#include "schedule/schedule_timer.h"
#include "schedule/shutdown_dialog.h"

namespace vornel {

// The scheduler's place in the program: the main window's Timer1 with the clock in its title,
// the power items of the tray menu, and the countdown window after the start-up run.
class ScheduleCommands : public QObject {
    Q_OBJECT
  public:
    ScheduleCommands(Module1& m, MenuShell& shell, BackupEngine& engine, QObject* parent = nullptr);
    ~ScheduleCommands() override;

    ScheduleTimer& timer() { return timer_; }
    QTimer* Timer1() const { return Timer1_; }
    ShutDownDialog* shutDownDialog() const { return dialog_.data(); }

    QAction* exit_win;
    QAction* reboot_win;
    QAction* log_off;

    void Timer1_Timer() { timer_.Timer1_Timer(); }
    // Opens a new countdown; one that is still counting is closed first.
    void showShutDownDialog();

  private:
    QAction* powerItem(const char* name, const QString& caption, std::int32_t bootnum);

    Module1& m_;
    MenuShell& shell_;
    BackupEngine& engine_;
    ScheduleTimer timer_;
    QTimer* Timer1_;
    QPointer<ShutDownDialog> dialog_;
};

}  // namespace vornel
