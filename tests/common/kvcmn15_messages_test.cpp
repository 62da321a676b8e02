// Boxes, error reports, the version text, the system-version probe and byte lengths.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

TEST(MsgBox, EachKindPlaysItsSoundFirstShowsItsBoxAndGivesTheAnswer) {
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
        FakeBackend be;
        KvCmn15 k(be);
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

TEST(MsgBox, UnknownKindShowsNothingPlaysNothingAndReturnsZero) {
    FakeBackend be;
    KvCmn15 k(be);
    for (const char* kind : {"ERR", "Err", "", "err ", "ok", "x"}) {
        EXPECT_EQ(k.Msg_Box(kind, "x"), 0) << kind;
    }
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

TEST(ErrMsg, ShowsNumberDescriptionAndProcedureInAStopBoxThenClearsTheError) {
    FakeBackend be;
    KvCmn15 k(be);
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

TEST(ErrMsg, RaisedErrorsCarryTheirDescriptionsAndErrnoMapsOntoNumbers) {
    try {
        raiseError(kErrPathNotFound);
        ADD_FAILURE() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 76);
        EXPECT_EQ(e.description(), "パスが見つかりません。");
    }
    const std::tuple<int, bool, int> cases[] = {
        {ENOENT, false, 53}, {ENOENT, true, 76},  {EACCES, false, 70},
        {EROFS, true, 75},   {ENOSPC, false, 61}, {EIO, false, 57},
    };
    for (const auto& [err, isPath, number] : cases)
        EXPECT_EQ(errorNumberFromErrno(err, isPath), number) << err << isPath;
}

TEST(Creation, GivesTheVersionTextAndShowsNothing) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.AppVersion, "1.10");
    EXPECT_EQ(versionText(1, 0, 5), "1.05");
    EXPECT_EQ(versionText(2, 10, 3), "2.103");
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

TEST(GetOSVer, NamesOldWindowsNumbersOnly) {
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
        FakeBackend be;
        be.os = c.os;
        KvCmn15 k(be);
        EXPECT_EQ(k.OSVerID, c.id);
        EXPECT_EQ(k.OSPlatformID, c.platformId);
        EXPECT_EQ(k.OSVerName, c.name);
        EXPECT_EQ(k.OSPlatformName, c.platformName);
    }
}

TEST(LenByte, CountsCodePage932BytesAndEachByteThatIsNotUtf8AsOne) {
    FakeBackend be;
    KvCmn15 k(be);
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

}  // namespace
}  // namespace vornel
