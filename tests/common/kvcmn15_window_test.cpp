// Power requests, the tray record, dialogs and window lookups, through the fake backend.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

TEST(ExitWindows, MapsEachActionOntoOneRequest) {
    FakeBackend be;  // reports like the Linux backend: platform 2, no version name
    KvCmn15 k(be);
    k.ExitWindows(k.ExwLogOff);
    k.ExitWindows(k.ExwShutdown);
    k.ExitWindows(k.ExwReboot);
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::LogOff, PowerRequest::Shutdown,
                                         PowerRequest::Reboot}));
}

TEST(ExitWindows, ShutDownAsksForPowerOffOnlyWhenTheSystemIsNamed2000) {
    FakeBackend be;
    be.os = OsVersion{5, 1, 2600, 2, true};
    KvCmn15 k(be);
    ASSERT_EQ(k.OSVerName, "2000");
    k.ExitWindows(k.ExwShutdown);
    be.os = OsVersion{4, 0, 0, 2, true};
    KvCmn15 nt4(be);
    nt4.ExitWindows(nt4.ExwShutdown);
    be.os = OsVersion{4, 10, 0, 1, true};
    KvCmn15 win98(be);
    win98.ExitWindows(win98.ExwShutdown);
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::PowerOff, PowerRequest::Shutdown,
                                         PowerRequest::Shutdown}));
}

TEST(ExitWindows, OtherCodesRequestNothing) {
    FakeBackend be;
    KvCmn15 k(be);
    for (std::int32_t code : {3, -1, 100, INT32_MIN}) k.ExitWindows(code);
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_TRUE(be.boxes.empty());
}

TEST(Tray, TheTipFieldHoldsSixtyFourBytes) {
    const std::string ten = "左-Menu:右";  // 10 characters, 12 bytes
    EXPECT_EQ(tipFieldText(ten), ten);
    const std::string seventy(70, 't');
    EXPECT_EQ(tipFieldText(seventy), std::string(64, 't'));
    EXPECT_EQ(tipFieldText(std::string(63, 'a')), std::string(63, 'a'));
    EXPECT_EQ(tipFieldText(std::string(64, 'a')), std::string(64, 'a'));
    std::string wide;
    for (int i = 0; i < 40; ++i) wide += "あ";
    std::string first32;
    for (int i = 0; i < 32; ++i) first32 += "あ";
    EXPECT_EQ(tipFieldText(wide), first32);
    // A double-byte character that would straddle the end is left out whole.
    EXPECT_EQ(tipFieldText("a" + wide), "a" + first32.substr(0, 31 * 3));
    EXPECT_EQ(tipFieldText(""), "");
}

TEST(Tray, AddModifyAndDeleteGoThroughTheSameRecord) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.TrayAddIcon(42, 3, "左-Menu:右-Help"), -1);
    EXPECT_EQ(k.TrayModifyIcon(4, std::string(70, 'x')), -1);
    EXPECT_EQ(k.TrayDelIcon(), -1);
    ASSERT_EQ(be.trayCalls.size(), 3u);
    EXPECT_EQ(be.trayCalls[0].op, "add");
    EXPECT_EQ(be.trayCalls[0].owner, 42u);
    EXPECT_EQ(be.trayCalls[0].icon, 3u);
    EXPECT_EQ(be.trayCalls[0].tip, "左-Menu:右-Help");
    EXPECT_EQ(be.trayCalls[1].op, "modify");
    EXPECT_EQ(be.trayCalls[1].owner, 42u);
    EXPECT_EQ(be.trayCalls[1].icon, 4u);
    EXPECT_EQ(be.trayCalls[1].tip, std::string(64, 'x'));
    EXPECT_EQ(be.trayCalls[2].op, "delete");
    EXPECT_EQ(be.trayCalls[2].owner, 42u);
}

TEST(Tray, AFreshInstanceHasNoIconToDeleteOrChange) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.TrayDelIcon(), 0);
    EXPECT_EQ(k.TrayModifyIcon(1, "x"), 0);
    EXPECT_TRUE(be.trayCalls.empty());
}

TEST(Tray, APlatformRefusalIsReportedAsFalse) {
    FakeBackend be;
    be.trayResult = false;
    KvCmn15 k(be);
    EXPECT_EQ(k.TrayAddIcon(1, 0, "tip"), 0);
    EXPECT_EQ(k.TrayDelIcon(), 0);
}

TEST(Dialogs, OpenDialogGivesThePathAndTheFileNameLength) {
    FakeBackend be;
    KvCmn15 k(be);
    be.openAnswers.push_back({"/data/a.txt", 6});
    EXPECT_EQ(k.OpenDialog(1, "Text|*.txt", "/data"), "/data/a.txt");
    EXPECT_EQ(k.OpenFileLen, 5);
    EXPECT_EQ(k.OpenDialog(1, "", ""), "");  // cancelled
    EXPECT_EQ(k.OpenFileLen, 0);
    EXPECT_EQ(be.dialogTitles, (std::vector<std::string>{"ファイルを開く", "ファイルを開く"}));
}

TEST(Dialogs, SaveDialogLeavesOpenFileLenAlone) {
    FakeBackend be;
    KvCmn15 k(be);
    be.openAnswers.push_back({"/d/abc.txt", 3});
    k.OpenDialog(0, "", "");
    be.saveAnswers.push_back("/d/new.ini");
    EXPECT_EQ(k.SaveDialog(0, "", "/d", "new.ini"), "/d/new.ini");
    EXPECT_EQ(k.SaveDialog(0, "", "/d", "new.ini"), "");  // cancelled
    EXPECT_EQ(k.OpenFileLen, 7);
    EXPECT_EQ(be.dialogTitles.back(), "ファイルを保存する");
}

TEST(Dialogs, FolderDialogTrimsTrailingBlanksAndNul) {
    FakeBackend be;
    KvCmn15 k(be);
    be.folderAnswers.push_back(std::string("/home/user/backup  \0\0 junk", 26));
    be.folderAnswers.push_back("/home/user/バックアップ");
    EXPECT_EQ(k.FolderDialog(0), "/home/user/backup");
    EXPECT_EQ(k.FolderDialog(0), "/home/user/バックアップ");
    EXPECT_EQ(k.FolderDialog(0), "");  // cancelled
    EXPECT_EQ(be.dialogTitles.front(), "フォルダの選択");
}

TEST(Windows, FindAndCloseByExactTitle) {
    FakeBackend be;
    KvCmn15 k(be);
    be.windows["Vornelnet"] = 9;
    EXPECT_EQ(k.Find_Window("Vornelnet"), 9u);
    EXPECT_EQ(k.Find_Window("vornelnet"), 0u);
    EXPECT_EQ(k.AppClose("Other"), 0);
    EXPECT_TRUE(be.closedWindows.empty());
    EXPECT_EQ(k.AppClose("Vornelnet"), -1);
    EXPECT_EQ(be.closedWindows, std::vector<WindowHandle>{9});
    k.WindowTop(9);
    EXPECT_EQ(be.raisedWindows, std::vector<WindowHandle>{9});
}

TEST(PlayWaveSound, HandsTheFileToTheBackend) {
    FakeBackend be;
    KvCmn15 k(be);
    k.PlayWaveSound("/p/done.wav");
    EXPECT_EQ(be.soundFiles, std::vector<std::string>{"/p/done.wav"});
}

}  // namespace
}  // namespace vornel
