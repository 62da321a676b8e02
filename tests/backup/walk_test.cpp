// fld_copy: the level-by-level walk, what it leaves out, path lengths and the labels; and a
// whole run over a tree like a user's.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

using Lines = std::vector<std::string>;

class Walk : public EngineTest {
  protected:
    void SetUp() override {
        usePair(0, {file("z.txt", "z"), file("a.txt", "a"), dir("d"), file("d/d1.txt", "d1"),
                    file("a/b/c/c1.txt", "c1"), file("a/b/b1.txt", "b1"), file("a/a1.txt", "a1"),
                    dir("empty")});
    }
    bool holds(const std::string& root, const TreeEntry& e) {
        const auto got = readTree(root);
        return std::find(got.begin(), got.end(), e) != got.end();
    }
};

TEST_F(Walk, FilesOfALevelComeBeforeTheNextLevelAndFoldersAreMadeAsFound) {
    engine.fld_copy(0);
    // Root files first, then every depth-1 folder, then depth 2, then depth 3.
    EXPECT_EQ(progress.only("subfld="), (Lines{"", "/a", "/d", "/empty", "/a/b", "/a/b/c"}));
    EXPECT_EQ(progress.only("cpfname="),
              (Lines{"a.txt", "z.txt", "a1.txt", "d1.txt", "b1.txt", "c1.txt"}));
    expectTree(dst(0),
               {file("a.txt", "a"), file("z.txt", "z"), dir("a"), file("a/a1.txt", "a1"),
                dir("a/b"), file("a/b/b1.txt", "b1"), dir("a/b/c"), file("a/b/c/c1.txt", "c1"),
                dir("d"), file("d/d1.txt", "d1"), dir("empty")});
    EXPECT_TRUE(errlog.entries.empty());
}

TEST_F(Walk, SubfoldersOffCopiesOnlyTheRootFilesAnnouncingEachWithItsSize) {
    makeTree(src(0), {file("a.txt", std::string(1234567, 'x')), file("z.txt", "")});
    m.Subfld_flg[0] = "0";
    engine.fld_copy(0);
    expectTree(dst(0), {file("a.txt", std::string(1234567, 'x')), file("z.txt", "")});
    EXPECT_EQ(progress.only("subfld="), Lines{""});
    EXPECT_EQ(progress.only("filesize="), (Lines{"1,234,567 byte", " byte"}));
    const auto at = std::find(progress.events.begin(), progress.events.end(), "cpfname=a.txt");
    ASSERT_NE(at, progress.events.end());
    EXPECT_EQ(*(at + 1), "filesize=1,234,567 byte");
}

TEST(SizeLabel, GroupsDigitsByThreeAndShowsNothingForZero) {
    EXPECT_EQ(sizeLabel(0), " byte");
    EXPECT_EQ(sizeLabel(999), "999 byte");
    EXPECT_EQ(sizeLabel(1000), "1,000 byte");
    EXPECT_EQ(sizeLabel(123456789012LL), "123,456,789,012 byte");
}

TEST_F(Walk, HiddenAndSpecialEntriesAreLeftOutAndLinksAreNotFollowed) {
    const std::string outside = tmp / "outside";
    makeTree(outside, {file("secret.txt", "s")});
    makeTree(src(0), {file(".hidden", "h"), file(".hdir/in.txt", "i"), fifo("pipe"),
                      link("to-outside", outside), link("to-a", "a")});
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un addr {};
    addr.sun_family = AF_UNIX;
    const std::string sock = src(0) + "/sock";
    ASSERT_LT(sock.size(), sizeof addr.sun_path);
    sock.copy(addr.sun_path, sock.size());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);

    engine.fld_copy(0);
    expectTree(dst(0), {file("a.txt", "a"), file("z.txt", "z"), dir("a"), file("a/a1.txt", "a1"),
                        dir("a/b"), file("a/b/b1.txt", "b1"), dir("a/b/c"),
                        file("a/b/c/c1.txt", "c1"), dir("d"), file("d/d1.txt", "d1"), dir("empty"),
                        link("to-outside", outside), link("to-a", "a")});
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
    ASSERT_EQ(cmn.LenByte(root + kanji257), 257);
    engine.fld_copy(1);

    expectTree(dst(1), {file(ok256, "fits"), dir(folder256)});
    Lines expected;
    for (const std::string& name : {folder257, long257, kanji257})
        expected.push_back(
            logEntry(root + name, "フルパスの文字が半角256文字を超えてます！ TTL=257byte"));
    std::sort(expected.begin(), expected.end());
    std::sort(errlog.entries.begin(), errlog.entries.end());
    EXPECT_EQ(errlog.entries, expected);
}

TEST_F(Walk, StaleTemporariesOfAKilledCopyAreRemovedFromVisitedFolders) {
    makeTree(dst(0), {file("a/.vornelnet-part-Ab12Cd", "cut"),
                      file(".vornelnet-part-XXXXXX", "cut"), file(".users-own", "keep")});
    engine.fld_copy(0);
    for (const TreeEntry& e : readTree(dst(0)))
        EXPECT_EQ(e.path.find(".vornelnet-part-"), std::string::npos);
    EXPECT_TRUE(holds(dst(0), file(".users-own", "keep")));
}

TEST_F(Walk, ALinkInPlaceOfADestinationFolderIsReplacedNotWrittenThrough) {
    const std::string outside = tmp / "outside";
    makeTree(outside, {});
    makeTree(dst(0), {link("a", outside)});
    engine.fld_copy(0);
    EXPECT_TRUE(readTree(outside).empty()) << "files were written through the link";
    EXPECT_EQ(readFile(dst(0) + "/a/a1.txt"), "a1");
}

TEST_F(Walk, CancelIsHonouredAfterTheCurrentFile) {
    be.onPump = [&](int) {
        if (!progress.only("cpfname=").empty()) m.Cancel_flg = 1;
    };
    engine.fld_copy(0);
    // "a" was found (and made) before a.txt; nothing after a.txt is touched.
    expectTree(dst(0), {dir("a"), file("a.txt", "a")});
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

TEST_F(Walk, ALevelMayHoldMoreFoldersThanTheOldTable) {
    // Ten thousand folders are made in memory where the machine has a memory file system:
    // on disk they would cost more time than the walk.
    std::string shm = "/dev/shm/vornel-walk-XXXXXX";
    const bool inMemory = ::mkdtemp(shm.data()) != nullptr;
    const std::string base = inMemory ? shm : tmp.str();
    m.Src_fld[0] = base + "/wide-src";
    m.Dst_fld[0] = base + "/wide-dst";
    std::vector<TreeEntry> many;
    for (int i = 0; i < 10002; ++i) many.push_back(dir(std::to_string(100000 + i)));
    many.push_back(file("110001/last.txt", "end"));
    makeTree(src(0), many);
    makeTree(dst(0), {});
    engine.fld_copy(0);
    EXPECT_EQ(readFile(dst(0) + "/110001/last.txt"), "end");
    EXPECT_TRUE(std::filesystem::is_directory(dst(0) + "/100000"));
    if (inMemory) std::filesystem::remove_all(shm);
}

using RealTree = EngineTest;

TEST_F(RealTree, IsBackedUpExactlyAndASecondRunCopiesNothing) {
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
    };
    usePair(0, visible);
    makeTree(src(0), {file(".bashrc", "x"), file(".cache/big", "x"),
                      file("ﾃﾞｰﾀ/.~lock.表 1.csv#", "x"), fifo("パイプ")});
    long copies = 0;
    engine.copyFault = [&](CopyStage s) {
        copies += s == CopyStage::OpenSource;
        return 0;
    };
    for (long expectedCopies : {6, 0}) {
        copies = 0;
        engine.backup(3);
        EXPECT_EQ(copies, expectedCopies) << "newer-only copies only what changed";
        expectTree(dst(0), visible);
        for (const TreeEntry& e : readTree(dst(0)))
            EXPECT_TRUE(e.kind != TreeEntry::File || e.mtime == kT) << e.path;
    }
    EXPECT_TRUE(errlog.entries.empty());
    EXPECT_EQ(historyLines(), stamped({"[Start]  [Manual]", "[Success]  [Manual]",
                                       "[Start]  [Manual]", "[Success]  [Manual]"}));
}

}  // namespace
}  // namespace vornel::test
