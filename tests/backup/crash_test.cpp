// A run killed in the middle of a copy leaves every destination file old or new, never cut.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

constexpr std::time_t kT = 1'700'000'000;

class Crash : public EngineTest {
  protected:
    // Runs a backup in a child process that stops itself where `stopHere` says (by waiting
    // on a pipe nobody writes) and kills it there with SIGKILL.
    void runAndKill(const std::function<bool(BackupEngine&, RecordingProgress&)>& setUp) {
        int ready[2];
        int never[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(never), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            stop_ = [&] {
                char c = 'x';
                if (::write(ready[1], &c, 1) != 1) ::_exit(2);
                ::read(never[0], &c, 1);  // blocks until the parent kills us
                ::_exit(3);
            };
            setUp(engine, progress);
            engine.backup(3);
            char c = 'd';  // finished without being stopped
            ::_exit(::write(ready[1], &c, 1) == 1 ? 0 : 2);
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        for (int fd : {ready[0], ready[1], never[0], never[1]}) ::close(fd);
        stoppedMidCopy_ = c == 'x';
    }

    std::vector<std::string> temporaries(const std::string& folder) {
        std::vector<std::string> out;
        for (const TreeEntry& e : readTree(folder))
            if (isCopyTemporaryName(e.path)) out.push_back(folder + "/" + e.path);
        return out;
    }

    std::function<void()> stop_;
    bool stoppedMidCopy_ = false;
};

TEST_F(Crash, KilledBeforeTheRenameKeepsTheOldFileAndTheNextRunCleansUp) {
    usePair(0, {file("a.txt", "new a", kT + 10), file("b.txt", "new b", kT + 10),
                file("c.txt", "new c", kT + 10)});
    makeTree(dst(0),
             {file("a.txt", "old a", kT), file("b.txt", "old b", kT), file("c.txt", "old c", kT)});
    runAndKill([this](BackupEngine& e, RecordingProgress&) {
        auto count = std::make_shared<int>(0);
        e.copyFault = [this, count](CopyStage s) {
            if (s == CopyStage::SetAttributes && (*count)++ == 1) stop_();  // b.txt written
            return 0;
        };
        return true;
    });
    ASSERT_TRUE(stoppedMidCopy_);
    EXPECT_EQ(readFile(dst(0) + "/a.txt"), "new a");
    EXPECT_EQ(readFile(dst(0) + "/b.txt"), "old b");
    EXPECT_EQ(readFile(dst(0) + "/c.txt"), "old c");
    const auto stale = temporaries(dst(0));
    ASSERT_EQ(stale.size(), 1u);
    EXPECT_EQ(readFile(stale[0]), "new b");

    engine.backup(3);
    expectTree(dst(0), {file("a.txt", "new a"), file("b.txt", "new b"), file("c.txt", "new c")});
}

TEST_F(Crash, KilledWhileABigFileIsBeingWrittenLeavesOldOrNewOnly) {
    const std::string big(256u << 20, 'N');
    usePair(0, {file("big.bin", big, kT + 10)});
    makeTree(dst(0), {file("big.bin", "old", kT)});
    runAndKill([this](BackupEngine& e, RecordingProgress&) {
        auto copying = std::make_shared<bool>(false);
        e.copyFault = [copying](CopyStage s) {
            if (s == CopyStage::Write) *copying = true;
            return 0;
        };
        // The copy lets events through between chunks: stop in the first such pump.
        be.onPump = [this, copying](int) {
            if (*copying) stop_();
        };
        return true;
    });
    const std::string now = readFile(dst(0) + "/big.bin");
    EXPECT_TRUE(now == "old" || now == big) << "cut to " << now.size() << " bytes";
    for (const std::string& t : temporaries(dst(0))) EXPECT_LE(readFile(t).size(), big.size());

    engine.backup(3);
    EXPECT_TRUE(temporaries(dst(0)).empty());
    EXPECT_EQ(readFile(dst(0) + "/big.bin"), big);
}

}  // namespace
}  // namespace vornel::test
