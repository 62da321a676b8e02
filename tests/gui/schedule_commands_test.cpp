// The scheduler in the program: the main window's tick, the tray's power items and the
// countdown after the start-up run.
#include "app/schedule_commands.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>

#include "app/backup_commands.h"
#include "qt_printers.h"
#include "shell_fixture.h"

namespace vornel::test {
namespace {

using Tags = std::vector<std::string>;

class ScheduleCommandsTest : public ShellTest {
  protected:
    ScheduleCommandsTest() {
        be.setClock(2026, 12, 6, 12 * 3600 + 55);
        makeTree(tmp.str(), {file("src/a.txt", "alpha"), dir("dst")});
    }
    void tickAt(double secondsOfDay) {
        be.setClock(2026, 12, 6, secondsOfDay);
        schedule->Timer1_Timer();
    }

    std::unique_ptr<BackupCommands> backups = std::make_unique<BackupCommands>(m, *shell, [] {});
    std::unique_ptr<ScheduleCommands> schedule =
        std::make_unique<ScheduleCommands>(m, *shell, backups->engine());
};

// The tray menu opens with the run items, then the power items between separators.
TEST_F(ScheduleCommandsTest, PowerItemsAskAtOnceWithoutAWordAndTheProgramStays) {
    load();
    QStringList items;
    for (QAction* a : shell->tray().mnumain()->actions().mid(0, 7)) items << a->objectName();
    EXPECT_EQ(items, (QStringList{"bkup_exitwin", "start_bkup", "L1", "exit_win", "reboot_win",
                                  "log_off", "L2"}));
    schedule->exit_win->trigger();
    schedule->reboot_win->trigger();
    schedule->log_off->trigger();
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::Shutdown, PowerRequest::Reboot,
                                         PowerRequest::LogOff}));
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path));
    EXPECT_FALSE(shell->closed());
}

TEST_F(ScheduleCommandsTest, AScheduledRunStartsOnTheTickAndEndsInItsShutdown) {
    // Scheduled backups on, time 1 at 12:01 with its shutdown.
    load({{3, "1"}, {6, "1"}, {9, "12"}, {12, "01"}});
    ASSERT_TRUE(schedule->Timer1()->isActive());
    EXPECT_EQ(schedule->Timer1()->interval(), 1000) << "the schedule looks at every second";
    tickAt(12 * 3600 + 60);
    EXPECT_EQ(historyTags(),
              (Tags{"[Start]  [Timer]", "[Success]  [Timer]", "[Success]  [Shut Down]"}));
    tickAt(12 * 3600 + 61);
    EXPECT_EQ(shell->menu().windowTitle(), "Vornelnet  (Now 12:01:01)");
    shell->mnuend_Click();
    QCoreApplication::processEvents();
    EXPECT_FALSE(schedule->Timer1()->isActive());
}

TEST_F(ScheduleCommandsTest, TheStartUpRunOpensTheCountdownAndQuittingClosesIt) {
    load({{1, "1"}, {47, "1"}});  // back up at start, then the countdown
    ShutDownDialog* countdown = schedule->shutDownDialog();
    ASSERT_NE(countdown, nullptr);
    EXPECT_TRUE(countdown->isVisible());
    shell->mnuend_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(schedule->shutDownDialog(), nullptr);
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_EQ(historyTags(), (Tags{"[Start]  [Prg open]", "[Success]  [Prg open]"}));
}

}  // namespace
}  // namespace vornel::test
