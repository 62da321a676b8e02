// history.txt from both ends: write_hist appends the events and hist_clear empties the file;
// the viewer's reader follows it through appends, rewrites and files that must not be read.
#include "history/history.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "history/history_reader.h"
#include "support/program_state.h"

namespace vornel::test {
namespace {

using Lines = std::vector<std::string>;

const std::string kEarlier = "2025/01/01 9:00:00 [Start]  [Timer]\r\n";

class History : public ::testing::Test, protected ProgramState<> {
  protected:
    History() { be.setClock(2026, 3, 4, 7 * 3600 + 5 * 60 + 9.75); }
    // Checks the one box an unexpected error showed: Err_Msg's report, the only one that names
    // the procedure.
    void expectWriteHistError(const std::string& number) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_NE(be.boxes[0].text.find("エラー番号" + number), std::string::npos);
        EXPECT_NE(be.boxes[0].text.find("[write_hist]"), std::string::npos) << be.boxes[0].text;
    }

    std::string& path = m.Hist_path;
};

TEST_F(History, EventsAreCp932LinesWithCodePointsForWhatTheCodePageCannotHold) {
    // An emoji, an accented Latin letter outside the code page, a stray byte, a line break and
    // a WAVE DASH (whose code page form reads back as FULLWIDTH TILDE) are all possible in a
    // Linux file name; the kanji and the FULLWIDTH TILDE after them are still written in the
    // code page.
    write_hist(m, HistOutcome::SkippedCopyFile, HistOrigin::Unstated,
               "/資料/\xF0\x9F\x98\x80\xC8\xA7\xFF"
               "a\nb〜～.txt");
    EXPECT_EQ(readFile(path),
              "2026/03/04 7:05:09 [Skiped Copy File] /\x8E\x91\x97\xBF/"
              "<U+1F600><U+0227><0xFF>a<U+000A>b<U+301C>\x81\x60.txt [?]\r\n");
}

TEST_F(History, EventsAreAppendedInPlaceLeavingEarlierBytesAlone) {
    const std::string earlier = "\r\n" + kEarlier;
    writeFile(path, earlier);
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    write_hist(m, HistOutcome::Start, HistOrigin::ProgramOpen, "");
    be.advance(1);
    write_hist(m, HistOutcome::Success, HistOrigin::ProgramOpen, "");
    EXPECT_EQ(readFile(path), earlier + "2026/03/04 7:05:09 [Start]  [Prg open]\r\n" +
                                  "2026/03/04 7:05:10 [Success]  [Prg open]\r\n");
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced instead of appended to";

    // A last line without a line break still gets the event on a line of its own.
    writeFile(path, "edited by hand");
    write_hist(m, HistOutcome::Fail, HistOrigin::WakeOnLan, "PC1");
    EXPECT_EQ(readFile(path), "edited by hand\r\n2026/03/04 7:05:10 [Fail] PC1 [WakeOnLan]\r\n");
}

TEST_F(History, AFileThatCannotBeOpenedIsReportedWhenWrittenOrCleared) {
    path = tmp / "no-such-folder/history.txt";
    for (int box = 0; box < 3; ++box) be.answerNextBox(kAnsOk);
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    expectWriteHistError("53");
    hist_clear(m);
    ASSERT_EQ(be.boxes.size(), 3u);
    EXPECT_EQ(be.boxes[2].text, "履歴をクリアできませんでした！\r\r履歴ファイル = " + path);
    EXPECT_EQ(be.boxes[2].icon, BoxIcon::Stop);
}

TEST_F(History, ALineCutByAFullDiskIsTakenBack) {
    writeFile(path, kEarlier);
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
    EXPECT_EQ(readFile(path), kEarlier);
    expectWriteHistError("61");
}

TEST_F(History, ClearingAsksFirstAndLeavesOneLineBreakTheNextEventFollows) {
    writeFile(path, kEarlier);
    be.answerNextBox(kAnsCancel);
    hist_clear(m);
    EXPECT_EQ(readFile(path), kEarlier) << "cancelled";

    for (bool fileExists : {true, false}) {
        SCOPED_TRACE(fileExists ? "with a file" : "without a file");
        if (!fileExists) std::filesystem::remove(path);
        be.boxes.clear();
        be.answerNextBox(kAnsOk);
        hist_clear(m);
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
        EXPECT_EQ(readFile(path), "\r\n");
    }
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    EXPECT_EQ(readFile(path), "\r\n2026/03/04 7:05:09 [Start]  [Manual]\r\n");
}

// Everything the reader returns until it has caught up; the tail is the last one seen.
struct Read {
    bool restart = false;
    Lines lines;
    std::string tail;
    int slices = 0;
};

Read readAll(HistoryReader& reader) {
    Read r;
    HistoryReader::Slice s;
    do {
        s = reader.read();
        ++r.slices;
        if (s.restart) r.lines.clear();
        r.restart = r.restart || s.restart;
        r.lines.insert(r.lines.end(), s.lines.begin(), s.lines.end());
        r.tail = s.tail;
    } while (s.more);
    return r;
}

// Slices cut anywhere, then only what was appended, the unfinished last line completed.
TEST_F(History, TheReaderDecodesSlicesCutAnywhereThenGivesOnlyWhatWasAppended) {
    const std::string japanese = "2026/12/07 4:00:00 [Skiped Copy File] /ホーム/写真/ｶﾒﾗ.jpg [?]";
    const std::string bytes =
        "\r\n" + cp932::encode(japanese).bytes + "\r\nbad \x80\xA0 end\r\nlast";
    for (std::size_t slice : {1u, 7u, 64u, 100000u}) {
        SCOPED_TRACE(slice);
        writeFile(path, bytes);
        HistoryReader reader(path, slice);
        Read r = readAll(reader);
        EXPECT_TRUE(r.restart);
        EXPECT_EQ(r.lines, (Lines{"", japanese, "bad \uFFFD\uFFFD end"}));
        EXPECT_EQ(r.tail, "last");
        EXPECT_EQ(r.slices, static_cast<int>((bytes.size() + slice - 1) / slice));
        EXPECT_EQ(readAll(reader).lines, Lines{}) << "nothing new";
        writeFile(path, bytes + " one\r\ntwo\r\n");
        r = readAll(reader);
        EXPECT_FALSE(r.restart);
        EXPECT_EQ(r.lines, (Lines{"last one", "two"}));
        EXPECT_EQ(r.tail, "");
    }
}

// The file read before is rewritten in place, or something else is put in its place: a file
// is told from an append even when it starts with the same bytes and is longer, a link, a
// FIFO (opened for reading without a writer, it would wait forever) or a folder is never
// read. Clearing and removal are followed by the viewer's own tests.
TEST_F(History, TheReaderStartsOverOnAnotherFileAndNeverReadsALinkOrASpecialFile) {
    using enum HistoryReader::State;
    const std::string other = "2026/12/07 4:00:00 [Fail]   [Timer]\r\n";
    writeFile(tmp / "real.txt", "secret\r\n");
    const struct {
        const char* name;
        HistoryReader::State state;
        int error;
        Lines lines;
        std::function<void(const std::string& at)> make;
        bool inPlace = false;
    } cases[] = {
        {"rewritten", Ok, 0, Lines(2, crlfLines(other)[0]),
         [&](const std::string& at) { writeFile(at, other + other); }, true},
        {"replaced", Ok, 0, Lines(2, crlfLines(kEarlier)[0]),
         [&](const std::string& at) { writeFile(at, kEarlier + kEarlier); }},
        {"link", Unreadable, ELOOP, Lines(),
         [&](const std::string& at) { std::filesystem::create_symlink(tmp / "real.txt", at); }},
        {"fifo", Unreadable, 0, Lines(),
         [](const std::string& at) { ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0); }},
        {"folder", Unreadable, 0, Lines(),
         [](const std::string& at) { std::filesystem::create_directory(at); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path, kEarlier);
        HistoryReader reader(path);
        ASSERT_EQ(readAll(reader).lines.size(), 1u);
        c.make(c.inPlace ? path : path + ".new");
        if (!c.inPlace) {
            std::filesystem::remove(path);
            std::filesystem::rename(path + ".new", path);
        }
        const Read r = readAll(reader);
        EXPECT_TRUE(r.restart);
        EXPECT_EQ(r.slices, 1);
        EXPECT_EQ(reader.state(), c.state);
        EXPECT_EQ(reader.error(), c.error);
        EXPECT_EQ(r.lines, c.lines);
        std::filesystem::remove(path);
    }
}

}  // namespace
}  // namespace vornel::test
