// A run killed in the middle of a copy leaves the destination file old, never cut, and the next
// run removes what the killed one left.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

// A destination file system that can neither share data nor copy it inside the kernel: every
// copy goes through reads and writes, where a kill can cut a file short. Before the write
// numbered `stopBeforeWrite`, `stop` runs.
class ReadWriteOnly : public FileOps {
  public:
    int copyRange(int, int, std::size_t, std::size_t&) override { return EXDEV; }
    int writeData(int fd, const char* data, std::size_t len, std::size_t& written) override {
        if (++writes == stopBeforeWrite && stop) stop();
        return FileOps::writeData(fd, data, len, written);
    }
    int writes = 0;
    int stopBeforeWrite = 0;
    std::function<void()> stop;
};

// The files the child `pid` holds open in `folder` that have no name there: its copies of
// files new to the destination.
int unnamedFilesHeld(pid_t pid, const std::string& folder) {
    int n = 0;
    for (const auto& e :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        std::error_code ec;
        const std::string target = std::filesystem::read_symlink(e.path(), ec).string();
        if (target.rfind(folder + "/", 0) == 0 && target.ends_with(" (deleted)")) ++n;
    }
    return n;
}

class Crash : public EngineTest, public ::testing::WithParamInterface<bool> {};

// With an old copy at the destination the new one is written under a temporary name the next
// run removes; a file new to the destination is written without a name and leaves nothing.
TEST_P(Crash, KilledWhileABigFileIsBeingWrittenLeavesTheOldFileOrNothing) {
    const bool oldCopy = GetParam();
    std::string big(8u << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    usePair(0, {file("big.bin", big, kT + 10)});
    if (oldCopy) makeTree(dst(0), {file("big.bin", "old", kT)});
    const auto temporaries = [&] {
        std::vector<std::string> out;
        for (const TreeEntry& e : readTree(dst(0)))
            if (isCopyTemporaryName(e.path)) out.push_back(dst(0) + "/" + e.path);
        return out;
    };
    ReadWriteOnly ops;
    engine.fileOps = &ops;
    ops.stopBeforeWrite = 4;

    // The run goes on in a child that stops for good before its fourth write; the test looks
    // at the destination while it stands still, so the kill lands while a temporary exists.
    int ready[2];
    if (::pipe(ready) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ops.stop = [&] {
            if (::write(ready[1], "x", 1) != 1) ::_exit(2);
            for (;;) ::pause();
        };
        engine.backup(HistOrigin::Manual);
        ::_exit(0);  // not stopped: the parent reads the end of the pipe
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_TRUE(pid > 0 && ::read(ready[0], &c, 1) == 1) << "the run did not stop mid-copy";
    ::close(ready[0]);
    const std::vector<std::string> left = temporaries();
    const std::string cut = left.size() == 1 ? readFile(left[0]) : "";
    const int unnamed = unnamedFilesHeld(pid, dst(0));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    if (oldCopy) {
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(temporaries(), left);
        EXPECT_EQ(cut.size(), 3u << 20) << "three of eight chunks written";
        EXPECT_EQ(cut, big.substr(0, cut.size()));
        EXPECT_EQ(readFile(dst(0) + "/big.bin"), "old");
    } else {
        EXPECT_EQ(left.size() + static_cast<std::size_t>(unnamed), 1u);
        if (unnamed == 1) {
            EXPECT_TRUE(readTree(dst(0)).empty());
        }
    }

    engine.backup(HistOrigin::Manual);
    EXPECT_TRUE(temporaries().empty());
    EXPECT_EQ(readFile(dst(0) + "/big.bin"), big);
}

INSTANTIATE_TEST_SUITE_P(OldCopyOrNone, Crash, ::testing::Bool());

}  // namespace
}  // namespace vornel::test
