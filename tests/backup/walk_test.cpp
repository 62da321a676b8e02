// fld_copy: the level-by-level walk, what it leaves out, path lengths and the labels.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

TEST_F(Walk, FilesOfALevelComeBeforeTheNextLevelAndFoldersAreMadeAsFound) {
    engine.fld_copy(0);
    // Root files first, then every depth-1 folder, then depth 2, then depth 3.
    EXPECT_EQ(progress.only("subfld="),
              (std::vector<std::string>{"", "/a", "/d", "/empty", "/a/b", "/a/b/c"}));
    EXPECT_EQ(progress.only("cpfname="),
              (std::vector<std::string>{"a.txt", "z.txt", "a1.txt", "d1.txt", "b1.txt", "c1.txt"}));
    expectTree(dst(0),
               {file("a.txt", "a"), file("z.txt", "z"), dir("a"), file("a/a1.txt", "a1"),
                dir("a/b"), file("a/b/b1.txt", "b1"), dir("a/b/c"), file("a/b/c/c1.txt", "c1"),
                dir("d"), file("d/d1.txt", "d1"), dir("empty")});
    EXPECT_TRUE(errlog.entries.empty());
}

TEST_F(Walk, SubfoldersOffCopiesOnlyTheRootFiles) {
    m.Subfld_flg[0] = "0";
    engine.fld_copy(0);
    expectTree(dst(0), {file("a.txt", "a"), file("z.txt", "z")});
    EXPECT_EQ(progress.only("subfld="), std::vector<std::string>{""});
}

TEST_F(Walk, EachFileIsAnnouncedWithItsSizeAndTheLabelsAreEmptiedAfterIt) {
    makeTree(src(0), {file("a.txt", std::string(1234567, 'x')), file("z.txt", "")});
    m.Subfld_flg[0] = "0";
    engine.fld_copy(0);
    EXPECT_EQ(progress.only("filesize="), (std::vector<std::string>{"1,234,567 byte", " byte"}));
    // Labels are set, the file copied, then both labels emptied.
    const auto& ev = progress.events;
    auto at = std::find(ev.begin(), ev.end(), "cpfname=a.txt");
    ASSERT_NE(at, ev.end());
    EXPECT_EQ(*(at + 1), "filesize=1,234,567 byte");
}

TEST(SizeLabel, GroupsDigitsByThreeAndShowsNothingForZero) {
    EXPECT_EQ(sizeLabel(0), " byte");
    EXPECT_EQ(sizeLabel(7), "7 byte");
    EXPECT_EQ(sizeLabel(999), "999 byte");
    EXPECT_EQ(sizeLabel(1000), "1,000 byte");
    EXPECT_EQ(sizeLabel(123456789012LL), "123,456,789,012 byte");
}

TEST_F(Walk, HiddenAndSpecialEntriesAreLeftOutAndLinksAreNotFollowed) {
    const std::string outside = tmp / "outside";
    makeTree(outside, {file("secret.txt", "s")});
    makeTree(src(0), {file(".hidden", "h"), file(".hdir/in.txt", "i"), fifo("pipe"),
                      link("to-outside", outside), link("to-a", "a")});
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        struct sockaddr_un addr {};
        addr.sun_family = AF_UNIX;
        const std::string path = src(0) + "/sock";
        ASSERT_LT(path.size(), sizeof addr.sun_path);
        std::copy(path.begin(), path.end(), addr.sun_path);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ::close(fd);
    }
    engine.fld_copy(0);
    std::vector<TreeEntry> got = readTree(dst(0));
    for (const TreeEntry& e : got) {
        EXPECT_NE(e.path.front(), '.') << e.path;
        EXPECT_NE(e.path, "pipe");
        EXPECT_NE(e.path, "sock");
        EXPECT_EQ(e.path.find("secret"), std::string::npos) << "a link was followed";
    }
    EXPECT_NE(std::find(got.begin(), got.end(), link("to-outside", outside)), got.end());
    EXPECT_NE(std::find(got.begin(), got.end(), link("to-a", "a")), got.end());
}

TEST_F(Walk, FullPathsOver256BytesAreReportedAndNotCopied) {
    // Names are padded so the full source path has exactly the wanted length in code page
    // 932 bytes; "資" counts two.
    usePair(1);
    const std::string root = src(1) + "/";
    auto named = [&](std::size_t total, const std::string& head) {
        return head + std::string(total - root.size() - head.size(), 'n');
    };
    const std::string ok256 = named(256, "f");
    const std::string long257 = named(257, "g");
    const std::string kanji257 = "資" + named(255, "h");  // 2 + (255 - root) bytes
    const std::string folder257 = named(257, "d");
    const std::string folder256 = named(256, "e");
    makeTree(src(1), {file(ok256, "fits"), file(long257, "x"), file(kanji257, "x"),
                      file(folder257 + "/inner", "x"), dir(folder256)});
    ASSERT_EQ(cmn.LenByte(root + kanji257), 257);
    engine.fld_copy(1);

    expectTree(dst(1), {file(ok256, "fits"), dir(folder256)});
    ASSERT_EQ(errlog.entries.size(), 3u);
    for (const std::string& name : {folder257, long257, kanji257}) {
        const std::string entry =
            "2026/12/06 " + root + name +
            "\r\n\t  [フルパスの文字が半角256文字を超えてます！ TTL=257byte]\r\n";
        EXPECT_NE(std::find(errlog.entries.begin(), errlog.entries.end(), entry),
                  errlog.entries.end())
            << name;
    }
}

TEST_F(Walk, StaleTemporariesOfAKilledCopyAreRemovedFromVisitedFolders) {
    makeTree(dst(0), {file("a/.vornelnet-part-Ab12Cd", "cut"),
                      file(".vornelnet-part-XXXXXX", "cut"), file(".users-own", "keep")});
    engine.fld_copy(0);
    std::vector<TreeEntry> got = readTree(dst(0));
    for (const TreeEntry& e : got) EXPECT_EQ(e.path.find(".vornelnet-part-"), std::string::npos);
    EXPECT_NE(std::find(got.begin(), got.end(), file(".users-own", "keep")), got.end());
}

TEST_F(Walk, ALinkInPlaceOfADestinationFolderIsReplacedNotWrittenThrough) {
    const std::string outside = tmp / "outside";
    makeTree(outside, {dir("")});
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

TEST_F(Walk, ALevelMayHoldMoreFoldersThanTheOldTable) {
    // Ten thousand folders are made in memory where the machine has a memory file system:
    // on disk they would cost more time than the walk.
    std::string shm = "/dev/shm/vornel-walk-XXXXXX";
    const bool inMemory = ::mkdtemp(shm.data()) != nullptr;
    const std::string base = inMemory ? shm : tmp.str();
    m.Src_fld[0] = base + "/wide-src";
    m.Dst_fld[0] = base + "/wide-dst";
    std::vector<TreeEntry> many{dir("")};
    for (int i = 0; i < 10002; ++i) many.push_back(dir(std::to_string(100000 + i)));
    many.push_back(file("110001/last.txt", "end"));
    makeTree(src(0), many);
    makeTree(dst(0), {dir("")});
    engine.fld_copy(0);
    EXPECT_EQ(readFile(dst(0) + "/110001/last.txt"), "end");
    EXPECT_TRUE(std::filesystem::is_directory(dst(0) + "/100000"));
    if (inMemory) std::filesystem::remove_all(shm);
}

}  // namespace
}  // namespace vornel::test
