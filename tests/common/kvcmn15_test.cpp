// KvCmn15 through the fake backend: boxes, error reports, the version and system probes, byte
// lengths, the clock texts and Wait, power requests, the tray record, the dialogs, and the seven
// number conversions at their bounds.
#include "common/kvcmn15.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/fake_backend.h"

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
};
using MsgBox = KvCmn15Test;
using ErrMsg = KvCmn15Test;
using Creation = KvCmn15Test;
using GetOSVer = KvCmn15Test;
using LenByte = KvCmn15Test;
using Clock = KvCmn15Test;
using Wait = KvCmn15Test;
using ExitWindows = KvCmn15Test;
using Tray = KvCmn15Test;
using Dialogs = KvCmn15Test;
using Windows = KvCmn15Test;
using Convert = KvCmn15Test;

constexpr double at(int h, int m, double s) { return h * 3600.0 + m * 60.0 + s; }

TEST_F(MsgBox, EachKindPlaysItsSoundFirstShowsItsBoxAndGivesTheAnswer) {
    struct Case {
        const char* kind;
        int sound;
        BoxButtons buttons;
        BoxIcon icon;
        const char* title;
        int answer;
    };
    const Case cases[] = {
        {"err", 48, BoxButtons::Ok, BoxIcon::Stop, "Error", kAnsOk},
        {"chk", 32, BoxButtons::Ok, BoxIcon::Question, "確認", kAnsOk},
        {"info", 64, BoxButtons::Ok, BoxIcon::Information, "情報", kAnsOk},
        {"okc", 32, BoxButtons::OkCancel, BoxIcon::Question, "確認", kAnsCancel},
        {"yn", 32, BoxButtons::YesNo, BoxIcon::Question, "確認", kAnsYes},
        {"ync", 32, BoxButtons::YesNoCancel, BoxIcon::Question, "確認", kAnsNo},
        {"rc", 32, BoxButtons::RetryCancel, BoxIcon::Question, "再試行", kAnsRetry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        be.boxes.clear();
        be.sounds.clear();
        // The sound must already be playing when the box appears.
        std::size_t soundsWhenShown = 99;
        be.onBox = [&](const MessageBoxRequest&) { soundsWhenShown = be.sounds.size(); };
        be.answerNextBox(c.answer);
        EXPECT_EQ(k.Msg_Box(c.kind, "line 1\rline 2"), c.answer);
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.sounds, std::vector<int>{c.sound});
        EXPECT_EQ(soundsWhenShown, 1u);
        EXPECT_EQ(be.boxes[0].buttons, c.buttons);
        EXPECT_EQ(be.boxes[0].icon, c.icon);
        EXPECT_EQ(be.boxes[0].title, c.title);
        EXPECT_EQ(be.boxes[0].text, "line 1\rline 2");
        EXPECT_FALSE(be.boxes[0].systemModal);
    }
}

TEST_F(MsgBox, UnknownKindShowsNothingPlaysNothingAndReturnsZero) {
    for (const char* kind : {"ERR", "Err", "", "err ", "ok", "x"}) {
        EXPECT_EQ(k.Msg_Box(kind, "x"), 0) << kind;
    }
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

TEST_F(ErrMsg, ShowsNumberDescriptionAndProcedureInAStopBoxThenClearsTheError) {
    be.answerNextBox(kAnsOk);
    k.Err_Msg("File_copy", VbError(kErrFileNotFound));
    ASSERT_EQ(be.boxes.size(), 1u);
    const MessageBoxRequest box = be.boxes[0];
    EXPECT_EQ(box.text,
              "エラー番号53 ファイルが見つかりません。\r\n\r\nプロシージャ名 = [File_copy]");
    EXPECT_EQ(box.title, "予期せぬエラー");
    EXPECT_EQ(box.icon, BoxIcon::Stop);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_TRUE(box.systemModal);
    EXPECT_EQ(be.sounds, std::vector<int>{16});
    // The error set on the instance is reported once; a second report shows number 0.
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    k.Err.Set(VbError(kErrOverflow));
    k.Err_Msg("backup");
    EXPECT_EQ(k.Err.Number, 0);
    EXPECT_TRUE(k.Err.Description.empty());
    k.Err_Msg("backup");
    ASSERT_EQ(be.boxes.size(), 3u);
    EXPECT_EQ(be.boxes[1].text,
              "エラー番号6 オーバーフローしました。\r\n\r\nプロシージャ名 = [backup]");
    EXPECT_EQ(be.boxes[2].text, "エラー番号0 \r\n\r\nプロシージャ名 = [backup]");
}

TEST_F(ErrMsg, RaisedErrorsCarryTheirDescriptionsAndErrnoMapsOntoNumbers) {
    using ::testing::Property;
    EXPECT_THAT([] { raiseError(kErrPathNotFound); },
                ::testing::Throws<VbError>(
                    AllOf(Property(&VbError::number, 76),
                          Property(&VbError::description, "パスが見つかりません。"))));
    const std::tuple<int, bool, int> cases[] = {
        {ENOENT, false, 53}, {ENOENT, true, 76},  {EACCES, false, 70},
        {EROFS, true, 75},   {ENOSPC, false, 61}, {EIO, false, 57},
    };
    for (const auto& [err, isPath, number] : cases)
        EXPECT_EQ(errorNumberFromErrno(err, isPath), number) << err << isPath;
}

TEST_F(Creation, GivesTheVersionTextAndShowsNothing) {
    EXPECT_EQ(k.AppVersion, "1.10");
    EXPECT_EQ(versionText(1, 0, 5), "1.05");
    EXPECT_EQ(versionText(2, 10, 3), "2.103");
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

TEST_F(GetOSVer, NamesOldWindowsNumbersOnly) {
    struct Case {
        OsVersion os;
        const char *id, *platformId, *name, *platformName;
    };
    const Case cases[] = {
        {{5, 1, 2600, 2, true}, "5.1", "2", "2000", "NT"},
        {{5, 2, 0, 2, true}, "5.2", "2", "2000", "NT"},
        {{4, 0, 0, 2, true}, "4.0", "2", "NT", "NT"},
        {{6, 0, 0, 2, true}, "6.0", "2", "", "NT"},
        {{4, 0, 0, 1, true}, "4.0", "1", "95", "95"},
        {{4, 10, 0, 1, true}, "4.10", "1", "98", "95"},
        {{4, 90, 0, 1, true}, "4.90", "1", "Me", "95"},
        {{4, 50, 0, 1, true}, "4.50", "1", "", "95"},
        {{3, 10, 0, 0, true}, "3.10", "0", "32s", "32s"},
        {{5, 0, 0, 3, true}, "5.0", "3", "", ""},
        // What the Linux backend reports: the kernel's version, never named.
        {{6, 1, 0, 2, false}, "6.1", "2", "", "NT"},
        {{5, 1, 0, 2, false}, "5.1", "2", "", "NT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        be.os = c.os;
        const KvCmn15 probe(be);
        EXPECT_EQ(probe.OSVerID, c.id);
        EXPECT_EQ(probe.OSPlatformID, c.platformId);
        EXPECT_EQ(probe.OSVerName, c.name);
        EXPECT_EQ(probe.OSPlatformName, c.platformName);
    }
}

TEST_F(LenByte, CountsCodePage932BytesAndEachByteThatIsNotUtf8AsOne) {
    // Without a code page 932 form a character counts as the one-byte substitute would.
    const std::pair<std::string, int> text[] = {
        {"", 0}, {"AB", 2}, {"日本", 4}, {"ｱ", 1}, {"ﾊﾞｯｸｱｯﾌﾟ", 8}, {"Ａ1あｱ", 6}, {"a한b", 3}};
    for (const auto& [t, bytes] : text) EXPECT_EQ(k.LenByte(t), bytes) << t;
    // A lead byte cut short does not swallow what follows; an emoji has no form; surrogates and
    // overlong forms are no UTF-8.
    using namespace std::string_literals;
    const std::pair<std::string, int> raw[] = {
        {"\xF0\x9F\x98\x80", 1}, {"A\xFF\x42", 3}, {"\xE3\x81", 2}, {"\xE3\x41\x42", 3},
        {"\xED\xA0\x80", 3},     {"\xC0\xAF", 2},  {"a\0b"s, 3},
    };
    for (const auto& [t, bytes] : raw) EXPECT_EQ(k.LenByte(t), bytes) << t;
    std::string wide, mixed;
    for (int i = 0; i < (1 << 20) / 3; ++i) wide += "あ";
    for (int i = 0; i < (1 << 18); ++i) mixed += "\xFF\x61";
    EXPECT_EQ(k.LenByte(std::string(1 << 20, 'x')), 1 << 20);
    EXPECT_EQ(k.LenByte(wide), 2 * ((1 << 20) / 3));
    EXPECT_EQ(k.LenByte(mixed), 2 * (1 << 18));
}

TEST_F(Clock, GetTimeRoundsHalfToEvenAndReads24InTheLastHalfSecond) {
    const std::pair<double, const char*> cases[] = {
        {at(9, 5, 7.4), "09:05:07"},    {at(9, 5, 7.5), "09:05:08"},
        {at(9, 5, 8.5), "09:05:08"},    {at(9, 5, 7.7), "09:05:08"},
        {at(0, 0, 0.0), "00:00:00"},    {at(0, 0, 0.5), "00:00:00"},
        {at(12, 59, 59.6), "13:00:00"}, {at(23, 59, 59.4), "23:59:59"},
        {at(23, 59, 59.7), "24:00:00"},
    };
    for (const auto& [clock, text] : cases) {
        be.setClock(2026, 12, 6, clock);
        EXPECT_EQ(k.GetTime(), text) << clock;
    }
}

TEST_F(Clock, GetDayAndGetWeekDayFromSundayToSaturday) {
    const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i) {
        be.setClock(2026, 12, 6 + i, at(10, 0, 0));    // 2026-12-06 is a Sunday
        EXPECT_EQ(k.GetDay(), std::to_string(6 + i));  // no leading zero
        EXPECT_EQ(k.GetWeekDay(), names[i]) << 6 + i;
    }
}

TEST_F(Wait, StartsFromTheRoundedClockAndRunsAcrossMidnight) {
    struct Case {
        double start, waited;
        const char *startText, *finishText;
    };
    // Starting at .6 rounds up, so the wait lasts longer than asked.
    const Case cases[] = {{100.2, 1.8, "00:01:40", "00:01:42"},
                          {100.6, 2.4, "00:01:41", "00:01:43"},
                          {at(23, 59, 59.0), 2.0, "23:59:59", "00:00:01"}};
    for (const Case& c : cases) {
        be.setClock(2026, 12, 6, c.start);
        const double before = be.monotonicSeconds();
        k.Wait(2);
        EXPECT_GE(be.monotonicSeconds() - before, c.waited - 1e-9) << c.startText;
        EXPECT_LT(be.monotonicSeconds() - before, c.waited + 0.1) << c.startText;
        EXPECT_EQ(k.WaitStartTime, c.startText);
        EXPECT_EQ(k.WaitFinishTime, c.finishText);
    }
    EXPECT_EQ(be.wallClock().day, 7);
}

TEST_F(Wait, LetsPendingEventsRun) {
    be.setClock(2026, 12, 6, 100.0);
    // A nested event handler sees the wait's start and finish texts emptied.
    k.WaitStartTime = "old";
    std::string seenDuringWait;
    be.onPump = [&](int) { seenDuringWait = k.WaitStartTime + "|" + k.WaitFinishTime; };
    k.Wait(0.3f);
    EXPECT_GT(be.pumpCount, 0);
    EXPECT_EQ(seenDuringWait, "|");
    EXPECT_GE(be.wallClock().secondsOfDay, 100.3 - 1e-6);
}

TEST_F(Wait, ForNothingOrLessReturnsAtOnce) {
    for (float second : {0.0f, -1.0f, -1e9f}) {
        be.setClock(2026, 12, 6, 100.6);  // rounds up: a naive loop would wait 0.4 s
        k.Wait(second);
        EXPECT_EQ(be.pumpCount, 0) << second;
        EXPECT_EQ(k.WaitStartTime, "00:01:41");
        EXPECT_EQ(k.WaitFinishTime, "00:01:40");
    }
}

TEST_F(ExitWindows, MapsLogOffShutdownAndRestartOntoOneRequestEach) {
    for (std::int32_t code : {0, 1, 2, 3, -1, 100, INT32_MIN}) k.ExitWindows(code);
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::LogOff, PowerRequest::Shutdown,
                                         PowerRequest::Reboot}));
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(ExitWindows, AsksForPowerOffOnlyWhenTheSystemIsNamed2000) {
    for (const OsVersion& os : {OsVersion{5, 1, 2600, 2, true}, OsVersion{4, 0, 0, 2, true},
                                OsVersion{4, 10, 0, 1, true}}) {
        be.os = os;
        KvCmn15(be).ExitWindows(k.ExwShutdown);
    }
    EXPECT_EQ(be.powerRequests,
              (std::vector<PowerRequest>{PowerRequest::PowerOff, PowerRequest::Shutdown,
                                         PowerRequest::Shutdown}));
}

TEST_F(Tray, TheTipFieldHoldsSixtyFourBytes) {
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

TEST_F(Tray, AddModifyAndDeleteGoThroughTheSameRecord) {
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

TEST_F(Tray, ARefusalByThePlatformIsReportedAsFalse) {
    be.trayResult = false;
    EXPECT_EQ(k.TrayAddIcon(1, 0, "tip"), 0);
    EXPECT_EQ(k.TrayDelIcon(), 0);
}

TEST_F(Dialogs, OpenDialogGivesThePathAndTheFileNameLengthAndSaveDialogLeavesIt) {
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

TEST_F(Dialogs, FolderDialogTrimsTrailingBlanksAndNul) {
    be.folderAnswers.push_back(std::string("/home/user/backup  \0\0 junk", 26));
    be.folderAnswers.push_back("/home/user/バックアップ");
    EXPECT_EQ(k.FolderDialog(0), "/home/user/backup");
    EXPECT_EQ(k.FolderDialog(0), "/home/user/バックアップ");
    EXPECT_EQ(k.FolderDialog(0), "");  // cancelled
}

TEST_F(Windows, WindowTopAndPlayWaveSoundGoToTheBackend) {
    k.WindowTop(9);
    EXPECT_EQ(be.raisedWindows, std::vector<WindowHandle>{9});
    k.PlayWaveSound("/p/done.wav");
    EXPECT_EQ(be.soundFiles, std::vector<std::string>{"/p/done.wav"});
}

TEST_F(Convert, LongTo16bitWritesSixteenDigits) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0000000000000000"},     {1, "0000000000000001"},     {2, "0000000000000010"},
        {5, "0000000000000101"},     {32768, "1000000000000000"}, {43690, "1010101010101010"},
        {65535, "1111111111111111"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(k.LongTo16bit(v), text);
    for (std::int32_t v : {65536, -1, 65537, 98304, INT32_MAX, INT32_MIN}) {
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.LongTo16bit(v), "") << v;
        expectErrorBox("変換するデータが異常です！\r\nLongTo16bit\r\nValue = " + std::to_string(v));
    }
}

TEST_F(Convert, LongToIntReadsTheSameBits) {
    const std::pair<std::int32_t, std::int16_t> cases[] = {
        {0, 0}, {32767, 32767}, {32768, -32768}, {65535, -1}};
    for (const auto& [v, i] : cases) EXPECT_EQ(k.LongToInt(v), i);
    EXPECT_TRUE(be.boxes.empty());
    for (std::int32_t v : {65536, -1, INT32_MIN}) {
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.LongToInt(v), 0) << v;
        expectErrorBox("数値が異常です！\r\nLongToInt\r\nValue = " + std::to_string(v));
    }
}

TEST_F(Convert, HexTextsPadToFourDigits) {
    const std::pair<std::int32_t, const char*> longs[] = {
        {0, "0000"},      {10, "000A"},     {300, "012C"},           {65535, "FFFF"},
        {65536, "10000"}, {-1, "FFFFFFFF"}, {INT32_MIN, "80000000"},
    };
    for (const auto& [v, text] : longs) EXPECT_EQ(k.LongToHex(v), text) << v;
    const std::pair<std::int16_t, const char*> ints[] = {
        {0, "0000"},  {10, "000A"},     {255, "00FF"},    {300, "012C"},
        {-1, "FFFF"}, {-32096, "82A0"}, {-32768, "8000"}, {32767, "7FFF"},
    };
    for (const auto& [v, text] : ints) EXPECT_EQ(k.IntToHex(v), text) << v;
}

TEST_F(Convert, IntToLongReadsTheBitsUnsigned) {
    const std::pair<std::int16_t, std::int32_t> cases[] = {
        {-1, 65535}, {-32768, 32768}, {5, 5}, {32767, 32767}};
    for (const auto& [v, l] : cases) EXPECT_EQ(k.IntToLong(v), l);
}

TEST_F(Convert, HexToIntUpperCasesTheCallersText) {
    const std::tuple<std::string, std::int16_t, std::string> cases[] = {
        {"ffff", -1, "FFFF"},
        {"7fFf", 32767, "7FFF"},
        {"8000", -32768, "8000"},
        {"0000000A", 10, "0000000A"}};
    for (const auto& [input, value, after] : cases) {
        std::string hex = input;
        EXPECT_EQ(k.HexToInt(hex), value);
        EXPECT_EQ(hex, after);
    }
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(Convert, HexToIntRefusesBadTextShowingItUpperCased) {
    const std::pair<std::string, std::string> bad[] = {
        {"10000", "10000"}, {"xyz", "XYZ"}, {"", ""},         {" 1", " 1"},     {"1 ", "1 "},
        {"-1", "-1"},       {"&h1", "&H1"}, {"ｆｆ", "ＦＦ"}, {"\xFF", "\xFF"},
    };
    for (const auto& [input, shown] : bad) {
        std::string hex = input;
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.HexToInt(hex), 0) << input;
        EXPECT_EQ(hex, shown);
        expectErrorBox("数値が異常です！\r\nHexToInt\r\nValue = " + shown);
    }
}

TEST_F(Convert, HexToLongCoversThirtyTwoBits) {
    const std::tuple<std::string, std::int32_t, std::string> cases[] = {
        {"FFFF", 65535, "FFFF"},
        {"ffffffff", -1, "FFFFFFFF"},
        {"80000000", INT32_MIN, "80000000"},
        {"7FFFFFFF", INT32_MAX, "7FFFFFFF"}};
    for (const auto& [input, value, after] : cases) {
        std::string hex = input;
        EXPECT_EQ(k.HexToLong(hex), value);
        EXPECT_EQ(hex, after);
    }
    EXPECT_TRUE(be.boxes.empty());
    for (const std::string& input :
         {std::string(), std::string("100000000"), std::string("12G"), std::string(1 << 20, 'f')}) {
        std::string hex = input;
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.HexToLong(hex), 0);
        expectErrorBox("数値が異常です！\r\nHexToLong\r\nValue = " + hex);
    }
}

}  // namespace
}  // namespace vornel
