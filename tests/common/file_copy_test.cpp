// FileCopy and the fail-safe copier under it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "common/kvcmn15.h"
#include "common/safe_copy.h"
#include "common/temp_file.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;
using Names = std::set<std::string>;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

void setTimes(const std::string& path, time_t sec, long nsec) {
    const struct timespec t[2] = {{sec - 100, 5}, {sec, nsec}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), t, 0), 0);
}

class FileCopyTest : public ::testing::Test {
  protected:
    Names names() const {
        Names n;
        for (const auto& e : fs::directory_iterator(dir.path())) n.insert(e.path().filename());
        return n;
    }
    test::FakeBackend be;
    KvCmn15 k{be};
    test::TempDir dir;
    std::string src = dir / "src.dat";
    std::string dst = dir / "dst.dat";
};

TEST_F(FileCopyTest, OverwritesKeepingContentsModificationTimeAndPermissions) {
    std::string big(3 * (1 << 20) + 12345, '\0');  // several chunks, and a part of one
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    for (const std::string& contents : {std::string("new contents"), std::string(), big}) {
        writeFile(src, contents);
        setTimes(src, 1600000000, 123456789);
        ASSERT_EQ(::chmod(src.c_str(), 0640), 0);
        writeFile(dst, "old contents that were longer");
        EXPECT_NE(k.FileCopy(src, dst), 0);
        const struct stat st = statOf(dst);  // before reading it sets the access time
        EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
        EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
        EXPECT_EQ(st.st_atim.tv_sec, 1600000000 - 100);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(readFile(dst), contents);
    }
    EXPECT_EQ(names(), (Names{"src.dat", "dst.dat"}));
}

// A missing source, a folder, a FIFO (never opened, so never blocking) or a link (never
// followed) is no file to copy; nor is a missing folder or a folder a destination.
TEST_F(FileCopyTest, FailureReportsZeroAndLeavesTheDestination) {
    writeFile(dst, "old");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    fs::create_symlink(src, dir / "link");
    writeFile(src, "new");
    for (const std::string& from : {dir / "missing", dir.str(), dir / "fifo", dir / "link"})
        EXPECT_EQ(k.FileCopy(from, dst), 0) << from;
    EXPECT_EQ(k.FileCopy(src, dir / "missing/dst.dat"), 0);
    fs::create_directory(dir / "folder");
    EXPECT_EQ(k.FileCopy(src, dir / "folder"), 0);
    EXPECT_EQ(readFile(dst), "old");
    EXPECT_EQ(names(), (Names{"src.dat", "dst.dat", "folder", "fifo", "link"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

// At every step of a copy, a failure leaves the old destination and no temporary file. Two
// program folders may back up into one destination: the sweep of one, run while the other is at
// any step of replacing a file (whose temporary file has a name), takes nothing from it.
TEST_F(FileCopyTest, AtEveryStepAFailureKeepsTheOldFileAndASweepTakesNothing) {
    writeFile(src, std::string(100000, 'n'));
    for (CopyStage stage : {CopyStage::OpenSource, CopyStage::CreateTemp, CopyStage::Write,
                            CopyStage::SetAttributes, CopyStage::Sync, CopyStage::Rename}) {
        SCOPED_TRACE(static_cast<int>(stage));
        writeFile(dst, "old");
        setTimes(dst, 1500000000, 1);
        CopyOptions opt;
        opt.syncData = true;
        std::vector<CopyStage> seen;
        opt.fault = [&](CopyStage s) {
            seen.push_back(s);
            return s == stage ? ENOSPC : 0;
        };
        const CopyResult r = copyFileSafely(src, dst, opt);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.err, ENOSPC);
        EXPECT_EQ(seen.back(), stage);
        EXPECT_EQ(readFile(dst), "old");
        EXPECT_EQ(statOf(dst).st_mtim.tv_sec, 1500000000);
        EXPECT_EQ(names(), (Names{"src.dat", "dst.dat"}));

        int swept = -1;
        opt.fault = [&](CopyStage s) {
            if (s == stage) swept = removeStaleCopyTemporaries(dir.str());
            return 0;
        };
        ASSERT_TRUE(copyFileSafely(src, dst, opt).ok);
        EXPECT_EQ(swept, 0);
        EXPECT_EQ(readFile(dst), std::string(100000, 'n'));
    }
}

// A file that does not exist yet is written without a name and linked in whole: abandoned, it
// leaves nothing; a name taken meanwhile is replaced like any file. A file system that cannot
// make such files gets a named temporary instead.
TEST_F(FileCopyTest, NewFilesAreWrittenWithoutANameWhereTheFileSystemCan) {
    struct NoUnnamedFiles : FileOps {
        int openUnnamed(int, int&) override { return EOPNOTSUPP; }
    } noUnnamed;
    Fd folder(::open(dir.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int probe = -1;
    const bool canHere = FileOps::real().openUnnamed(folder.get(), probe) == 0;
    Fd{probe};
    for (FileOps* ops : {&FileOps::real(), static_cast<FileOps*>(&noUnnamed)}) {
        const bool named = ops == &noUnnamed || !canHere;
        SCOPED_TRACE(named ? "named" : "unnamed");
        {
            TempFile abandoned;
            ASSERT_EQ(abandoned.createUnnamed(folder.get(), *ops), 0);
            EXPECT_EQ(names().size(), named ? 1u : 0u);
        }
        EXPECT_TRUE(names().empty());
        for (const bool appears : {false, true}) {
            TempFile tmp;
            ASSERT_EQ(tmp.createUnnamed(folder.get(), *ops), 0);
            ASSERT_EQ(tmp.write("new"), 0);
            if (appears) writeFile(dst, "appeared meanwhile");
            ASSERT_EQ(tmp.commit("dst.dat"), 0);
            EXPECT_EQ(readFile(dst), "new");
            EXPECT_EQ(names(), Names{"dst.dat"});
            fs::remove(dst);
        }
    }
}

TEST_F(FileCopyTest, StaleTemporariesAreRemovedAndNothingElse) {
    writeFile(dir / ".vornelnet-part-a1B2c3", "left by a killed copy");
    // One another running copy is still writing: it holds the lock.
    writeFile(dir / ".vornelnet-part-busy12", "being written");
    const int busy = ::open((dir / ".vornelnet-part-busy12").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(busy, LOCK_EX), 0);
    writeFile(dir / ".vornelnet-part-toolong", "user");
    writeFile(dir / "vornelnet-part-a1B2c3", "user");
    fs::create_directory(dir / ".vornelnet-part-dir123");
    // Links are copied through temporary links of the same form, so one left behind goes too.
    fs::create_symlink("/nowhere", dir / ".vornelnet-part-lnk123");
    EXPECT_EQ(removeStaleCopyTemporaries(dir.str()), 2);
    EXPECT_EQ(names(), (Names{".vornelnet-part-toolong", "vornelnet-part-a1B2c3",
                              ".vornelnet-part-dir123", ".vornelnet-part-busy12"}));
    EXPECT_EQ(removeStaleCopyTemporaries(dir / "missing"), 0);
    ::close(busy);
}

TEST_F(FileCopyTest, ReplaceFileContentsWritesNewFilesAndKeepsModesOfOldOnes) {
    EXPECT_EQ(replaceFileContents(dst, "one"), 0);
    EXPECT_EQ(readFile(dst), "one");
    ASSERT_EQ(::chmod(dst.c_str(), 0604), 0);
    EXPECT_EQ(replaceFileContents(dst, "two", true), 0);
    EXPECT_EQ(readFile(dst), "two");
    EXPECT_EQ(statOf(dst).st_mode & 07777, 0604u);
    EXPECT_NE(replaceFileContents(dir.str(), "x"), 0);
    EXPECT_NE(replaceFileContents(dir / "missing/f", "x"), 0);
    EXPECT_EQ(names(), Names{"dst.dat"});
}

}  // namespace
}  // namespace vornel
