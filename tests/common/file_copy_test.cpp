// FileCopy and the fail-safe copier under it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "common/kvcmn15.h"
#include "common/safe_copy.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

namespace fs = std::filesystem;
using test::FakeBackend;
using test::readFile;
using test::TempDir;
using test::writeFile;

std::set<std::string> namesIn(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.insert(e.path().filename());
    return names;
}

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
    FakeBackend be;
    KvCmn15 k{be};
    TempDir dir;
    std::string src = dir / "src.dat";
    std::string dst = dir / "dst.dat";
};

TEST_F(FileCopyTest, OverwritesAndReportsSuccess) {
    writeFile(src, "new contents");
    writeFile(dst, "old contents that were longer");
    EXPECT_NE(k.FileCopy(src, dst), 0);
    EXPECT_EQ(readFile(dst), "new contents");
    EXPECT_EQ(readFile(src), "new contents");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"src.dat", "dst.dat"}));
}

TEST_F(FileCopyTest, KeepsModificationTimeToTheNanosecondAndPermissions) {
    writeFile(src, "x");
    setTimes(src, 1600000000, 123456789);
    ASSERT_EQ(::chmod(src.c_str(), 0640), 0);
    ASSERT_NE(k.FileCopy(src, dst), 0);
    const struct stat st = statOf(dst);
    EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(st.st_atim.tv_sec, 1600000000 - 100);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(FileCopyTest, CopiesEmptyAndMultiChunkFilesExactly) {
    writeFile(src, "");
    ASSERT_NE(k.FileCopy(src, dst), 0);
    EXPECT_EQ(readFile(dst), "");
    std::string big(3 * (1 << 20) + 12345, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    writeFile(src, big);
    ASSERT_NE(k.FileCopy(src, dst), 0);
    EXPECT_EQ(readFile(dst), big);
}

TEST_F(FileCopyTest, FailureReportsZeroAndLeavesTheDestination) {
    writeFile(dst, "old");
    EXPECT_EQ(k.FileCopy(dir / "missing", dst), 0);
    EXPECT_EQ(k.FileCopy(dir.str(), dst), 0);  // a folder is no file
    writeFile(src, "new");
    EXPECT_EQ(k.FileCopy(src, dir / "missing/dst.dat"), 0);
    fs::create_directory(dir / "folder");
    EXPECT_EQ(k.FileCopy(src, dir / "folder"), 0);
    EXPECT_EQ(readFile(dst), "old");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"src.dat", "dst.dat", "folder"}));
    EXPECT_TRUE(fs::is_empty(dir / "folder"));
}

class CopyFaultTest : public ::testing::TestWithParam<CopyStage> {
  protected:
    TempDir dir;
    std::string src = dir / "src.dat";
    std::string dst = dir / "dst.dat";
};

TEST_P(CopyFaultTest, OldDestinationSurvivesAndNoTemporaryFileRemains) {
    writeFile(src, std::string(100000, 'n'));
    writeFile(dst, "old");
    setTimes(dst, 1500000000, 1);
    CopyOptions opt;
    opt.syncData = true;
    const CopyStage failing = GetParam();
    std::vector<CopyStage> seen;
    opt.fault = [&](CopyStage s) {
        seen.push_back(s);
        return s == failing ? ENOSPC : 0;
    };
    const CopyResult r = copyFileSafely(src, dst, opt);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.err, ENOSPC);
    EXPECT_EQ(seen.back(), failing);
    EXPECT_EQ(readFile(dst), "old");
    EXPECT_EQ(statOf(dst).st_mtim.tv_sec, 1500000000);
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"src.dat", "dst.dat"}));
}

INSTANTIATE_TEST_SUITE_P(EveryStage, CopyFaultTest,
                         ::testing::Values(CopyStage::OpenSource, CopyStage::CreateTemp,
                                           CopyStage::Write, CopyStage::SetAttributes,
                                           CopyStage::Sync, CopyStage::Rename));

TEST(SafeCopy, SourceChangedDuringTheCopyIsRefusedWhenAsked) {
    TempDir dir;
    const std::string src = dir / "src", dst = dir / "dst";
    writeFile(src, "first");
    writeFile(dst, "old");
    CopyOptions opt;
    opt.failIfSourceChanged = true;
    // Another program appends to the source after its data was read.
    opt.fault = [&](CopyStage s) {
        if (s == CopyStage::SetAttributes) writeFile(src, "first and more");
        return 0;
    };
    const CopyResult r = copyFileSafely(src, dst, opt);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, CopyFailure::SourceChanged);
    EXPECT_EQ(readFile(dst), "old");
    EXPECT_EQ(namesIn(dir), (std::set<std::string>{"src", "dst"}));
}

TEST(SafeCopy, AFifoIsRefusedWithoutBlocking) {
    TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const CopyResult r = copyFileSafely(fifo, dir / "dst");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, CopyFailure::SourceNotRegular);
    EXPECT_FALSE(fs::exists(dir / "dst"));
}

TEST(SafeCopy, ALinkIsNeverFollowed) {
    TempDir dir;
    writeFile(dir / "target", "t");
    fs::create_symlink(dir / "target", dir / "link");
    const CopyResult r = copyFileSafely(dir / "link", dir / "dst");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.failure, CopyFailure::SourceNotRegular);
    EXPECT_FALSE(fs::exists(dir / "dst"));
}

TEST(SafeCopy, StaleTemporariesAreRemovedAndNothingElse) {
    TempDir dir;
    writeFile(dir / ".vornelnet-part-a1B2c3", "left by a killed copy");
    writeFile(dir / ".vornelnet-part-toolong", "user");
    writeFile(dir / "vornelnet-part-a1B2c3", "user");
    fs::create_directory(dir / ".vornelnet-part-dir123");
    // Links are copied through temporary links of the same form, so one left behind goes too.
    fs::create_symlink("/nowhere", dir / ".vornelnet-part-lnk123");
    EXPECT_EQ(removeStaleCopyTemporaries(dir.str()), 2);
    EXPECT_EQ(namesIn(dir),
              (std::set<std::string>{".vornelnet-part-toolong", "vornelnet-part-a1B2c3",
                                     ".vornelnet-part-dir123"}));
    EXPECT_EQ(removeStaleCopyTemporaries(dir / "missing"), 0);
}

TEST(ReplaceFileContents, WritesNewFilesAndKeepsModesOfOldOnes) {
    TempDir dir;
    const std::string f = dir / "f";
    EXPECT_EQ(replaceFileContents(f, "one"), 0);
    EXPECT_EQ(readFile(f), "one");
    ASSERT_EQ(::chmod(f.c_str(), 0604), 0);
    EXPECT_EQ(replaceFileContents(f, "two", true), 0);
    EXPECT_EQ(readFile(f), "two");
    EXPECT_EQ(statOf(f).st_mode & 07777, 0604u);
    EXPECT_NE(replaceFileContents(dir.str(), "x"), 0);
    EXPECT_NE(replaceFileContents(dir / "missing/f", "x"), 0);
    EXPECT_EQ(namesIn(dir), std::set<std::string>{"f"});
}

}  // namespace
}  // namespace vornel
