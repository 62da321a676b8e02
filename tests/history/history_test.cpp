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

using test::readFile;
using test::writeFile;

const std::string kEarlier = "2025/01/01 9:00:00 [Start]  [Timer]\r\n";

class History : public ::testing::Test {
  protected:
    void SetUp() override {
        m.Hist_path = dir / "history.txt";
        be.setClock(2026, 3, 4, 7 * 3600 + 5 * 60 + 9.75);
    }
    // Checks the one box an unexpected error showed: Err_Msg naming write_hist.
    void expectWriteHistError(const std::string& number) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].title, "予期せぬエラー");
        EXPECT_NE(be.boxes[0].text.find("エラー番号" + number), std::string::npos);
        EXPECT_NE(be.boxes[0].text.find("[write_hist]"), std::string::npos) << be.boxes[0].text;
    }

    test::TempDir dir;
    test::FakeBackend be;
    KvCmn15 cmn{be};
    Module1 m{cmn};
};

TEST(HistoryTags, OutcomeAndOriginTagsWithTheirSpellings) {
    std::string outcomes, origins;
    for (std::int16_t code = -1; code <= 8; ++code) {
        outcomes += outcomeTag(static_cast<HistOutcome>(code));
        origins += originTag(static_cast<HistOrigin>(code));
    }
    EXPECT_EQ(outcomes,
              "[?][?][Fail][Success][Cancel][Skiped Copy File][Skiped Setteing][Start][?][?]");
    EXPECT_EQ(origins,
              "[?][Prg open][Prg close][Timer][Manual][Shut Down][Timer Shut Down][Timer Reboot]"
              "[WakeOnLan][?]");
}

TEST_F(History, FirstEventCreatesTheFileWithOneCp932Line) {
    write_hist(m, HistOutcome::SkippedCopyFile, HistOrigin::Unstated, "/バックアップ/ﾃｽﾄ 資料.txt");
    // Half-width katakana is one byte each, kanji and full-width kana two.
    EXPECT_EQ(readFile(m.Hist_path),
              "2026/03/04 7:05:09 [Skiped Copy File] /\x83\x6f\x83\x62\x83\x4e\x83\x41\x83\x62"
              "\x83\x76/\xC3\xBD\xC4 \x8E\x91\x97\xBF.txt [?]\r\n");
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(History, EventsAreAppendedInPlaceLeavingEarlierBytesAlone) {
    const std::string earlier = "\r\n" + kEarlier;
    writeFile(m.Hist_path, earlier);
    struct stat before {};
    ASSERT_EQ(::stat(m.Hist_path.c_str(), &before), 0);
    write_hist(m, HistOutcome::Start, HistOrigin::ProgramOpen, "");
    be.advance(1);
    write_hist(m, HistOutcome::Success, HistOrigin::ProgramOpen, "");
    EXPECT_EQ(readFile(m.Hist_path), earlier + "2026/03/04 7:05:09 [Start]  [Prg open]\r\n" +
                                         "2026/03/04 7:05:10 [Success]  [Prg open]\r\n");
    struct stat after {};
    ASSERT_EQ(::stat(m.Hist_path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced instead of appended to";

    // A last line without a line break still gets the event on a line of its own; the hour
    // has no leading zero, the seconds are cut.
    writeFile(m.Hist_path, "edited by hand");
    be.setClock(2026, 3, 4, 0.9);
    write_hist(m, HistOutcome::Fail, HistOrigin::WakeOnLan, "PC1");
    be.setClock(2026, 3, 4, 23 * 3600 + 59 * 60 + 59.9);
    write_hist(m, HistOutcome::SkippedSetting, HistOrigin::Unstated, "/home/u/My Docs");
    EXPECT_EQ(readFile(m.Hist_path),
              "edited by hand\r\n2026/03/04 0:00:00 [Fail] PC1 [WakeOnLan]\r\n"
              "2026/03/04 23:59:59 [Skiped Setteing] /home/u/My Docs [?]\r\n");
}

TEST_F(History, CharactersWithoutACp932FormAreWrittenAsCodePoints) {
    // An emoji, an accented Latin letter outside the code page, a stray byte, a line break
    // and a WAVE DASH (whose code page form reads back as FULLWIDTH TILDE) are all possible in
    // a Linux file name.
    write_hist(m, HistOutcome::SkippedCopyFile, HistOrigin::Unstated,
               "/d/\xF0\x9F\x98\x80\xC8\xA7\xFF"
               "a\nb〜～.txt");
    const std::string content = readFile(m.Hist_path);
    EXPECT_EQ(content,
              "2026/03/04 7:05:09 [Skiped Copy File] /d/<U+1F600><U+0227><0xFF>a<U+000A>"
              "b<U+301C>\x81\x60.txt [?]\r\n");
    EXPECT_TRUE(cp932::decode(content).ok);
    EXPECT_TRUE(be.boxes.empty()) << "the event is recorded, not reported as an error";
}

TEST_F(History, AFileThatCannotBeWrittenIsReportedAsWriteHist) {
    m.Hist_path = dir / "no-such-folder/history.txt";
    be.answerNextBox(kAnsOk);
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    expectWriteHistError("53");
}

TEST_F(History, ALineCutByAFullDiskIsTakenBack) {
    writeFile(m.Hist_path, kEarlier);
    // A file-size limit a few bytes past the current end makes the write stop part-way, the
    // way a full disk does.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    struct rlimit small = old;
    small.rlim_cur = kEarlier.size() + 10;
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    be.answerNextBox(kAnsOk);
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readFile(m.Hist_path), kEarlier);
    expectWriteHistError("61");
}

TEST_F(History, ClearingAsksFirstAndLeavesOneLineBreakTheNextEventFollows) {
    writeFile(m.Hist_path, kEarlier);
    be.answerNextBox(kAnsCancel);
    hist_clear(m);
    EXPECT_EQ(readFile(m.Hist_path), kEarlier) << "cancelled";

    for (bool fileExists : {true, false}) {
        SCOPED_TRACE(fileExists ? "with a file" : "without a file");
        if (!fileExists) std::filesystem::remove(m.Hist_path);
        be.boxes.clear();
        be.answerNextBox(kAnsOk);
        hist_clear(m);
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text, "履歴を全てクリアしますか？");
        EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
        EXPECT_EQ(m.Msg_ans, kAnsOk);
        EXPECT_EQ(readFile(m.Hist_path), "\r\n");
    }
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    EXPECT_EQ(readFile(m.Hist_path), "\r\n2026/03/04 7:05:09 [Start]  [Manual]\r\n");
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
