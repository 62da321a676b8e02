// A run killed in the middle of a copy leaves every destination file old or new, never cut.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

class Crash : public EngineTest {
  protected:
    // Runs a backup in a child process, after `setUp`, and kills it with SIGKILL where it
    // calls stop_ (which waits on a pipe nobody writes). Returns whether it stopped there.
    bool runAndKill(const std::function<void()>& setUp) {
        int ready[2], never[2];
        if (::pipe(ready) != 0 || ::pipe(never) != 0) return false;
        const pid_t pid = ::fork();
        if (pid < 0) return false;
        if (pid == 0) {
            stop_ = [&] {
                char c = 'x';
                if (::write(ready[1], &c, 1) != 1) ::_exit(2);
                ::read(never[0], &c, 1);  // blocks until the parent kills us
                ::_exit(3);
            };
            setUp();
            engine.backup(3);
            const char c = 'd';  // finished without being stopped
            ::_exit(::write(ready[1], &c, 1) == 1 ? 0 : 2);
        }
        char c = 0;
        const bool read = ::read(ready[0], &c, 1) == 1;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        for (int fd : {ready[0], ready[1], never[0], never[1]}) ::close(fd);
        return read && c == 'x';
    }

    std::vector<std::string> temporaries() {
        std::vector<std::string> out;
        for (const TreeEntry& e : readTree(dst(0)))
            if (isCopyTemporaryName(e.path)) out.push_back(dst(0) + "/" + e.path);
        return out;
    }

    std::function<void()> stop_;
    int written_ = 0;
};

TEST_F(Crash, KilledBeforeTheRenameKeepsTheOldFileAndTheNextRunCleansUp) {
    usePair(0, {file("a.txt", "new a", kT + 10), file("b.txt", "new b", kT + 10),
                file("c.txt", "new c", kT + 10)});
    makeTree(dst(0),
             {file("a.txt", "old a", kT), file("b.txt", "old b", kT), file("c.txt", "old c", kT)});
    ASSERT_TRUE(runAndKill([this] {
        engine.copyFault = [this](CopyStage s) {
            if (s == CopyStage::SetAttributes && written_++ == 1) stop_();  // b.txt written
            return 0;
        };
    }));
    expectTree(dst(0), {file("a.txt", "new a"), file("b.txt", "old b"), file("c.txt", "old c"),
                        file(temporaries().at(0).substr(dst(0).size() + 1), "new b")});

    engine.backup(3);
    expectTree(dst(0), {file("a.txt", "new a"), file("b.txt", "new b"), file("c.txt", "new c")});
}

TEST_F(Crash, KilledWhileABigFileIsBeingWrittenLeavesOldOrNewOnly) {
    const std::string big(256u << 20, 'N');
    usePair(0, {file("big.bin", big, kT + 10)});
    makeTree(dst(0), {file("big.bin", "old", kT)});
    runAndKill([this] {
        // The copy lets events through between chunks: stop in the first such pump.
        engine.copyFault = [this](CopyStage s) {
            if (s == CopyStage::Write) be.onPump = [this](int) { stop_(); };
            return 0;
        };
    });
    const std::string now = readFile(dst(0) + "/big.bin");
    EXPECT_TRUE(now == "old" || now == big) << "cut to " << now.size() << " bytes";
    for (const std::string& t : temporaries()) EXPECT_LE(readFile(t).size(), big.size());

    engine.backup(3);
    EXPECT_TRUE(temporaries().empty());
    EXPECT_EQ(readFile(dst(0) + "/big.bin"), big);
}

}  // namespace
}  // namespace vornel::test
