// Boxes, error reports, creation values, the system-version probe and byte lengths.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

struct KindCase {
    const char* kind;
    int sound;
    BoxButtons buttons;
    BoxIcon icon;
    const char* title;
};

TEST(MsgBox, EachKindPlaysItsSoundFirstAndShowsItsButtonsIconAndTitle) {
    const KindCase cases[] = {
        {"err", 48, BoxButtons::Ok, BoxIcon::Stop, "Error"},
        {"chk", 32, BoxButtons::Ok, BoxIcon::Question, "確認"},
        {"info", 64, BoxButtons::Ok, BoxIcon::Information, "情報"},
        {"okc", 32, BoxButtons::OkCancel, BoxIcon::Question, "確認"},
        {"yn", 32, BoxButtons::YesNo, BoxIcon::Question, "確認"},
        {"ync", 32, BoxButtons::YesNoCancel, BoxIcon::Question, "確認"},
        {"rc", 32, BoxButtons::RetryCancel, BoxIcon::Question, "再試行"},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.kind);
        FakeBackend be;
        KvCmn15 k(be);
        // The sound must already be playing when the box appears.
        std::size_t soundsWhenShown = 99;
        be.onBox = [&](const MessageBoxRequest&) { soundsWhenShown = be.sounds.size(); };
        be.answerNextBox(kAnsOk);
        k.Msg_Box(c.kind, "line 1\rline 2");
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

TEST(MsgBox, ReturnsTheAnswerOfTheBox) {
    FakeBackend be;
    KvCmn15 k(be);
    be.answerNextBox(kAnsCancel);
    EXPECT_EQ(k.Msg_Box(k.KindOkc, "q"), 2);
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.Msg_Box(k.KindOkc, "q"), 1);
    be.answerNextBox(kAnsYes);
    EXPECT_EQ(k.Msg_Box(k.KindYn, "q"), 6);
    be.answerNextBox(kAnsNo);
    EXPECT_EQ(k.Msg_Box(k.KindYn, "q"), 7);
    be.answerNextBox(kAnsRetry);
    EXPECT_EQ(k.Msg_Box(k.KindRc, "q"), 4);
}

TEST(MsgBox, UnknownKindShowsNothingPlaysNothingAndReturnsZero) {
    FakeBackend be;
    KvCmn15 k(be);
    for (const char* kind : {"ERR", "Err", "", "err ", "ok", "x"}) {
        EXPECT_EQ(k.Msg_Box(kind, "x"), 0) << kind;
    }
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

TEST(MsgBeep, PassesTheSoundTypeThrough) {
    FakeBackend be;
    KvCmn15 k(be);
    k.MsgBeep(k.MB_Info);
    k.MsgBeep(0);
    EXPECT_EQ(be.sounds, (std::vector<int>{64, 0}));
}

TEST(ErrMsg, ShowsNumberDescriptionAndProcedureInAStopBox) {
    FakeBackend be;
    KvCmn15 k(be);
    be.answerNextBox(kAnsOk);
    k.Err_Msg("File_copy", VbError(kErrFileNotFound));
    ASSERT_EQ(be.boxes.size(), 1u);
    const MessageBoxRequest& box = be.boxes[0];
    EXPECT_EQ(box.text,
              "エラー番号53 ファイルが見つかりません。\r\n\r\nプロシージャ名 = [File_copy]");
    EXPECT_EQ(box.title, "予期せぬエラー");
    EXPECT_EQ(box.icon, BoxIcon::Stop);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_TRUE(box.systemModal);
    EXPECT_EQ(be.sounds, std::vector<int>{16});
}

TEST(ErrMsg, ClearsTheErrorSoASecondReportShowsNumberZero) {
    FakeBackend be;
    KvCmn15 k(be);
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    k.Err.Set(VbError(kErrOverflow));
    k.Err_Msg("backup");
    EXPECT_EQ(k.Err.Number, 0);
    EXPECT_TRUE(k.Err.Description.empty());
    k.Err_Msg("backup");
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[0].text,
              "エラー番号6 オーバーフローしました。\r\n\r\nプロシージャ名 = [backup]");
    EXPECT_EQ(be.boxes[1].text, "エラー番号0 \r\n\r\nプロシージャ名 = [backup]");
}

TEST(ErrMsg, RaisedErrorsCarryTheirJapaneseDescriptions) {
    const std::pair<int, const char*> known[] = {
        {5, "プロシージャの呼び出し、または引数が不正です。"},
        {6, "オーバーフローしました。"},
        {13, "型が一致しません。"},
        {52, "ファイル名または番号が不正です。"},
        {53, "ファイルが見つかりません。"},
        {57, "デバイス I/O エラーです。"},
        {61, "ディスクの空き容量が不足しています。"},
        {70, "書き込みできません。"},
        {75, "パス名が無効です。"},
        {76, "パスが見つかりません。"},
    };
    for (const auto& [number, text] : known) {
        try {
            raiseError(number);
            ADD_FAILURE() << "no error raised for " << number;
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), number);
            EXPECT_EQ(e.description(), text);
        }
    }
    EXPECT_EQ(errorNumberFromErrno(ENOENT), 53);
    EXPECT_EQ(errorNumberFromErrno(ENOENT, true), 76);
    EXPECT_EQ(errorNumberFromErrno(EACCES), 70);
    EXPECT_EQ(errorNumberFromErrno(EROFS, true), 75);
    EXPECT_EQ(errorNumberFromErrno(ENOSPC), 61);
    EXPECT_EQ(errorNumberFromErrno(EIO), 57);
}

TEST(Creation, SetsTheDocumentedValues) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.AppVersion, "1.10");
    EXPECT_EQ(versionText(1, 0, 5), "1.05");
    EXPECT_EQ(versionText(2, 10, 3), "2.103");
    EXPECT_EQ((std::vector<std::string>{k.KindErr, k.KindChk, k.KindInfo, k.KindOkc, k.KindYnc,
                                        k.KindYn, k.KindRc}),
              (std::vector<std::string>{"err", "chk", "info", "okc", "ync", "yn", "rc"}));
    EXPECT_TRUE(k.WaitStartTime.empty());
    EXPECT_TRUE(k.WaitFinishTime.empty());
    EXPECT_EQ((std::vector<int>{k.MB_Syserr, k.MB_Question, k.MB_Warning, k.MB_Info}),
              (std::vector<int>{16, 32, 48, 64}));
    EXPECT_EQ((std::vector<int>{k.ExwLogOff, k.ExwShutdown, k.ExwReboot}),
              (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(k.OpenFileLen, 0);
    EXPECT_EQ(
        (std::vector<int>{k.WM_MOUSEMOVE, k.WM_LBUTTONDOWN, k.WM_LBUTTONUP, k.WM_LBUTTONDBLCLK,
                          k.WM_RBUTTONDOWN, k.WM_RBUTTONUP, k.WM_RBUTTONDBLCLK}),
        (std::vector<int>{512, 513, 514, 515, 516, 517, 518}));
    EXPECT_EQ(k.HH_DISPLAY_TREE, 1.0f);
    EXPECT_EQ(k.HH_DISPLAY_INDEX, 2.0f);
    EXPECT_EQ(k.HH_DISPLAY_CONTEXT, 15.0f);
    // Creating an instance shows and plays nothing.
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

struct OsCase {
    OsVersion os;
    const char* id;
    const char* platformId;
    const char* name;
    const char* platformName;
};

TEST(GetOSVer, NamesOldWindowsNumbersOnly) {
    const OsCase cases[] = {
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
    for (const OsCase& c : cases) {
        SCOPED_TRACE(c.id);
        FakeBackend be;
        be.os = c.os;
        KvCmn15 k(be);
        EXPECT_EQ(k.OSVerID, c.id);
        EXPECT_EQ(k.OSPlatformID, c.platformId);
        EXPECT_EQ(k.OSVerName, c.name);
        EXPECT_EQ(k.OSPlatformName, c.platformName);
    }
}

TEST(LenByte, CountsCodePage932Bytes) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.LenByte(""), 0);
    EXPECT_EQ(k.LenByte("AB"), 2);
    EXPECT_EQ(k.LenByte("日本"), 4);
    EXPECT_EQ(k.LenByte("ｱ"), 1);
    EXPECT_EQ(k.LenByte("ﾊﾞｯｸｱｯﾌﾟ"), 8);
    EXPECT_EQ(k.LenByte("Ａ1あｱ"), 6);
    // Without a code page 932 form a character counts as the one-byte substitute would.
    EXPECT_EQ(k.LenByte("\xF0\x9F\x98\x80"), 1);  // U+1F600
    EXPECT_EQ(k.LenByte("a한b"), 3);
}

TEST(LenByte, CountsEachByteThatIsNotUtf8AsOne) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.LenByte("A\xFF"
                        "B"),
              3);
    EXPECT_EQ(k.LenByte("\xE3\x81"), 2);  // a character cut short
    EXPECT_EQ(k.LenByte("\xE3"
                        "AB"),
              3);                             // a lead byte does not swallow what follows
    EXPECT_EQ(k.LenByte("\xED\xA0\x80"), 3);  // an encoded surrogate
    EXPECT_EQ(k.LenByte("\xC0\xAF"), 2);      // an overlong form
    EXPECT_EQ(k.LenByte(std::string("a\0b", 3)), 3);
}

TEST(LenByte, HandlesAMebibyteOfText) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.LenByte(std::string(1 << 20, 'x')), 1 << 20);
    std::string wide;
    for (int i = 0; i < (1 << 20) / 3; ++i) wide += "あ";
    EXPECT_EQ(k.LenByte(wide), 2 * ((1 << 20) / 3));
    std::string mixed;
    for (int i = 0; i < (1 << 18); ++i)
        mixed +=
            "\xFF"
            "a";
    EXPECT_EQ(k.LenByte(mixed), 2 * (1 << 18));
}

}  // namespace
}  // namespace vornel
