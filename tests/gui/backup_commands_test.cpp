// Backup runs in the program: the commands that start them and how they meet the main
// window's life.
#include "app/backup_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QWindow>
#include <filesystem>
#include <map>

#include "qt_printers.h"
#include "shell_fixture.h"

namespace vornel::test {
namespace {

using Tags = std::vector<std::string>;

class BackupCommandsTest : public ShellTest {
  protected:
    BackupCommandsTest() {
        makeTree(tmp.str(),
                 {file("src/a.txt", "alpha"), file("src/sub/b.txt", "beta"), dir("dst")});
    }

    int programEnded = 0;
    std::unique_ptr<BackupCommands> commands = std::make_unique<BackupCommands>(m, *shell, [this] {
        ++programEnded;
        shell->endWithoutClosing();
    });
};

TEST_F(BackupCommandsTest, TheStartButtonAndTheTrayItemRunAManualBackup) {
    load();
    bool seenRunning = false;
    const QWindow* keptAbove = nullptr;
    be.onPump = [&](int) {
        if (!commands->copydlg().isVisible()) return;
        seenRunning = m.copydlg_visible();
        keptAbove = commands->copydlg().windowHandle()->transientParent();
    };
    shell->menu().bkup_bt->click();
    EXPECT_TRUE(seenRunning) << "the copy window tells the save that a run is in progress";
    // Belonging to the main window, the copy window stays above it when the user clicks there.
    EXPECT_EQ(keptAbove, shell->menu().windowHandle());
    EXPECT_FALSE(m.copydlg_visible());
    commands->start_bkup()->trigger();
    EXPECT_EQ(historyTags(), (Tags{"[Start]  [Manual]", "[Success]  [Manual]", "[Start]  [Manual]",
                                   "[Success]  [Manual]"}));
}

// One notice beside the tray icon when a run leaves something to look at; a clean run only
// beeps.
TEST_F(BackupCommandsTest, ARunWithSomethingToReportSaysSoOnceBesideTheTrayIcon) {
    struct Case {
        int failOpen;  // errno for every source opened, 0 for none
        std::string notice;
        std::map<int, std::string> settings = {};
    };
    const Case cases[] = {
        {EACCES, "コピーできなかったファイルが 2 件あります。履歴表示で確認して下さい。"},
        {0, ""},
        {0, "エラーLogに 1 件の記録があります。", {{16, tmp / "missing"}, {24, tmp / "dst"}}},
    };
    load();
    for (Case c : cases) {
        SCOPED_TRACE(c.notice);
        c.settings.emplace(15, tmp / "src");
        c.settings.emplace(23, tmp / "dst");
        writeSettingsFile(tmp / "system.dat", c.settings);  // the run reads it
        be.trayNotices.clear();
        be.sounds.clear();
        commands->engine().copyFault = [&c](CopyStage s) {
            return s == CopyStage::OpenSource ? c.failOpen : 0;
        };
        shell->menu().bkup_bt->click();
        EXPECT_EQ(be.sounds, std::vector<int>{0}) << "the run completed with its beep";
        ASSERT_EQ(be.trayNotices.size(), c.notice.empty() ? 0u : 1u);
        if (c.notice.empty()) continue;
        EXPECT_EQ(be.trayNotices[0].owner, shell->menu().hWnd());
        EXPECT_EQ(be.trayNotices[0].title, m.App_title);
        EXPECT_EQ(be.trayNotices[0].text, c.notice);
    }
}

TEST_F(BackupCommandsTest, QuittingDuringARunWaitsForItThenRunsTheCloseTimeBackup) {
    load({{2, "1"}});  // End_bkup: back up when the program closes
    bool closedDuringRun = true;
    bool asked = false;
    be.onPump = [&](int) {
        if (asked || !commands->engine().running()) return;
        asked = true;
        shell->mnuend_Click();
        closedDuringRun = shell->closed() || !commands->copydlg().isVisible();
    };
    shell->menu().bkup_bt->click();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(closedDuringRun);
    EXPECT_TRUE(shell->closed());
    // The close-time run follows the manual one instead of running inside it.
    EXPECT_EQ(historyTags(), (Tags{"[Start]  [Manual]", "[Success]  [Manual]",
                                   "[Start]  [Prg close]", "[Success]  [Prg close]"}));
}

TEST_F(BackupCommandsTest, BackUpThenShutDownEndsTheProgramWithoutTheCloseRequest) {
    load({{2, "1"}});
    commands->bkup_exitwin()->trigger();
    EXPECT_EQ(programEnded, 1);
    EXPECT_TRUE(shell->closed());
    shell->requestClose();  // the system closing the program afterwards finds nothing to do
    EXPECT_EQ(historyTags(), (Tags{"[Start]  [Manual]", "[Success]  [Manual]"}));
}

}  // namespace
}  // namespace vornel::test
