#include "history/history.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "common/cp932.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::FakeBackend;
using test::readFile;
using test::TempDir;
using test::writeFile;

class History : public ::testing::Test {
  protected:
    void SetUp() override {
        m.Hist_path = dir / "history.txt";
        be.setClock(2026, 3, 4, 7 * 3600 + 5 * 60 + 9.75);
    }
    std::string cp932(const std::string& utf8) {
        cp932::EncodeResult r = cp932::encode(utf8);
        EXPECT_TRUE(r.ok) << utf8;
        return r.bytes;
    }

    TempDir dir;
    FakeBackend be;
    KvCmn15 cmn{be};
    Module1 m{cmn};
};

TEST(HistoryTags, OutcomeAndOriginTablesWithTheirSpellings) {
    const char* outcomes[] = {
        "[?]",     "[Fail]", "[Success]", "[Cancel]", "[Skiped Copy File]", "[Skiped Setteing]",
        "[Start]", "[?]"};
    for (std::int16_t code = 0; code < 8; ++code) EXPECT_EQ(outcomeTag(code), outcomes[code]);
    EXPECT_EQ(outcomeTag(-1), "[?]");
    const char* origins[] = {"[Prg open]",     "[Prg close]", "[Timer]",
                             "[Manual]",       "[Shut Down]", "[Timer Shut Down]",
                             "[Timer Reboot]", "[WakeOnLan]", "[?]"};
    for (std::int16_t code = 0; code < 9; ++code) EXPECT_EQ(originTag(code), origins[code]);
    EXPECT_EQ(originTag(99), "[?]");
}

TEST(HistoryLine, DateTimeWithoutLeadingZeroInTheHourAndTwoBlanksForAnEmptyText) {
    WallClock c;
    c.year = 2026;
    c.month = 3;
    c.day = 4;
    c.secondsOfDay = 7 * 3600 + 5 * 60 + 9.75;  // seconds are cut, not rounded
    EXPECT_EQ(historyLine(c, 6, 3, ""), "2026/03/04 7:05:09 [Start]  [Manual]");
    c.secondsOfDay = 23 * 3600 + 59 * 60 + 59.9;
    EXPECT_EQ(historyLine(c, 5, 99, "/home/u/My Docs"),
              "2026/03/04 23:59:59 [Skiped Setteing] /home/u/My Docs [?]");
    c.secondsOfDay = 0;
    EXPECT_EQ(historyLine(c, 2, 4, ""), "2026/03/04 0:00:00 [Success]  [Shut Down]");
}

TEST_F(History, FirstEventCreatesTheFileWithOneCp932Line) {
    write_hist(m, 4, 99, "/バックアップ/ﾃｽﾄ 資料.txt");
    const std::string expected =
        cp932("2026/03/04 7:05:09 [Skiped Copy File] /バックアップ/ﾃｽﾄ 資料.txt [?]") + "\r\n";
    EXPECT_EQ(readFile(m.Hist_path), expected);
    // Half-width katakana is one byte, kanji two.
    EXPECT_NE(expected.find("\xC3\xBD\xC4"), std::string::npos);
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(History, EventsAreAppendedInPlaceLeavingEarlierBytesAlone) {
    const std::string earlier = "\r\n" + cp932("2025/01/01 9:00:00 [Start]  [Timer]") + "\r\n";
    writeFile(m.Hist_path, earlier);
    struct stat before {};
    ASSERT_EQ(::stat(m.Hist_path.c_str(), &before), 0);

    write_hist(m, 6, 0, "");
    be.advance(1);
    write_hist(m, 2, 0, "");

    const std::string content = readFile(m.Hist_path);
    EXPECT_EQ(content, earlier + "2026/03/04 7:05:09 [Start]  [Prg open]\r\n" +
                           "2026/03/04 7:05:10 [Success]  [Prg open]\r\n");
    struct stat after {};
    ASSERT_EQ(::stat(m.Hist_path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced instead of appended to";
}

TEST_F(History, ALastLineWithoutLineBreakStillGetsTheEventOnALineOfItsOwn) {
    writeFile(m.Hist_path, "edited by hand");
    write_hist(m, 1, 7, "PC1");
    EXPECT_EQ(readFile(m.Hist_path),
              "edited by hand\r\n2026/03/04 7:05:09 [Fail] PC1 [WakeOnLan]\r\n");
}

TEST_F(History, CharactersWithoutACp932FormAreWrittenAsCodePoints) {
    // An emoji, an accented Latin letter outside the code page, a stray byte and a line break
    // are all possible in a Linux file name.
    write_hist(m, 4, 99,
               "/d/\xF0\x9F\x98\x80\xC8\xA7\xFF"
               "a\nb.txt");
    const std::string content = readFile(m.Hist_path);
    EXPECT_EQ(content,
              "2026/03/04 7:05:09 [Skiped Copy File] /d/<U+1F600><U+0227><0xFF>a<U+000A>"
              "b.txt [?]\r\n");
    EXPECT_TRUE(cp932::decode(content).ok);
    EXPECT_TRUE(be.boxes.empty()) << "the event is recorded, not reported as an error";
}

TEST_F(History, AFileThatCannotBeWrittenIsReportedAsWriteHist) {
    m.Hist_path = dir / "no-such-folder/history.txt";
    be.answerNextBox(kAnsOk);
    write_hist(m, 6, 3, "");
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].title, "予期せぬエラー");
    EXPECT_NE(be.boxes[0].text.find("[write_hist]"), std::string::npos) << be.boxes[0].text;
    EXPECT_NE(be.boxes[0].text.find("エラー番号53"), std::string::npos) << be.boxes[0].text;
}

TEST_F(History, ALineCutByAFullDiskIsTakenBack) {
    const std::string earlier = "2025/01/01 9:00:00 [Start]  [Timer]\r\n";
    writeFile(m.Hist_path, earlier);
    // A file-size limit a few bytes past the current end makes the write stop part-way, the
    // way a full disk does.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = earlier.size() + 10;
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    be.answerNextBox(kAnsOk);
    write_hist(m, 6, 3, "");
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(readFile(m.Hist_path), earlier);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_NE(be.boxes[0].text.find("エラー番号61"), std::string::npos) << be.boxes[0].text;
    EXPECT_NE(be.boxes[0].text.find("[write_hist]"), std::string::npos);
}

TEST_F(History, ClearingAfterOkLeavesOneLineBreakAndTheNextEventFollowsIt) {
    writeFile(m.Hist_path, "2025/01/01 9:00:00 [Start]  [Timer]\r\n");
    be.answerNextBox(kAnsOk);
    hist_clear(m);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "履歴を全てクリアしますか？");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(m.Msg_ans, kAnsOk);
    EXPECT_EQ(readFile(m.Hist_path), "\r\n");
    write_hist(m, 6, 3, "");
    EXPECT_EQ(readFile(m.Hist_path), "\r\n2026/03/04 7:05:09 [Start]  [Manual]\r\n");
}

TEST_F(History, ClearingAnsweredCancelChangesNothing) {
    const std::string earlier = "2025/01/01 9:00:00 [Start]  [Timer]\r\n";
    writeFile(m.Hist_path, earlier);
    be.answerNextBox(kAnsCancel);
    hist_clear(m);
    EXPECT_EQ(readFile(m.Hist_path), earlier);
}

TEST_F(History, ClearingWithoutAFileCreatesOneHoldingALineBreak) {
    be.answerNextBox(kAnsOk);
    hist_clear(m);
    EXPECT_EQ(readFile(m.Hist_path), "\r\n");
}

TEST_F(History, ClearingThatFailsSaysSo) {
    m.Hist_path = dir / "no-such-folder/history.txt";
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    hist_clear(m);
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[1].text, "履歴をクリアできませんでした！\r\r履歴ファイル = " + m.Hist_path);
    EXPECT_EQ(be.boxes[1].icon, BoxIcon::Stop);
}

}  // namespace
}  // namespace vornel
