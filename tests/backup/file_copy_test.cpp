// File_copy: the copy condition, the open-file rule and the failure paths.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

constexpr std::time_t kT = 1'700'000'000;

class FileCopy : public EngineTest {
  protected:
    void SetUp() override {
        usePair(0);
        s = src(0) + "/f.txt";
        d = dst(0) + "/f.txt";
    }
    // Destination folder without the temporary files of a copy.
    void expectNoTemporaries() {
        for (const TreeEntry& e : readTree(dst(0)))
            EXPECT_FALSE(isCopyTemporaryName(e.path)) << e.path;
    }
    std::string s, d;
};

TEST_F(FileCopy, NewerOnlyComparesToTheSecondAndEqualIsNotNewer) {
    struct Case {
        const char* name;
        std::time_t src;
        long srcNs;
        std::time_t dst;
        bool copied;
    };
    const Case cases[] = {
        {"equal", kT, 0, kT, false},
        {"same second, later fraction", kT, 900'000'000, kT, false},
        {"older", kT - 60, 0, kT, false},
        {"newer by one second", kT + 1, 0, kT, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        makeTree(src(0), {file("f.txt", "new")});
        setMtime(s, c.src, c.srcNs);
        writeFile(d, "old");
        setMtime(d, c.dst);
        engine.File_copy(s, d);
        EXPECT_EQ(readFile(d), c.copied ? "new" : "old");
    }
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path)) << "nothing is recorded";
}

TEST_F(FileCopy, NewerOnlyCopiesAMissingDestinationAndKeepsTheSourceTime) {
    makeTree(src(0), {file("f.txt", "data", kT)});
    engine.File_copy(s, d);
    EXPECT_EQ(readFile(d), "data");
    EXPECT_EQ(mtimeOf(d), kT);
    // So the next newer-only pass leaves it alone, even when its content was changed.
    writeFile(d, "changed");
    setMtime(d, kT);
    engine.File_copy(s, d);
    EXPECT_EQ(readFile(d), "changed");
}

TEST_F(FileCopy, AlwaysOverwriteCopiesOverANewerDestination) {
    m.Copy_op = "0";
    makeTree(src(0), {file("f.txt", "source", kT)});
    makeTree(dst(0), {file("f.txt", "newer", kT + 3600)});
    engine.File_copy(s, d);
    EXPECT_EQ(readFile(d), "source");
}

TEST_F(FileCopy, SkipModeLeavesFilesInUseAndRecordsThemEvenWithHistoryOff) {
    m.Rec_op = "0";
    makeTree(src(0), {file("f.txt", "in use", kT)});
    auto expectSkipped = [&](const char* how) {
        SCOPED_TRACE(how);
        ::unlink(d.c_str());
        ::unlink(m.Hist_path.c_str());
        engine.File_copy(s, d);
        EXPECT_FALSE(std::filesystem::exists(d));
        EXPECT_EQ(historyLines(),
                  std::vector<std::string>{"2026/12/06 12:00:00 [Skiped Copy File] " + d + " [?]"});
        EXPECT_EQ(m.Cancel_flg, 0);
        expectNoTemporaries();
    };
    {
        const int writer = ::open(s.c_str(), O_WRONLY);
        ASSERT_GE(writer, 0);
        expectSkipped("open for writing elsewhere");
        ::close(writer);
    }
    {
        const int holder = ::open(s.c_str(), O_RDONLY);
        ASSERT_EQ(::flock(holder, LOCK_EX), 0);
        expectSkipped("exclusive flock");
        ::close(holder);
    }
    {
        const int holder = ::open(s.c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        ASSERT_EQ(::fcntl(holder, F_OFD_SETLK, &lock), 0);
        expectSkipped("record write lock");
        ::close(holder);
    }
    // Free again: copied, with nothing recorded.
    ::unlink(m.Hist_path.c_str());
    engine.File_copy(s, d);
    EXPECT_EQ(readFile(d), "in use");
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path));
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(FileCopy, SkipModeLeavesAFileThatChangedWhileItWasCopied) {
    makeTree(src(0), {file("f.txt", "first", kT)});
    makeTree(dst(0), {file("f.txt", "old", kT - 10)});
    engine.copyFault = [&](CopyStage stage) {
        if (stage == CopyStage::SetAttributes) writeFile(s, "second, longer");
        return 0;
    };
    engine.File_copy(s, d);
    EXPECT_EQ(readFile(d), "old");
    EXPECT_EQ(historyLines().size(), 1u);
    expectNoTemporaries();
}

// Faults of the file system (tests run as root, so permissions cannot refuse a write).
struct Fault {
    const char* name;
    CopyStage stage;
    int err;
};
const Fault kFaults[] = {
    {"full disk while writing", CopyStage::Write, ENOSPC},
    {"write refused for the temporary file", CopyStage::CreateTemp, EACCES},
    {"rename refused", CopyStage::Rename, EACCES},
    {"source unreadable", CopyStage::OpenSource, EIO},
};

TEST_F(FileCopy, SkipModeFailuresAreRecordedAndTheOldCopyStays) {
    makeTree(src(0), {file("f.txt", "new", kT)});
    makeTree(dst(0), {file("f.txt", "old", kT - 10)});
    for (const Fault& f : kFaults) {
        SCOPED_TRACE(f.name);
        ::unlink(m.Hist_path.c_str());
        engine.copyFault = [&](CopyStage stage) { return stage == f.stage ? f.err : 0; };
        engine.File_copy(s, d);
        EXPECT_EQ(readFile(d), "old");
        EXPECT_EQ(historyLines(),
                  std::vector<std::string>{"2026/12/06 12:00:00 [Skiped Copy File] " + d + " [?]"});
        EXPECT_EQ(m.Cancel_flg, 0);
        expectNoTemporaries();
    }
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(FileCopy, IgnoreModeFailuresShowBothPathsAndStopTheRun) {
    m.Cp_skip = "0";
    makeTree(src(0), {file("f.txt", "new", kT)});
    makeTree(dst(0), {file("f.txt", "old", kT - 10)});
    for (const Fault& f : kFaults) {
        SCOPED_TRACE(f.name);
        m.Cancel_flg = 0;
        be.boxes.clear();
        be.answerNextBox(kAnsOk);
        engine.copyFault = [&](CopyStage stage) { return stage == f.stage ? f.err : 0; };
        engine.File_copy(s, d);
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text, "ファイルをコピーできません！\r\rコピー元 = " + s +
                                        "\rコピー先 = " + d +
                                        "\r\rファイルの属性やフォルダの権限等を確認して下さい。");
        EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(m.Cancel_flg, 1);
        EXPECT_EQ(m.Msg_ans, kAnsOk);
        EXPECT_EQ(readFile(d), "old");
        expectNoTemporaries();
    }
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path));
}

TEST_F(FileCopy, IgnoreModeCopiesAFileInUse) {
    m.Cp_skip = "0";
    makeTree(src(0), {file("f.txt", "busy", kT)});
    const int writer = ::open(s.c_str(), O_WRONLY);
    ASSERT_GE(writer, 0);
    engine.File_copy(s, d);
    ::close(writer);
    EXPECT_EQ(readFile(d), "busy");
    EXPECT_EQ(m.Msg_ans, 1);
}

TEST_F(FileCopy, UnexpectedErrorsAreReportedAsFileCopyAndStopTheRun) {
    auto expectReported = [&](const char* number) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].title, "予期せぬエラー");
        EXPECT_NE(be.boxes[0].text.find(std::string("エラー番号") + number), std::string::npos)
            << be.boxes[0].text;
        EXPECT_NE(be.boxes[0].text.find("[File_copy]"), std::string::npos);
        EXPECT_EQ(m.Cancel_flg, 1);
    };
    makeTree(src(0), {file("f.txt", "x", kT)});
    m.Cp_skip = "skip";
    be.answerNextBox(kAnsOk);
    engine.File_copy(s, d);
    expectReported("13");
    EXPECT_FALSE(std::filesystem::exists(d));

    // The source's time cannot be read for the date test.
    m.Cp_skip = "1";
    m.Cancel_flg = 0;
    be.boxes.clear();
    makeTree(dst(0), {file("gone.txt", "old")});
    be.answerNextBox(kAnsOk);
    engine.File_copy(src(0) + "/gone.txt", dst(0) + "/gone.txt");
    expectReported("53");
}

TEST_F(FileCopy, LinksAreReproducedNotFollowed) {
    makeTree(src(0), {file("target.txt", "data"), link("rel", "target.txt"),
                      link("dangling", "../nowhere"), dir("sub"), link("dirlink", "sub")});
    setMtime(src(0) + "/rel", kT);
    for (const char* name : {"rel", "dangling", "dirlink"})
        engine.File_copy(src(0) + "/" + name, dst(0) + "/" + name);
    expectTree(dst(0),
               {link("rel", "target.txt"), link("dangling", "../nowhere"), link("dirlink", "sub")});
    EXPECT_EQ(mtimeOf(dst(0) + "/rel"), kT);
    // Newer-only passes an unchanged link over; a link whose target changed is replaced.
    ::unlink((src(0) + "/rel").c_str());
    makeTree(src(0), {link("rel", "other.txt")});
    setMtime(src(0) + "/rel", kT + 5);
    engine.File_copy(src(0) + "/rel", dst(0) + "/rel");
    EXPECT_EQ(std::filesystem::read_symlink(dst(0) + "/rel"), "other.txt");
    expectNoTemporaries();
}

}  // namespace
}  // namespace vornel::test
