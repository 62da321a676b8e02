// Backup runs in the program: the commands that start them and how they meet the main
// window's life.
#include "app/backup_commands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <filesystem>
#include <map>

#include "support/fake_backend.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::FakeBackend;
namespace fs = std::filesystem;

class BackupCommandsTest : public ::testing::Test {
  protected:
    FakeBackend be;
    KvCmn15 module{be};
    Module1 m{module};
    test::TempDir dir;
    std::unique_ptr<MenuShell> shell;
    std::unique_ptr<BackupCommands> commands;
    int programEnded = 0;

    void SetUp() override {
        // Waits end by the time they would take, not by real seconds.
        be.secondsPerPump = 0.01;
        fs::create_directories(dir / "src/sub");
        fs::create_directories(dir / "dst");
        test::writeFile(dir / "src/a.txt", "alpha");
        test::writeFile(dir / "src/sub/b.txt", "beta");
        shell = std::make_unique<MenuShell>(m, ShellPlatform{be, {}, {}}, dir.str());
        commands = std::make_unique<BackupCommands>(m, *shell, [this] {
            ++programEnded;
            shell->endWithoutClosing();
        });
    }

    void TearDown() override {
        commands.reset();
        shell.reset();
    }

    void load(std::map<int, std::string> changes) {
        changes.emplace(15, dir / "src");
        changes.emplace(23, dir / "dst");
        test::writeSettingsFile(dir / "system.dat", changes);
        shell->Form_Load();
    }

    // The history as tags only: date and time cut off each line.
    std::vector<std::string> historyTags() {
        std::vector<std::string> tags;
        const std::string text = test::readFile(m.Hist_path);
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            std::string line = text.substr(pos, end - pos);
            const auto afterTime = line.find(' ', line.find(' ') + 1);
            tags.push_back(afterTime == std::string::npos ? line : line.substr(afterTime + 1));
            pos = end + 2;
        }
        return tags;
    }
};

TEST_F(BackupCommandsTest, TheTrayMenuStartsWithTheBackupItems) {
    std::vector<QString> names;
    for (QAction* a : shell->tray().mnumain()->actions()) names.push_back(a->objectName());
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names[0], "bkup_exitwin");
    EXPECT_EQ(names[1], "start_bkup");
    EXPECT_EQ(names[2], "L1");
    EXPECT_EQ(commands->bkup_exitwin()->text(), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ後Windows終了"));
    EXPECT_EQ(commands->start_bkup()->text(), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ実行"));
}

TEST_F(BackupCommandsTest, TheStartButtonAndTheTrayItemRunAManualBackup) {
    load({});
    shell->menu().bkup_bt->click();
    EXPECT_EQ(test::readFile(dir / "dst/sub/b.txt"), "beta");
    EXPECT_FALSE(commands->copydlg().isVisible());
    commands->start_bkup()->trigger();
    EXPECT_EQ(historyTags(), (std::vector<std::string>{"[Start]  [Manual]", "[Success]  [Manual]",
                                                       "[Start]  [Manual]", "[Success]  [Manual]"}));
}

TEST_F(BackupCommandsTest, TheCopyWindowTellsTheSaveThatARunIsInProgress) {
    load({});
    bool seenRunning = false;
    be.onPump = [&](int) {
        if (commands->copydlg().isVisible()) seenRunning = m.copydlg_visible();
    };
    shell->menu().bkup_bt->click();
    EXPECT_TRUE(seenRunning);
    EXPECT_FALSE(m.copydlg_visible());
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
    EXPECT_EQ(historyTags(),
              (std::vector<std::string>{"[Start]  [Manual]", "[Success]  [Manual]",
                                        "[Start]  [Prg close]", "[Success]  [Prg close]"}));
}

TEST_F(BackupCommandsTest, BackUpThenShutDownEndsTheProgramWithoutTheCloseRequest) {
    load({{2, "1"}});
    commands->bkup_exitwin()->trigger();
    EXPECT_EQ(programEnded, 1);
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_TRUE(shell->closed());
    shell->requestClose();  // the system closing the program afterwards finds nothing to do
    EXPECT_EQ(historyTags(), (std::vector<std::string>{"[Start]  [Manual]", "[Success]  [Manual]"}));
    EXPECT_EQ(test::readFile(dir / "dst/a.txt"), "alpha");
}

}  // namespace
}  // namespace vornel
