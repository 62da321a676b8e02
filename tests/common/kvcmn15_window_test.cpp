// Power requests, the tray record, dialogs and window lookups, through the fake backend.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

class WindowTest : public ::testing::Test {
  protected:
    FakeBackend be;  // reports like the Linux backend: platform 2, no version name
    KvCmn15 k{be};
};

TEST_F(WindowTest, ExitWindowsMapsLogOffShutdownAndRestartOntoOneRequestEach) {
    for (std::int32_t code : {0, 1, 2, 3, -1, 100, INT32_MIN}) k.ExitWindows(code);
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::LogOff, PowerRequest::Shutdown,
                                         PowerRequest::Reboot}));
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(WindowTest, ExitWindowsAsksForPowerOffOnlyWhenTheSystemIsNamed2000) {
    for (const OsVersion& os : {OsVersion{5, 1, 2600, 2, true}, OsVersion{4, 0, 0, 2, true},
                                OsVersion{4, 10, 0, 1, true}}) {
        be.os = os;
        KvCmn15(be).ExitWindows(k.ExwShutdown);
    }
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::PowerOff, PowerRequest::Shutdown,
                                         PowerRequest::Shutdown}));
}

TEST(Tray, TheTipFieldHoldsSixtyFourBytes) {
    std::string wide, first32;
    for (int i = 0; i < 40; ++i) wide += "あ";
    for (int i = 0; i < 32; ++i) first32 += "あ";
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"左-Menu:右", "左-Menu:右"},  // 10 characters, 12 bytes
        {std::string(63, 'a'), std::string(63, 'a')},
        {std::string(64, 'a'), std::string(64, 'a')},
        {std::string(70, 't'), std::string(64, 't')},
        {wide, first32},
        // A double-byte character that would straddle the end is left out whole.
        {"a" + wide, "a" + first32.substr(0, 31 * 3)},
    };
    for (const auto& [tip, field] : cases) EXPECT_EQ(tipFieldText(tip), field) << tip;
}

TEST_F(WindowTest, TrayAddModifyAndDeleteGoThroughTheSameRecord) {
    // A fresh instance has no icon to delete or change.
    EXPECT_EQ(k.TrayDelIcon(), 0);
    EXPECT_EQ(k.TrayModifyIcon(1, "x"), 0);
    EXPECT_TRUE(be.trayCalls.empty());
    EXPECT_EQ(k.TrayAddIcon(42, 3, "左-Menu:右-Help"), -1);
    EXPECT_EQ(k.TrayModifyIcon(4, std::string(70, 'x')), -1);
    EXPECT_EQ(k.TrayDelIcon(), -1);
    using Call = std::tuple<std::string, WindowHandle, IconHandle, std::string>;
    std::vector<Call> calls;
    for (const auto& c : be.trayCalls) calls.emplace_back(c.op, c.owner, c.icon, c.tip);
    EXPECT_EQ(calls, (std::vector<Call>{{"add", 42, 3, "左-Menu:右-Help"},
                                        {"modify", 42, 4, std::string(64, 'x')},
                                        {"delete", 42, 0, ""}}));
}

TEST_F(WindowTest, TrayRefusalByThePlatformIsReportedAsFalse) {
    be.trayResult = false;
    EXPECT_EQ(k.TrayAddIcon(1, 0, "tip"), 0);
    EXPECT_EQ(k.TrayDelIcon(), 0);
}

TEST_F(WindowTest, OpenDialogGivesThePathAndTheFileNameLengthAndSaveDialogLeavesIt) {
    be.openAnswers.push_back({"/data/a.txt", 6});
    EXPECT_EQ(k.OpenDialog(1, "Text|*.txt", "/data"), "/data/a.txt");
    EXPECT_EQ(k.OpenFileLen, 5);
    EXPECT_EQ(k.OpenDialog(1, "", ""), "");  // cancelled
    EXPECT_EQ(k.OpenFileLen, 0);
    be.openAnswers.push_back({"/d/abc.txt", 3});
    k.OpenDialog(0, "", "");
    be.saveAnswers.push_back("/d/new.ini");
    EXPECT_EQ(k.SaveDialog(0, "", "/d", "new.ini"), "/d/new.ini");
    EXPECT_EQ(k.SaveDialog(0, "", "/d", "new.ini"), "");  // cancelled
    EXPECT_EQ(k.OpenFileLen, 7);
    EXPECT_EQ(be.dialogTitles,
              (std::vector<std::string>{"ファイルを開く", "ファイルを開く", "ファイルを開く",
                                        "ファイルを保存する", "ファイルを保存する"}));
}

TEST_F(WindowTest, FolderDialogTrimsTrailingBlanksAndNul) {
    be.folderAnswers.push_back(std::string("/home/user/backup  \0\0 junk", 26));
    be.folderAnswers.push_back("/home/user/バックアップ");
    EXPECT_EQ(k.FolderDialog(0), "/home/user/backup");
    EXPECT_EQ(k.FolderDialog(0), "/home/user/バックアップ");
    EXPECT_EQ(k.FolderDialog(0), "");  // cancelled
}

TEST_F(WindowTest, WindowTopAndPlayWaveSoundGoToTheBackend) {
    k.WindowTop(9);
    EXPECT_EQ(be.raisedWindows, std::vector<WindowHandle>{9});
    k.PlayWaveSound("/p/done.wav");
    EXPECT_EQ(be.soundFiles, std::vector<std::string>{"/p/done.wav"});
}

}  // namespace
}  // namespace vornel
