// backup: the run over the pairs, its history lines, completion, cancel and overlap.
#include <map>
#include <new>
#include <optional>
#include <stdexcept>

#include "backup/engine_fixture.h"
#include "backup/manual_start.h"
#include "history/history.h"

namespace vornel::test {
namespace {

using Lines = std::vector<std::string>;
const std::string kStopped = "バックアップが中止されました！";

class Run : public EngineTest {
  protected:
    // Pairs 1..8 each hold one file named after the pair.
    void useAllPairs() {
        for (int k = 0; k < 8; ++k) usePair(k, {file("p" + std::to_string(k + 1) + ".txt", "x")});
    }
    // Which pairs' files reached their destination, as "11011111" for pairs 1..8.
    std::string copied() const {
        std::string out;
        for (int k = 0; k < 8; ++k) {
            const std::string f = dst(k) + "/p" + std::to_string(k + 1) + ".txt";
            out += std::filesystem::exists(f) ? '1' : '0';
        }
        return out;
    }
    // Runs `action` once, in the event pump, as soon as `event` was shown.
    void onceShown(const std::string& event, std::function<void()> action) {
        be.onPump = [this, event, action, done = false](int) mutable {
            if (done || progress.count(event) == 0) return;
            done = true;
            action();
        };
    }
};

// Every pair that cannot be copied is passed over with a word in the history (skipped by the
// user) or the error log, and the run copies the others.
TEST_F(Run, PairsThatCannotBeCopiedArePassedOverWithAWordAndTheRestAreCopied) {
    useAllPairs();
    m.Skip_flg[1] = "1";
    engine.copyFault = [&](CopyStage s) {
        if (s == CopyStage::OpenSource && progress.only("cpfname=").back() == "p3.txt")
            throw std::runtime_error("broken");
        return 0;
    };
    makeTree(tmp.str(), {file("plain-file", "")});
    m.Src_fld[3] = tmp / "plain-file";  // not a folder
    m.Dst_fld[4] = tmp / "gone";
    m.Dst_fld[5].clear();  // passed over without a report
    makeTree(src(6), {dir("backup")});
    m.Dst_fld[6] = src(6) + "/backup";
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(copied(), "10000001");
    EXPECT_EQ(errlog.entries,
              (Lines{logEntry(src(2), "エラーのため、このフォルダのコピーを中断しました（broken）"),
                     logEntry(tmp / "plain-file", "コピー元フォルダが見つかりません"),
                     logEntry(tmp / "gone", "コピー先フォルダが見つかりません"),
                     logEntry(src(6) + "/backup",
                              "コピー先フォルダがコピー元フォルダと同じか、その中にあります")}));
    expectTree(src(6), {file("p7.txt", "x"), dir("backup")});
    EXPECT_EQ(engine.lastResult().errors, 4);
    EXPECT_EQ(exitCodeFor(engine.lastResult()), 1) << "a script hears a pair was missed";
    EXPECT_EQ(historyLines(), stamped({"[Start]  [Manual]", "[Skiped Setteing] " + src(1) + " [?]",
                                       "[Success]  [Manual]"}));
    EXPECT_EQ(be.sounds, std::vector<int>{0});
    EXPECT_TRUE(be.boxes.empty());

    std::filesystem::remove(m.Hist_path);
    m.Rec_op = "0";
    engine.backup(HistOrigin::ProgramOpen);
    EXPECT_EQ(historyLines(), stamped({"[Start]  [Prg open]"}));
}

TEST_F(Run, TheSettingsAreReloadedFirstAndTheWindowShowsThePair) {
    usePair(0, {file("f.txt", "x")});
    usePair(1, {file("g.txt", "y")});
    const std::string pair2src = src(1);
    m.Src_fld[1].clear();  // an unsaved edit the reload puts back
    onReload = [&] { m.Src_fld[1] = pair2src; };
    engine.backup(HistOrigin::Manual);
    const Lines& ev = progress.events;
    ASSERT_GE(ev.size(), 4u);
    EXPECT_EQ(Lines(ev.begin(), ev.begin() + 4),
              (Lines{"show", "Sysdat_read", "srcfld=" + src(0), "dstfld=" + dst(0)}));
    EXPECT_EQ(ev.back(), "hide");
    EXPECT_EQ(progress.count("Sysdat_read"), 1);
    EXPECT_EQ(readFile(dst(1) + "/g.txt"), "y");
}

// A full disk under the program folder: an unattended run must not wait at a box.
TEST_F(Run, AHistoryFileThatCannotBeWrittenIsReportedOncePerRunAndTriedAgainForEachEvent) {
    usePair(0, {file("f.txt", "x")});
    const Lines once = {logEntry(
        "/dev/full", "履歴ファイルに書き込めません（ディスクの空き容量が不足しています）")};
    const std::string writable = m.Hist_path;
    for (int run = 0; run < 2; ++run) {
        m.Hist_path = "/dev/full";
        errlog.entries.clear();
        // In the second run the history comes back before the run ends.
        if (run == 1) onceShown("cpfname=f.txt", [&] { m.Hist_path = writable; });
        engine.backup(HistOrigin::Timer);
        EXPECT_EQ(errlog.entries, once);
    }
    EXPECT_EQ(historyLines(), stamped({"[Success]  [Timer]"}));
    EXPECT_EQ(readFile(dst(0) + "/f.txt"), "x");
    EXPECT_TRUE(be.boxes.empty());
    // Outside a run someone is at the screen: the box stays.
    m.Hist_path = "/dev/full";
    be.answerNextBox(kAnsOk);
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_NE(be.boxes[0].text.find("[write_hist]"), std::string::npos) << be.boxes[0].text;
    EXPECT_EQ(errlog.entries, once);
}

// A folder that cannot be opened when its turn comes (gone, renamed, or not readable for the
// user) is named in the error log; the rest of the pair is copied.
TEST_F(Run, AFolderThatCannotBeReadIsReportedNotLeftOutSilently) {
    usePair(0, {file("a.txt", "a"), file("sub/s.txt", "s"), file("z/z.txt", "z")});
    onceShown("cpfname=a.txt", [&] { std::filesystem::rename(src(0) + "/sub", tmp / "moved"); });
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(errlog.entries,
              Lines{logEntry(src(0) + "/sub",
                             "コピー元フォルダを読み込めません（移動または削除されました）")});
    expectTree(dst(0), {file("a.txt", "a"), dir("z"), file("z/z.txt", "z")});
}

// An exception that leaves the run (here from the countdown it opens) leaves no run marked as
// in progress, and whoever waited hears that the run did not complete.
TEST_F(Run, ARunLeftByAnExceptionIsNoLongerInProgressAndItsWaiterIsAnswered) {
    usePair(0, {file("p1.txt", "x")});
    m.Stup_sdown = true;
    m.St_sdown = "1";
    engine.setShowShutDownDialog([] { throw std::runtime_error("no window"); });
    std::vector<RunResult::Outcome> seen;
    engine.whenNextRunEnds([&](const RunResult& r) { seen.push_back(r.outcome); });
    EXPECT_THROW(engine.backup(HistOrigin::ProgramOpen), std::runtime_error);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(seen, std::vector{RunResult::Outcome::NotStarted});
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(historyLines().back(), stamped({"[Success]  [Manual]"})[0]);
}

// Cancel while pair 3 copies its first file, and while the last pair copies its only one.
class Cancel : public Run, public ::testing::WithParamInterface<int> {};

TEST_P(Cancel, FinishesTheFileStopsTheRunAndForgetsItsShutdown) {
    const int k = GetParam();
    m.Stup_sdown = true;
    m.St_sdown = m.Sdown_flg[0] = "1";
    m.Tm_no = 1;
    useAllPairs();
    if (k < 7) makeTree(src(k), {file("zz.txt", "after")});
    onceShown("cpfname=p" + std::to_string(k + 1) + ".txt", [&] { m.Cancel_flg = 1; });
    be.answerNextBox(kAnsOk);
    engine.backup(HistOrigin::Manual);

    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, kStopped);
    EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(m.Msg_ans, kAnsOk);
    EXPECT_EQ(copied(), std::string(k + 1, '1') + std::string(7 - k, '0'));
    EXPECT_FALSE(std::filesystem::exists(dst(k) + "/zz.txt"));
    EXPECT_EQ(historyLines(), stamped({"[Start]  [Manual]", "[Cancel]  [Manual]"}));
    EXPECT_EQ(be.sounds, std::vector<int>{48}) << "the box's sound only, no beep";
    EXPECT_EQ(progress.events.back(), "hide");
    EXPECT_EQ(m.Cancel_flg, 0);
    EXPECT_FALSE(m.Stup_sdown);
    EXPECT_EQ(m.Tm_no, 0);
    EXPECT_EQ(countdowns, 0);
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_EQ(engine.lastResult().outcome, RunResult::Outcome::Cancelled);
    EXPECT_EQ(exitCodeFor(engine.lastResult()), 1);
}

INSTANTIATE_TEST_SUITE_P(PairThreeAndTheLast, Cancel, ::testing::Values(2, 7));

// A run that fails hides the copy window again, ends failed and gives up its shutdown: the
// settings cannot be reloaded (an error, or a load that said why it failed), or memory ran
// out in a pair.
TEST_F(Run, AFailedRunHidesTheWindowAndGivesUpItsShutdown) {
    const struct {
        const char* name;
        std::function<void()> setUp;
        Lines history;
        std::size_t boxes;
    } cases[] = {
        {"reload raises",
         [&] { onReload = [] { throw VbError(kErrFileNotFound); }; },
         {"[Start]  [Timer]"},
         1},
        {"reload fails", [&] { reloadFails = true; }, {"[Start]  [Timer]", "[Fail]  [Timer]"}, 0},
        {"no memory",
         [&] { engine.copyFault = [](CopyStage) -> int { throw std::bad_alloc(); }; },
         {"[Start]  [Timer]", "[Fail]  [Timer]"},
         0},
    };
    useAllPairs();
    m.Sdown_flg[0] = "1";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m.Hist_path);
        onReload = nullptr;
        reloadFails = false;
        c.setUp();
        be.boxes.clear();
        if (c.boxes > 0) be.answerNextBox(kAnsOk);
        m.Tm_no = 1;
        engine.backup(HistOrigin::Timer);
        EXPECT_EQ(historyLines(), stamped(c.history));
        EXPECT_EQ(be.boxes.size(), c.boxes);
        EXPECT_EQ(progress.events.back(), "hide");
        EXPECT_EQ(copied(), "00000000");
        EXPECT_TRUE(be.powerRequests.empty());
        EXPECT_EQ(m.Tm_no, 0);
        EXPECT_TRUE(engine.lastResult().failed);
        EXPECT_FALSE(engine.running());
    }
    EXPECT_EQ(errlog.entries,
              Lines{logEntry(src(0), "メモリが不足しているため、バックアップを中止しました")});
}

// The start-up run opens the countdown and a scheduled run shuts down only when the user ticked
// it for that run. A run asked for meanwhile waits, with its own duties: a manual run after the
// start-up run opens no second countdown, the close-time run after a shutdown asks for none.
TEST_F(Run, CompletionOpensTheCountdownOrShutsDownOnlyWhenAskedFor) {
    using enum HistOrigin;
    const Lines startUp = {"[Start]  [Prg open]", "[Success]  [Prg open]"};
    const struct {
        HistOrigin origin;
        std::int16_t tmNo;
        std::string stSdown, recOp;
        std::optional<HistOrigin> laterOrigin;  // a run asked for during this one
        int countdowns;
        std::size_t shutdowns;
        Lines history;
    } cases[] = {
        {ProgramOpen, 0, "1", "1", {}, 1, 0, startUp},
        {ProgramOpen, 0, "0", "1", {}, 0, 0, startUp},
        {Timer, 2, "1", "0", {}, 0, 1, {"[Start]  [Timer]", "[Success]  [Shut Down]"}},
        {Timer, 1, "1", "1", {}, 0, 0, {"[Start]  [Timer]", "[Success]  [Timer]"}},
        {ProgramOpen,
         0,
         "1",
         "1",
         Manual,
         1,
         0,
         {"[Start]  [Prg open]", "[Success]  [Prg open]", "[Start]  [Manual]",
          "[Success]  [Manual]"}},
        {Timer,
         2,
         "1",
         "1",
         ProgramClose,
         0,
         1,
         {"[Start]  [Timer]", "[Success]  [Timer]", "[Success]  [Shut Down]",
          "[Start]  [Prg close]", "[Success]  [Prg close]"}},
    };
    useAllPairs();
    m.Sdown_flg = {"0", "1", "0"};  // only the second time of day asks for a shutdown
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        std::filesystem::remove(m.Hist_path);
        be.powerRequests.clear();
        countdowns = 0;
        be.onPump = nullptr;
        if (c.laterOrigin) onceShown("cpfname=p2.txt", [&] { engine.backup(*c.laterOrigin); });
        m.Stup_sdown = c.origin == ProgramOpen;
        m.St_sdown = c.stSdown;
        m.Rec_op = c.recOp;
        m.Tm_no = c.tmNo;
        engine.backup(c.origin);
        EXPECT_EQ(countdowns, c.countdowns);
        EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>(c.shutdowns, PowerRequest::Shutdown));
        EXPECT_EQ(historyLines(), stamped(c.history));
        EXPECT_FALSE(m.Stup_sdown);
        EXPECT_EQ(m.Tm_no, 0);
    }
}

// Each follows the run in progress, in the order asked for, once per time; a script's request
// made meanwhile is answered by the run that follows.
TEST_F(Run, ScheduledRunsDueDuringARunAllFollowInTimeOrderOncePerTime) {
    useAllPairs();
    m.Sdown_flg = {"0", "1", "0"};
    std::vector<std::size_t> linesWhenAnswered;
    const auto wait = [&] {
        engine.whenNextRunEnds(
            [&](const RunResult&) { linesWhenAnswered.push_back(historyLines().size()); });
    };
    wait();
    std::map<std::string, std::int16_t> due = {
        {"cpfname=p2.txt", 2}, {"cpfname=p4.txt", 1}, {"cpfname=p6.txt", 2}};
    be.onPump = [&](int) {
        for (auto it = due.begin(); it != due.end(); ++it) {
            if (progress.count(it->first) == 0) continue;
            // The schedule timer's tick, nested in the run's event pump.
            m.Tm_no = it->second;
            due.erase(it);
            wait();
            engine.backup(HistOrigin::Timer);
            EXPECT_EQ(m.Tm_no, 0) << "the running run keeps its own schedule number";
            return;
        }
    };
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(historyLines(),
              stamped({"[Start]  [Manual]", "[Success]  [Manual]", "[Start]  [Timer]",
                       "[Success]  [Timer]", "[Success]  [Shut Down]", "[Start]  [Timer]",
                       "[Success]  [Timer]"}));
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(m.Tm_no, 0);
    EXPECT_EQ(linesWhenAnswered, (std::vector<std::size_t>{2, 5, 5, 5}));
}

TEST_F(Run, ManualStartOffersToSaveThenRuns) {
    usePair(0, {file("f.txt", "x")});
    Lines calls;
    std::int16_t updated = 1;
    ManualStartHooks hooks{[&] {
                               calls.push_back("chg_confirm");
                               m.Upd_flg = updated;
                           },
                           [&] { calls.push_back("ok_bt_Click"); },
                           [&] { calls.push_back("end"); }};
    start_bkup(m, engine, hooks);
    EXPECT_EQ(calls, (Lines{"chg_confirm", "ok_bt_Click"}));
    EXPECT_EQ(historyLines().front(), stamped({"[Start]  [Manual]"})[0]);

    calls.clear();
    updated = 0;
    bkup_bt(m, engine, hooks);
    EXPECT_EQ(calls, Lines{"chg_confirm"});
    EXPECT_TRUE(be.powerRequests.empty());
}

TEST_F(Run, BackupThenShutdownWaitsTwoSecondsAndShutsDownEvenAfterACancel) {
    usePair(0, {file("f.txt", "x")});
    int ended = 0;
    ManualStartHooks hooks{[&] { m.Upd_flg = 0; }, nullptr, [&] { ++ended; }};
    onceShown("cpfname=f.txt", [&] { m.Cancel_flg = 1; });
    be.answerNextBox(kAnsOk);
    const double before = be.monotonicSeconds();
    bkup_exitwin(m, engine, hooks);
    EXPECT_EQ(historyLines().back(), stamped({"[Cancel]  [Manual]"})[0]);
    EXPECT_GE(be.monotonicSeconds() - before, 1.0);
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(ended, 1);

    be.onPump = nullptr;
    bkup_exit_bt(m, engine, hooks);
    EXPECT_EQ(be.powerRequests.size(), 2u);
    EXPECT_EQ(ended, 2);
}

TEST_F(Run, BackupThenShutdownDuringARunWaitsForItToReturn) {
    useAllPairs();
    int ended = 0;
    ManualStartHooks hooks{[&] { m.Upd_flg = 0; }, nullptr, [&] { ++ended; }};
    onceShown("cpfname=p1.txt", [&] {
        bkup_exitwin(m, engine, hooks);
        EXPECT_TRUE(be.powerRequests.empty()) << "shut down in the middle of a run";
    });
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(copied(), "11111111");
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(progress.count("show"), 2);
}

}  // namespace
}  // namespace vornel::test
