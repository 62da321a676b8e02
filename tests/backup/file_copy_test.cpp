// File_copy: the copy condition, the open-file rule and the failure paths. A run killed in the
// middle of a copy leaves the destination file old, never cut, and the next run removes what
// the killed one left.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

#include "backup/engine_fixture.h"

namespace vornel::test {
namespace {

class FileCopy : public EngineTest {
  protected:
    void SetUp() override { usePair(0); }
    const std::string s = tmp / "src1/f.txt";
    const std::string d = tmp / "dst1/f.txt";
};

TEST_F(FileCopy, NewerOnlyComparesToTheSecondAndAlwaysOverwriteDoesNot) {
    struct Case {
        const char* name;
        const char* copyOp;
        std::time_t src;
        long srcNs;
        std::time_t dst;
        bool copied;
    };
    const Case cases[] = {
        {"same second, later fraction", "1", kT, 900'000'000, kT, false},
        {"older", "1", kT - 60, 0, kT, false},
        {"newer by one second", "1", kT + 1, 0, kT, true},
        {"always overwrite, newer destination", "0", kT, 0, kT + 3600, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m.Copy_op = c.copyOp;
        makeTree(src(0), {file("f.txt", "new")});
        setMtime(s, c.src, c.srcNs);
        makeTree(dst(0), {file("f.txt", "old", c.dst)});
        engine.File_copy(s, d);
        EXPECT_EQ(readFile(d), c.copied ? "new" : "old");
    }
}

// What may keep a file from being copied, in each open-file mode. Skip mode leaves out a file
// in use or changed while copied, records it (even with the history off) and goes on; ignore
// mode copies it as it is. A destination without write permission is left out, or in ignore
// mode stops the run with a box naming both paths; tests run as root, so this is the program's
// own refusal. Between the listing and the copy a file may go, or an editor may save it by
// writing a new file and renaming it over the old one: neither is a failure; what has gone is
// not copied, what took its place is. An unknown open-file mode is an error of File_copy and
// stops the run. The old copy stays whole whenever nothing is copied.
TEST_F(FileCopy, WhatCannotBeCopiedIsLeftOutOrStopsTheRunAndTheOldCopyStays) {
    struct flock record {};
    record.l_type = F_WRLCK;
    const auto hold = [this](int flags, std::function<bool(int)> how) {
        return [this, flags, how] {
            const int fd = ::open(s.c_str(), flags);
            EXPECT_TRUE(fd >= 0 && how(fd));
            return fd;
        };
    };
    // Runs `change` once, at the given stage of the copy.
    const auto at = [this](CopyStage when, std::function<void()> change) {
        return [this, when, change] {
            engine.copyFault = [when, change, done = false](CopyStage stage) mutable {
                if (stage == when && !std::exchange(done, true)) change();
                return 0;
            };
            return -1;
        };
    };
    enum Kind { InUse, Refused, NoFailure };
    const struct {
        const char* name;
        std::function<int()> setUp;  // returns a descriptor to close afterwards, or -1
        Kind kind;
        TreeEntry after = file("f.txt", "new");  // at the destination when nothing failed
    } cases[] = {
        {"open for writing elsewhere", hold(O_WRONLY, [](int) { return true; }), InUse},
        {"exclusive flock", hold(O_RDONLY, [](int fd) { return ::flock(fd, LOCK_EX) == 0; }),
         InUse},
        {"record write lock",
         hold(O_RDWR, [&](int fd) { return ::fcntl(fd, F_OFD_SETLK, &record) == 0; }), InUse},
        {"changed while copied", at(CopyStage::SetAttributes, [&] { writeFile(s, "newer"); }),
         InUse},
        {"destination read-only",
         [&] {
             EXPECT_EQ(::chmod(d.c_str(), 0444), 0);
             return -1;
         },
         Refused},
        {"gone", at(CopyStage::OpenSource, [&] { std::filesystem::remove(s); }), NoFailure,
         file("f.txt", "old")},
        {"saved by rename",
         at(CopyStage::OpenSource,
            [&] {
                writeFile(tmp / "src1/f.txt~", "saved");
                std::filesystem::rename(tmp / "src1/f.txt~", s);
            }),
         NoFailure, file("f.txt", "saved")},
        {"replaced by a link",
         at(CopyStage::OpenSource,
            [&] {
                std::filesystem::remove(s);
                std::filesystem::create_symlink("elsewhere", s);
            }),
         NoFailure, link("f.txt", "elsewhere")},
    };
    m.Rec_op = "0";
    for (const std::string skip : {"1", "0", "skip"}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name + (" with Cp_skip " + skip));
            std::filesystem::remove(s);
            std::filesystem::remove(d);
            makeTree(src(0), {file("f.txt", "new", kT)});
            makeTree(dst(0), {file("f.txt", "old", kT - 10)});
            m.Cp_skip = skip;
            m.Cancel_flg = 0;
            be.boxes.clear();
            engine.copyFault = nullptr;
            const int fd = c.setUp();
            const bool unknown = skip == "skip";
            const bool fails = unknown || c.kind == Refused || (c.kind == InUse && skip == "1");
            const bool stops = skip != "1" && fails;
            if (stops) be.answerNextBox(kAnsOk);
            engine.File_copy(s, d);
            if (fd >= 0) ::close(fd);
            expectTree(dst(0), {fails ? file("f.txt", "old") : c.after});
            EXPECT_EQ(historyTags(),
                      fails && !stops ? Lines{"[Skiped Copy File] " + d + " [?]"} : Lines{});
            std::filesystem::remove(m.Hist_path);
            EXPECT_EQ(m.Cancel_flg, stops ? 1 : 0);
            ASSERT_EQ(be.boxes.size(), stops ? 1u : 0u);
            if (!stops) continue;
            const Lines shown = unknown ? Lines{"エラー番号13", "[File_copy]"}
                                        : Lines{"コピー元 = " + s + "\rコピー先 = " + d};
            for (const std::string& part : shown)
                EXPECT_NE(be.boxes[0].text.find(part), std::string::npos) << be.boxes[0].text;
            EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
        }
    }
}

// What a link keeps (its target, even a dangling one, and its time) is checked over a whole
// tree in walk_test.
TEST_F(FileCopy, ALinkWhoseTargetChangedIsReplaced) {
    makeTree(dst(0), {link("rel", "target.txt")});
    makeTree(src(0), {link("rel", "other.txt")});
    setMtime(dst(0) + "/rel", kT);
    setMtime(src(0) + "/rel", kT + 5);
    engine.File_copy(src(0) + "/rel", dst(0) + "/rel");
    expectTree(dst(0), {link("rel", "other.txt")});  // no temporary link left either
}

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
        EXPECT_TRUE(unnamed == 0 || readTree(dst(0)).empty());
    }

    engine.backup(HistOrigin::Manual);
    EXPECT_TRUE(temporaries().empty());
    EXPECT_EQ(readFile(dst(0) + "/big.bin"), big);
}

INSTANTIATE_TEST_SUITE_P(OldCopyOrNone, Crash, ::testing::Bool());

}  // namespace
}  // namespace vornel::test
