// KvCmn15 through the fake backend: boxes, error reports, byte lengths, the clock text and Wait,
// power requests, the tray record, the dialogs, the number conversions at their bounds,
// Search_path, the system folders, the profile files, the shell and help openers. What the real
// boxes and dialogs show (titles, icons, buttons, answers) is checked on the Qt backend itself.
#include "common/kvcmn15.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

class KvCmn15Test : public ::testing::Test {
  protected:
    // The one box a failure shows; forgets it for the next check.
    void expectErrorBox(const std::string& text) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text, text);
        EXPECT_EQ(be.boxes[0].title, "Error");
        EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(be.sounds, std::vector<int>{48});
        be.boxes.clear();
        be.sounds.clear();
    }
    test::FakeBackend be;  // reports like the Linux backend: platform 2, no version name
    KvCmn15 k{be};
    test::TempDir dir;
    std::string ini = dir / "test.ini";
};

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

constexpr double at(int h, int m, double s) { return h * 3600.0 + m * 60.0 + s; }

// An unknown kind (sound 0 here) shows nothing, plays nothing and answers 0.
TEST_F(KvCmn15Test, EachBoxKindPlaysItsSoundBeforeItsBoxAppears) {
    const std::pair<const char*, int> cases[] = {
        {"err", 48}, {"chk", 32}, {"info", 64}, {"okc", 32}, {"yn", 32}, {"ync", 32},
        {"rc", 32},  {"ERR", 0},  {"", 0},      {"err ", 0}, {"ok", 0}};
    for (const auto& [kind, sound] : cases) {
        be.sounds.clear();
        std::vector<int> soundsWhenShown;
        be.onBox = [&](const MessageBoxRequest&) { soundsWhenShown = be.sounds; };
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.Msg_Box(kind, "x"), sound ? kAnsOk : 0) << kind;
        EXPECT_EQ(soundsWhenShown, sound ? std::vector<int>{sound} : std::vector<int>{}) << kind;
        EXPECT_EQ(be.sounds.size(), sound ? 1u : 0u) << kind;
    }
}

TEST_F(KvCmn15Test, ErrMsgShowsNumberDescriptionAndProcedureWithTheSystemSoundThenClearsTheError) {
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    k.Err.Set(VbError(kErrOverflow));
    k.Err_Msg("backup");
    EXPECT_EQ(k.Err.Number, 0);
    EXPECT_TRUE(k.Err.Description.empty());
    k.Err_Msg("File_copy", VbError(kErrFileNotFound));
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[0].text,
              "エラー番号6 オーバーフローしました。\r\n\r\nプロシージャ名 = [backup]");
    EXPECT_EQ(be.boxes[1].text,
              "エラー番号53 ファイルが見つかりません。\r\n\r\nプロシージャ名 = [File_copy]");
    EXPECT_EQ(be.sounds, (std::vector<int>{16, 16}));
}

TEST_F(KvCmn15Test, ErrnoMapsOntoErrorNumbers) {
    const std::tuple<int, bool, int> cases[] = {
        {ENOENT, false, 53}, {ENOENT, true, 76},  {EACCES, false, 70},
        {EROFS, true, 75},   {ENOSPC, false, 61}, {EIO, false, 57},
    };
    for (const auto& [err, isPath, number] : cases)
        EXPECT_EQ(errorNumberFromErrno(err, isPath), number) << err << isPath;
}

TEST_F(KvCmn15Test, LenByteCountsCodePage932BytesAndEachByteThatIsNotUtf8AsOne) {
    // Without a code page 932 form a character counts as the one-byte substitute would. A lead
    // byte cut short does not swallow what follows; surrogates and overlong forms are no UTF-8.
    using namespace std::string_literals;
    const std::pair<std::string, int> cases[] = {
        {"Ａ1あｱ", 6},       {"a한b", 3},     {"\xF0\x9F\x98\x80", 1},
        {"A\xFF\x42", 3},    {"\xE3\x81", 2}, {"\xE3\x41\x42", 3},
        {"\xED\xA0\x80", 3}, {"\xC0\xAF", 2}, {"a\0b"s, 3},
    };
    for (const auto& [t, bytes] : cases) EXPECT_EQ(k.LenByte(t), bytes) << t;
    std::string wide;
    for (int i = 0; i < (1 << 20) / 3; ++i) wide += "あ";
    EXPECT_EQ(k.LenByte(wide), 2 * ((1 << 20) / 3));
}

TEST_F(KvCmn15Test, GetTimeRoundsHalfToEvenAndReads24InTheLastHalfSecond) {
    const std::pair<double, const char*> cases[] = {
        {at(9, 5, 7.4), "09:05:07"},    {at(9, 5, 7.5), "09:05:08"},    {at(9, 5, 8.5), "09:05:08"},
        {at(12, 59, 59.6), "13:00:00"}, {at(23, 59, 59.7), "24:00:00"},
    };
    for (const auto& [clock, text] : cases) {
        be.setClock(2026, 12, 6, clock);
        EXPECT_EQ(k.GetTime(), text) << clock;
    }
}

TEST_F(KvCmn15Test, WaitStartsFromTheRoundedClockRunsAcrossMidnightAndEndsAtOnceForNothing) {
    // Starting at .6 rounds up, so the wait lasts longer than asked; a wait of nothing or less
    // must not spend the 0.4 s up to the rounded start.
    const std::tuple<double, float, double, const char*, const char*> cases[] = {
        {100.2, 2, 1.8, "00:01:40", "00:01:42"},
        {100.6, 2, 2.4, "00:01:41", "00:01:43"},
        {at(23, 59, 59.0), 2, 2.0, "23:59:59", "00:00:01"},
        {100.6, 0, 0, "00:01:41", "00:01:40"},
        {100.6, -1, 0, "00:01:41", "00:01:40"}};
    for (const auto& [start, second, waited, startText, finishText] : cases) {
        SCOPED_TRACE(std::to_string(start) + " + " + std::to_string(second));
        be.setClock(2026, 12, 6, start);
        // Pending events run during the wait; a nested handler sees the last wait's texts
        // emptied.
        std::string seenDuringWait = "no events";
        be.onPump = [&](int) { seenDuringWait = k.WaitStartTime + k.WaitFinishTime; };
        const double before = be.monotonicSeconds();
        k.Wait(second);
        EXPECT_EQ(seenDuringWait, waited > 0 ? "" : "no events");
        EXPECT_GE(be.monotonicSeconds() - before, waited - 1e-9);
        EXPECT_LT(be.monotonicSeconds() - before, waited + 0.1);
        EXPECT_EQ(k.WaitStartTime, startText);
        EXPECT_EQ(k.WaitFinishTime, finishText);
    }
}

// Log-off, shutdown and restart make one request each, and other codes none. Of the version
// names, only "2000" (5.x on the NT platform) changes what the program does: such a system is
// asked to power off. The Linux backend reports the kernel's numbers without the old numbering,
// which names nothing.
TEST_F(KvCmn15Test, ExitWindowsMakesOneRequestEachAndPowersOffOnlySystemsNamed2000) {
    for (std::int32_t code : {0, 1, 2, 3, -1, 100, INT32_MIN}) k.ExitWindows(code);
    for (const OsVersion& os :
         {OsVersion{5, 1, 2600, 2, true}, OsVersion{5, 2, 0, 2, true}, OsVersion{4, 0, 0, 2, true},
          OsVersion{6, 0, 0, 2, true}, OsVersion{5, 0, 0, 1, true}, OsVersion{5, 0, 0, 3, true},
          OsVersion{5, 1, 0, 2, false}}) {
        be.os = os;
        KvCmn15(be).ExitWindows(k.ExwShutdown);
    }
    using enum PowerRequest;
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{LogOff, Shutdown, Reboot, PowerOff, PowerOff, Shutdown,
                                         Shutdown, Shutdown, Shutdown, Shutdown}));
}

TEST_F(KvCmn15Test, TheTrayTipFieldHoldsSixtyFourBytes) {
    std::string wide;
    for (int i = 0; i < 40; ++i) wide += "あ";
    const std::pair<std::string, std::string> cases[] = {
        {std::string(64, 'a'), std::string(64, 'a')},
        {wide, wide.substr(0, 32 * 3)},
        // A double-byte character that would straddle the end is left out whole.
        {"a" + wide, "a" + wide.substr(0, 31 * 3)},
    };
    for (const auto& [tip, field] : cases) EXPECT_EQ(tipFieldText(tip), field) << tip;
}

// A fresh instance changes and deletes no icon, not even another instance's; a changed tip is
// cut to the field like a new one.
TEST_F(KvCmn15Test, TrayAddModifyAndDeleteGoThroughTheSameRecord) {
    be.trayPresent = true;  // an icon of some other instance
    EXPECT_EQ(k.TrayModifyIcon(1, "x"), 0);
    EXPECT_EQ(k.TrayDelIcon(), 0);
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

// The file name length a choice or a cancel leaves is checked on the Qt backend.
TEST_F(KvCmn15Test, FolderDialogTrimsTheFolderAtBlanksAndNul) {
    be.folderAnswers.push_back(std::string("/home/user/backup  \0\0 junk", 26));
    EXPECT_EQ(k.FolderDialog(0), "/home/user/backup");
}

TEST_F(KvCmn15Test, LongTo16bitWritesSixteenDigits) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0000000000000000"}, {1, "0000000000000001"},     {2, "0000000000000010"},
        {5, "0000000000000101"}, {43690, "1010101010101010"}, {65535, "1111111111111111"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(k.LongTo16bit(v), text);
    for (std::int32_t v : {65536, -1, INT32_MIN}) {
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.LongTo16bit(v), "") << v;
        expectErrorBox("変換するデータが異常です！\r\nLongTo16bit\r\nValue = " + std::to_string(v));
    }
}

TEST_F(KvCmn15Test, LongToIntAndIntToLongReadTheSameSixteenBits) {
    const std::pair<std::int32_t, std::int16_t> cases[] = {
        {0, 0}, {32767, 32767}, {32768, -32768}, {65535, -1}};
    for (const auto& [l, i] : cases) {
        EXPECT_EQ(k.LongToInt(l), i) << l;
        EXPECT_EQ(k.IntToLong(i), l) << i;
    }
    for (std::int32_t v : {65536, -1}) {
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.LongToInt(v), 0) << v;
        expectErrorBox("数値が異常です！\r\nLongToInt\r\nValue = " + std::to_string(v));
    }
}

TEST_F(KvCmn15Test, HexTextsPadToFourDigits) {
    const std::pair<std::int32_t, const char*> longs[] = {
        {10, "000A"}, {65536, "10000"}, {-1, "FFFFFFFF"}};
    for (const auto& [v, text] : longs) EXPECT_EQ(k.LongToHex(v), text) << v;
    const std::pair<std::int16_t, const char*> ints[] = {
        {255, "00FF"}, {-1, "FFFF"}, {-32768, "8000"}};
    for (const auto& [v, text] : ints) EXPECT_EQ(k.IntToHex(v), text) << v;
}

// Both upper-case the caller's text; a text they refuse reads as 0 and is shown upper-cased.
// The last one is a mebibyte long and would wrap a 64-bit accumulator to zero.
TEST_F(KvCmn15Test, HexToIntAndHexToLongUpperCaseTheCallersTextAndShowWhatTheyRefuse) {
    const std::string huge = "1" + std::string(1 << 20, '0');
    // A value of 0 is a refusal, shown in a box.
    const std::tuple<bool, std::string, std::int32_t, std::string> cases[] = {
        {false, "ffff", -1, "FFFF"},
        {false, "8000", -32768, "8000"},
        {false, "0000000a", 10, "0000000A"},
        {true, "FFFF", 65535, "FFFF"},
        {true, "ffffffff", -1, "FFFFFFFF"},
        {true, "80000000", INT32_MIN, "80000000"},
        {true, "7FFFFFFF", INT32_MAX, "7FFFFFFF"},
        {false, "10000", 0, "10000"},
        {false, "", 0, ""},
        {false, " 1", 0, " 1"},
        {false, "&h1", 0, "&H1"},
        {false, "ｆｆ", 0, "ＦＦ"},
        {false, "\xFF", 0, "\xFF"},
        {true, "100000000", 0, "100000000"},
        {true, "12g", 0, "12G"},
        {true, huge, 0, huge}};
    for (auto [toLong, hex, value, shown] : cases) {
        SCOPED_TRACE(shown.substr(0, 20));
        if (value == 0) be.answerNextBox(kAnsOk);
        EXPECT_EQ(toLong ? k.HexToLong(hex) : k.HexToInt(hex), value);
        EXPECT_EQ(hex, shown);
        if (value == 0)
            expectErrorBox(std::string("数値が異常です！\r\n") +
                           (toLong ? "HexToLong" : "HexToInt") + "\r\nValue = " + shown);
    }
}

TEST_F(KvCmn15Test, SearchPathFindsExactlyNamedFilesFoldersAndLinksAndNeedsASlash) {
    fs::create_directory(dir.path() / "data");
    writeFile(dir / "data/report.txt", "r");
    writeFile(dir / "data/noext", "n");
    fs::create_symlink(dir / "data/nowhere", dir / "data/dangling");
    // A link counts even when it leads nowhere.
    for (const char* name : {"data", "data/report.txt", "data/noext", "data/dangling"})
        EXPECT_EQ(k.Search_path(dir / name), -1) << name;
    // Inexact names, a file taken for a folder, a trailing "/", a name cut by a NUL.
    using namespace std::string_literals;
    for (const std::string& name :
         {"data/report"s, "data/noext.txt"s, "missing/report.txt"s, "data/report.txt/x"s, "data/"s,
          "data/report.txt\0x"s, "data\0/report.txt"s})
        EXPECT_EQ(k.Search_path(dir / name), 0) << name;
    EXPECT_EQ(k.Search_path("/"), -1);  // the root exists when it holds something
    // A text without a slash names no path: error 5.
    for (const std::string& text : {std::string("data"), std::string(), std::string("C:\\data")}) {
        EXPECT_THAT([&] { k.Search_path(text); },
                    ::testing::Throws<VbError>(::testing::Property(&VbError::number, 5)))
            << text;
    }
}

TEST_F(KvCmn15Test, WinDirAndSysDirTrimBlanksAndRefuseTooLongFolders) {
    be.windowsDir = "/usr  ";
    EXPECT_EQ(k.WinDir(), "/usr");
    EXPECT_EQ(k.SysDir(), "/usr/lib");
    be.systemDir = "/" + std::string(98, 'x');
    EXPECT_THROW(k.SysDir(), VbError);
}

TEST_F(KvCmn15Test, IniReadGivesErrorForAMissingFileSectionKeyOrValue) {
    EXPECT_EQ(k.IniRead("s", "k", ini), "error");
    writeFile(ini, "[s]\r\nempty=\r\nblank=   \r\n[t]\r\nk=1\r\n");
    for (const auto& [section, key] :
         {std::pair{"s", "k"}, {"s", "empty"}, {"s", "blank"}, {"u", "k"}})
        EXPECT_EQ(k.IniRead(section, key, ini), "error") << section << key;
    EXPECT_EQ(k.IniRead("t", "k", ini), "1");
    EXPECT_EQ(k.IniRead("t", "k", dir.str()), "error");
}

TEST_F(KvCmn15Test, IniWriteReplacesOrAddsKeysAndSectionsKeepingTheRest) {
    EXPECT_EQ(k.IniWrite("sec", "key", "abc", ini), -1);
    EXPECT_EQ(readFile(ini), "[sec]\r\nkey=abc\r\n");
    EXPECT_EQ(k.IniRead("SEC", "KEY", ini), "abc");  // names ignore case
    writeFile(ini, "; comment\r\n[sec]\r\nkey=old\r\nother=1\r\n\r\n[next]\r\nkey=2\r\n");
    writeFile(ini + ".tmp", "a file of the user's");
    EXPECT_EQ(k.IniWrite("sec", "Key", "new value", ini), -1);
    EXPECT_EQ(k.IniWrite("sec", "added", "x", ini), -1);
    EXPECT_EQ(k.IniWrite("last", "y", "2", ini), -1);
    EXPECT_EQ(readFile(ini),
              "; comment\r\n[sec]\r\nKey=new value\r\nother=1\r\nadded=x\r\n\r\n[next]\r\nkey=2\r\n"
              "[last]\r\ny=2\r\n");
    EXPECT_EQ(readFile(ini + ".tmp"), "a file of the user's");
}

TEST_F(KvCmn15Test, IniWriteRefusesWhatWouldBreakTheFile) {
    writeFile(ini, "[a]\r\nx=1\r\n");
    EXPECT_EQ(k.IniWrite("a", "x", "two\r\n[evil]", ini), 0);
    EXPECT_EQ(k.IniWrite("a", "x=y", "1", ini), 0);
    EXPECT_EQ(k.IniWrite("a]", "x", "1", ini), 0);
    EXPECT_EQ(k.IniWrite("", "x", "1", ini), 0);
    EXPECT_EQ(k.IniWrite("a", "", "1", ini), 0);
    // A folder, or a file in a missing folder, is not written.
    EXPECT_EQ(k.IniWrite("a", "x", "1", dir.str()), 0);
    EXPECT_EQ(k.IniWrite("a", "x", "1", dir / "missing/f.ini"), 0);
    EXPECT_EQ(readFile(ini), "[a]\r\nx=1\r\n");
}

TEST_F(KvCmn15Test, IniValuesAreCutAtTheBufferWithoutSplittingACharacter) {
    ASSERT_EQ(k.IniWrite("a", "x", std::string(253, 'v') + "あい", ini), -1);
    EXPECT_EQ(k.IniRead("a", "x", ini), std::string(253, 'v'));
    ASSERT_EQ(k.IniWrite("a", "x", std::string(1 << 20, 'w'), ini), -1);
    EXPECT_EQ(k.IniRead("a", "x", ini), std::string(254, 'w'));
}

const std::string kNoApp =
    "が見つからないか、拡張子に\r関連付けられたアプリケーションが有りません！";

// The opener may also fail after it started; then the message shows unless its owner is gone.
TEST_F(KvCmn15Test, ShellExcuteOpensOrShowsTheTwoLineMessageNowOrLater) {
    auto owner = std::make_unique<KvCmn15>(be);
    EXPECT_EQ(owner->Shell_Excute(0, "/h/a.txt"), -1);
    ASSERT_TRUE(be.lastShellLateFailure);
    be.answerNextBox(kAnsOk);
    be.lastShellLateFailure();
    expectErrorBox("/h/a.txt" + kNoApp);
    EXPECT_EQ(owner->Shell_Excute(0, "/h/b.txt"), -1);
    auto late = be.lastShellLateFailure;
    owner.reset();
    late();
    EXPECT_TRUE(be.boxes.empty());
    be.shellResult = false;
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.Shell_Excute(0, "/h/history.txt"), 0);
    expectErrorBox("/h/history.txt" + kNoApp);
}

TEST_F(KvCmn15Test, HtmlHelpOpenRoundsHalfToEvenAndLeavesAFailureInTheBoundMessageText) {
    std::string msgStr = "previous";
    k.bindMessageText(&msgStr);
    EXPECT_EQ(k.HtmlHelp_open(7, "/p/Vornel_Net1.chm", 14.6f, 2.5f), -1);
    ASSERT_EQ(be.helpCalls.size(), 1u);
    EXPECT_EQ(be.helpCalls[0].command, 15);
    EXPECT_EQ(be.helpCalls[0].context, 2);
    be.helpResult = false;
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.HtmlHelp_open(0, "/p/Vornel_Net1.chm", 1, 0), 0);
    EXPECT_EQ(msgStr, "Help File = /p/Vornel_Net1.chm を開けませんでした！");
    expectErrorBox(msgStr);
}

}  // namespace
}  // namespace vornel
