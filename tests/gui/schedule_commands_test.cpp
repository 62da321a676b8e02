// The scheduler in the program: the main window's tick, the tray's power items and the
// countdown after the start-up run.
#include "app/schedule_commands.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <map>

#include "app/backup_commands.h"
#include "qt_printers.h"
#include "support/fake_backend.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"
#include "support/tree.h"

namespace vornel {
namespace {

using Tags = std::vector<std::string>;

class ScheduleCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        be.secondsPerPump = 0.01;
        be.setClock(2026, 12, 6, 12 * 3600 + 55);
        test::makeTree(dir.str(), {test::file("src/a.txt", "alpha"), test::dir("dst")});
        shell = std::make_unique<MenuShell>(m, be, dir.str());
        backups = std::make_unique<BackupCommands>(m, *shell, [] {});
        schedule = std::make_unique<ScheduleCommands>(m, *shell, backups->engine());
    }
    void TearDown() override {
        schedule.reset();
        backups.reset();
        shell.reset();
    }
    void load(std::map<int, std::string> changes) {
        changes.emplace(15, dir / "src");
        changes.emplace(23, dir / "dst");
        test::writeSettingsFile(dir / "system.dat", changes);
        shell->Form_Load();
    }
    void tickAt(double secondsOfDay) {
        be.setClock(2026, 12, 6, secondsOfDay);
        schedule->Timer1_Timer();
    }
    Tags historyTags() {
        Tags tags = test::crlfLines(test::readFile(m.Hist_path));
        for (std::string& line : tags) line.erase(0, line.find(' ', line.find(' ') + 1) + 1);
        return tags;
    }

    test::FakeBackend be;
    KvCmn15 module{be};
    Module1 m{module};
    test::TempDir dir;
    std::unique_ptr<MenuShell> shell;
    std::unique_ptr<BackupCommands> backups;
    std::unique_ptr<ScheduleCommands> schedule;
};

TEST_F(ScheduleCommandsTest, PowerItemsAskAtOnceWithoutAWordAndTheProgramStays) {
    load({});
    QStringList items;
    for (QAction* a : shell->tray().mnumain()->actions().mid(2, 5))
        items << a->objectName() + "=" + a->text();
    EXPECT_EQ(items, (QStringList{"L1=", "exit_win=Windows終了", "reboot_win=Windows再起動",
                                  "log_off=ログオフ", "L2="}));
    schedule->exit_win->trigger();
    schedule->reboot_win->trigger();
    schedule->log_off->trigger();
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::Shutdown, PowerRequest::Reboot,
                                         PowerRequest::LogOff}));
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path));
    EXPECT_FALSE(shell->closed());
}

TEST_F(ScheduleCommandsTest, AScheduledRunStartsOnTheTickAndEndsInItsShutdown) {
    // Scheduled backups on, time 1 at 12:01 with its shutdown.
    load({{3, "1"}, {6, "1"}, {9, "12"}, {12, "01"}});
    ASSERT_TRUE(schedule->Timer1()->isActive());
    EXPECT_EQ(schedule->Timer1()->interval(), 1000);
    tickAt(12 * 3600 + 59);
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path));
    tickAt(12 * 3600 + 60);
    EXPECT_EQ(historyTags(),
              (Tags{"[Start]  [Timer]", "[Success]  [Timer]", "[Success]  [Shut Down]"}));
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(test::readFile(dir / "dst/a.txt"), "alpha");
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
}  // namespace vornel
