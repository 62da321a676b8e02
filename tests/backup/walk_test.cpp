// fld_copy: the level-by-level walk, what it leaves out, path lengths and the labels; and a
// whole run over a tree like a user's.
#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

class Walk : public EngineTest {
  protected:
    void SetUp() override {
        usePair(0, {file("z.txt", "z"), file("a.txt", "a"), dir("d"), file("d/d1.txt", "d1"),
                    file("a/b/c/c1.txt", "c1"), file("a/b/b1.txt", "b1"), file("a/a1.txt", "a1"),
                    dir("empty")});
    }
};

TEST_F(Walk, FilesOfALevelComeBeforeTheNextLevel) {
    engine.fld_copy(0);
    // Root files first, then every depth-1 folder, then depth 2, then depth 3.
    EXPECT_EQ(progress.only("subfld="), (Lines{"", "/a", "/d", "/empty", "/a/b", "/a/b/c"}));
    EXPECT_EQ(progress.only("cpfname="),
              (Lines{"a.txt", "z.txt", "a1.txt", "d1.txt", "b1.txt", "c1.txt"}));
    EXPECT_TRUE(errlog.entries.empty());
}

TEST_F(Walk, SubfoldersOffCopiesOnlyTheRootFilesAnnouncingEachWithItsSize) {
    makeTree(src(0), {file("a.txt", std::string(1234567, 'x')), file("z.txt", "")});
    m.Subfld_flg[0] = "0";
    engine.fld_copy(0);
    expectTree(dst(0), {file("a.txt", std::string(1234567, 'x')), file("z.txt", "")});
    EXPECT_EQ(progress.events, (Lines{"subfld=", "cpfname=a.txt", "filesize=1,234,567 byte",
                                      "cpfname=z.txt", "filesize= byte"}));
}

TEST_F(Walk, FullPathsOver256BytesAreReportedAndNotCopied) {
    // Names are padded so the full source path has exactly the wanted length in code page
    // 932 bytes; "資" counts two.
    usePair(1);
    const std::string root = src(1) + "/";
    auto named = [&](std::size_t total, const std::string& head) {
        return head + std::string(total - root.size() - head.size(), 'n');
    };
    const std::string ok256 = named(256, "f"), long257 = named(257, "g");
    const std::string kanji257 = "資" + named(255, "h");  // 2 + (255 - root) bytes
    const std::string folder257 = named(257, "d"), folder256 = named(256, "e");
    makeTree(src(1), {file(ok256, "fits"), file(long257, "x"), file(kanji257, "x"),
                      file(folder257 + "/inner", "x"), dir(folder256)});
    engine.fld_copy(1);

    expectTree(dst(1), {file(ok256, "fits"), dir(folder256)});
    Lines expected;
    for (const std::string& name : {folder257, long257, kanji257})
        expected.push_back(
            logEntry(root + name, "フルパスの文字が半角256文字を超えてます！ TTL=257byte"));
    EXPECT_EQ(errlog.entries, expected);
}

// A folder swapped for a link while the run copies an earlier file (a.txt) is never followed:
// on the source side the link is copied as the link it now is, on the destination side it is
// replaced by a real folder.
TEST_F(Walk, AFolderSwappedForALinkDuringTheRunIsNotFollowed) {
    const std::string outside = tmp / "outside";
    const struct {
        const char* name;
        bool sourceSide;
        bool beforeTheRun;
    } cases[] = {
        {"destination folder", false, false},
        {"destination folder, already before the run", false, true},
        {"source folder", true, false},  // last: the source's folder is not put back
    };
    makeTree(outside, {file("secret.txt", "s")});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(dst(0));
        makeTree(dst(0), {});
        const std::string swapped = (c.sourceSide ? src(0) : dst(0)) + "/a";
        const std::string keep = tmp / "a-moved";
        if (c.beforeTheRun) makeTree(dst(0), {link("a", outside)});
        bool done = c.beforeTheRun;
        engine.copyFault = [&](CopyStage s) {
            if (s == CopyStage::OpenSource && !done && !progress.only("cpfname=a.txt").empty()) {
                done = true;
                std::filesystem::rename(swapped, keep);
                std::filesystem::create_symlink(outside, swapped);
            }
            return 0;
        };
        engine.fld_copy(0);
        EXPECT_TRUE(done);
        expectTree(outside, {file("secret.txt", "s")});
        if (c.sourceSide) {
            EXPECT_EQ(std::filesystem::read_symlink(dst(0) + "/a"), outside);
        } else {
            EXPECT_EQ(readFile(dst(0) + "/a/b/b1.txt"), "b1");
        }
        std::filesystem::remove_all(keep);
        EXPECT_TRUE(errlog.entries.empty());
    }
}

// Each file takes a millisecond of the fake clock; events are let through every 20 ms of it,
// not at every file, and a cancel seen in a pump still stops the walk after the current file.
TEST_F(Walk, EventsAreLetThroughOncePerIntervalAndACancelStillStopsTheNextFile) {
    std::vector<TreeEntry> many;
    for (int i = 0; i < 300; ++i) many.push_back(file("f" + std::to_string(1000 + i), "x"));
    usePair(1, many);
    engine.pumpInterval = 0.02;
    int copies = 0;
    engine.copyFault = [&](CopyStage s) {
        if (s == CopyStage::OpenSource) ++copies, be.advance(0.001);
        return 0;
    };
    std::vector<double> pumpedAt;
    int copiesAtCancel = -1;
    be.onPump = [&](int) {
        pumpedAt.push_back(be.monotonicSeconds());
        if (pumpedAt.size() == 6) copiesAtCancel = copies, m.Cancel_flg = 1;
    };
    engine.fld_copy(1);
    ASSERT_EQ(pumpedAt.size(), 6u);
    for (std::size_t i = 1; i < pumpedAt.size(); ++i)
        EXPECT_NEAR(pumpedAt[i] - pumpedAt[i - 1], 0.02, 0.0015);
    EXPECT_LE(copies, copiesAtCancel + 1);
    EXPECT_GE(copiesAtCancel, 90);
}

TEST_F(EngineTest, ARealTreeIsBackedUpExactlyAndASecondRunCopiesNothing) {
    const std::vector<TreeEntry> visible = {
        file("報告書 2024.txt", "本文", kT),
        dir("ﾃﾞｰﾀ"),
        file("ﾃﾞｰﾀ/表 1.csv", "a,b\r\n", kT),
        file("My Documents/notes.md", "# notes", kT),
        file("My Documents/写真/空.jpg", "", kT),
        dir("My Documents"),
        dir("My Documents/写真"),
        dir("空のフォルダ"),
        link("最新", "報告書 2024.txt"),
        link("外へ", "/etc"),
        link("壊れた", "../nowhere"),
        file(".bashrc", "x", kT),
        file(".ssh/id_ed25519", "key", kT),
        dir(".ssh"),
        file("ﾃﾞｰﾀ/.~lock.表 1.csv#", "x", kT),
    };
    usePair(0, visible);
    // Special files and the temporaries of another program's copy are not copied.
    makeTree(src(0), {fifo("パイプ"), file(".vornelnet-part-Ab12Cd", "another copy's")});
    long copies = 0;
    engine.copyFault = [&](CopyStage s) {
        copies += s == CopyStage::OpenSource;
        return 0;
    };
    for (long expectedCopies : {10, 0}) {
        copies = 0;
        engine.backup(HistOrigin::Manual);
        EXPECT_EQ(copies, expectedCopies) << "newer-only copies only what changed";
        expectTree(dst(0), visible);
        for (const TreeEntry& e : readTree(dst(0)))
            EXPECT_TRUE(e.kind != TreeEntry::File || e.mtime == kT) << e.path;
    }
    EXPECT_TRUE(errlog.entries.empty());
    EXPECT_EQ(readFile(src(0) + "/.vornelnet-part-Ab12Cd"), "another copy's");
}

// A USB disk formatted FAT32: modes and links are refused, times are kept in 2-second steps
// rounded down.
class FatDisk : public FileOps {
  public:
    int setMode(int, mode_t) override { return EPERM; }
    int makeLink(const std::string&, int, const std::string&) override { return EPERM; }
    int setTimes(int fd, const struct timespec times[2]) override {
        struct timespec coarse[2] = {times[0], times[1]};
        for (auto& t : coarse) t = {t.tv_sec - t.tv_sec % 2, 0};
        return FileOps::setTimes(fd, coarse);
    }
    int timeStep(int) override { return 2; }
};

TEST_F(EngineTest, OnAFatDiskOnlyLinksAreLeftOutAndUnchangedFilesAreNotCopiedAgain) {
    usePair(0, {file("odd.txt", "odd", kT + 1), file("even.txt", "even", kT),
                file("sub/in.txt", "in", kT + 3), link("link", "odd.txt")});
    FatDisk fat;
    engine.fileOps = &fat;
    m.Cp_skip = "0";  // a failure would stop the run with a box
    std::vector<std::string> copied;
    engine.copyFault = [&](CopyStage s) {
        if (s == CopyStage::OpenSource) copied.push_back(progress.only("cpfname=").back());
        return 0;
    };
    const std::string linkEntry = logEntry(
        src(0) + "/link", "コピー先がシンボリックリンクを保存できないため、コピーしませんでした");
    const struct {
        const char* name;
        std::function<void()> change;
        std::vector<std::string> copied;
    } runs[] = {
        {"first run", [] {}, {"even.txt", "link", "odd.txt", "in.txt"}},
        {"nothing changed", [] {}, {"link"}},
        {"size changed within the same step",
         [&] { makeTree(src(0), {file("odd.txt", "odd, longer", kT)}); },
         {"link", "odd.txt"}},
        {"a later step", [&] { setMtime(src(0) + "/even.txt", kT + 2); }, {"even.txt", "link"}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.name);
        run.change();
        copied.clear();
        errlog.entries.clear();
        engine.backup(HistOrigin::Manual);
        EXPECT_EQ(copied, run.copied);
        EXPECT_EQ(errlog.entries, Lines{linkEntry});
    }
    expectTree(dst(0), {file("odd.txt", "odd, longer"), file("even.txt", "even"), dir("sub"),
                        file("sub/in.txt", "in")});
}

}  // namespace
}  // namespace vornel::test
