// A whole run over a tree like a user's: Japanese names, blanks, hidden files, links, a FIFO.
#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

constexpr std::time_t kT = 1'700'000'000;

using RealTree = EngineTest;

TEST_F(RealTree, IsBackedUpExactlyAndASecondRunCopiesNothing) {
    const std::vector<TreeEntry> visible = {
        file("報告書 2024.txt", "本文", kT),
        dir("ﾃﾞｰﾀ"),
        dir("My Documents"),
        dir("My Documents/写真"),
        file("ﾃﾞｰﾀ/表 1.csv", "a,b\r\n", kT),
        file("My Documents/notes.md", "# notes", kT),
        file("My Documents/写真/空.jpg", "", kT),
        dir("空のフォルダ"),
        link("最新", "報告書 2024.txt"),
        link("外へ", "/etc"),
    };
    const std::vector<TreeEntry> leftOut = {
        file(".bashrc", "x"),
        file(".cache/big", "x"),
        file("ﾃﾞｰﾀ/.~lock.表 1.csv#", "x"),
        fifo("パイプ"),
    };
    usePair(0, visible);
    makeTree(src(0), leftOut);
    long copies = 0;
    engine.copyFault = [&](CopyStage s) {
        copies += s == CopyStage::OpenSource;
        return 0;
    };

    engine.backup(3);
    expectTree(dst(0), visible);
    for (const TreeEntry& e : readTree(dst(0))) {
        if (e.kind == TreeEntry::File) {
            EXPECT_EQ(e.mtime, kT) << e.path;
        }
    }
    EXPECT_EQ(copies, 6);
    EXPECT_TRUE(errlog.entries.empty());

    copies = 0;
    engine.backup(3);
    EXPECT_EQ(copies, 0) << "newer-only copied unchanged files again";
    expectTree(dst(0), visible);
    EXPECT_EQ(
        historyLines(),
        (std::vector<std::string>{
            "2026/12/06 12:00:00 [Start]  [Manual]", "2026/12/06 12:00:00 [Success]  [Manual]",
            "2026/12/06 12:00:00 [Start]  [Manual]", "2026/12/06 12:00:00 [Success]  [Manual]"}));
}

}  // namespace
}  // namespace vornel::test
