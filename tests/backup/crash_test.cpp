// A run killed in the middle of a copy leaves every destination file old or new, never cut, and
// the next run removes what the killed one left.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

// A destination file system that can neither share data nor copy it inside the kernel: every
// copy goes through reads and writes, where a kill can cut a file short.
class ReadWriteOnly : public FileOps {
  public:
    int cloneData(int, int) override { return EOPNOTSUPP; }
    int copyRange(int, int, std::size_t, std::size_t&) override { return EXDEV; }
    int writeData(int fd, const char* data, std::size_t len, std::size_t& written) override {
        if (++writes == stopBeforeWrite && stop) stop();
        return FileOps::writeData(fd, data, len, written);
    }
    int writes = 0;
    int stopBeforeWrite = 0;
    std::function<void()> stop;
};

class Crash : public EngineTest {
  protected:
    Crash() { engine.fileOps = &ops; }

    // Runs a backup in a child process that stops for good where stopHere() is called, and
    // kills it there. Returns the temporary files that stood in the destination while the
    // child was stopped, so the kill landed while they existed.
    std::vector<std::string> runAndKill() {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("pipe");
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            stop_ = [&] {
                const char c = 'x';
                if (::write(ready[1], &c, 1) != 1) ::_exit(2);
                for (;;) ::pause();  // until the parent kills us
            };
            engine.backup(3);
            ::_exit(0);  // not stopped: the parent reads the end of the pipe
        }
        ::close(ready[1]);
        char c = 0;
        const bool stopped = pid > 0 && ::read(ready[0], &c, 1) == 1;
        const std::vector<std::string> found = temporaries();
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        ::close(ready[0]);
        EXPECT_TRUE(stopped) << "the run did not reach the point of the kill";
        EXPECT_EQ(temporaries(), found);
        return found;
    }
    void stopHere() {
        if (stop_) stop_();
    }

    std::vector<std::string> temporaries() {
        std::vector<std::string> out;
        for (const TreeEntry& e : readTree(dst(0)))
            if (isCopyTemporaryName(e.path)) out.push_back(dst(0) + "/" + e.path);
        return out;
    }

    ReadWriteOnly ops;
    std::function<void()> stop_;
};

TEST_F(Crash, KilledBeforeTheRenameKeepsTheOldFileAndTheNextRunCleansUp) {
    usePair(0, {file("a.txt", "new a", kT + 10), file("b.txt", "new b", kT + 10),
                file("c.txt", "new c", kT + 10)});
    makeTree(dst(0),
             {file("a.txt", "old a", kT), file("b.txt", "old b", kT), file("c.txt", "old c", kT)});
    int written = 0;
    engine.copyFault = [&](CopyStage s) {
        if (s == CopyStage::SetAttributes && written++ == 1) stopHere();  // b.txt written
        return 0;
    };
    const std::vector<std::string> left = runAndKill();
    ASSERT_EQ(left.size(), 1u);
    expectTree(dst(0), {file("a.txt", "new a"), file("b.txt", "old b"), file("c.txt", "old c"),
                        file(left[0].substr(dst(0).size() + 1), "new b")});

    engine.backup(3);
    expectTree(dst(0), {file("a.txt", "new a"), file("b.txt", "new b"), file("c.txt", "new c")});
}

TEST_F(Crash, KilledWhileABigFileIsBeingWrittenLeavesTheOldFile) {
    std::string big(8u << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + i / 4096);
    usePair(0, {file("big.bin", big, kT + 10)});
    makeTree(dst(0), {file("big.bin", "old", kT)});
    ops.stopBeforeWrite = 4;
    ops.stop = [this] { stopHere(); };
    const std::vector<std::string> left = runAndKill();
    ASSERT_EQ(left.size(), 1u);
    const std::string cut = readFile(left[0]);
    EXPECT_EQ(cut.size(), 3u << 20) << "three of eight chunks written";
    EXPECT_EQ(cut, big.substr(0, cut.size()));
    EXPECT_EQ(readFile(dst(0) + "/big.bin"), "old");

    engine.backup(3);
    EXPECT_TRUE(temporaries().empty());
    EXPECT_EQ(readFile(dst(0) + "/big.bin"), big);
}

}  // namespace
}  // namespace vornel::test
