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

class Run : public EngineTest {
  protected:
    // Pairs 1..8 each hold one file named after the pair.
    static std::string fileOf(int k) { return "p" + std::to_string(k + 1) + ".txt"; }
    void useAllPairs() {
        for (int k = 0; k < 8; ++k) usePair(k, {file(fileOf(k), "x")});
    }
    // Which pairs' files reached their destination, as "11011111" for pairs 1..8.
    std::string copied() const {
        std::string out;
        for (int k = 0; k < 8; ++k)
            out += std::filesystem::exists(dst(k) + "/" + fileOf(k)) ? '1' : '0';
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

// The settings are reloaded first (here putting back the last pair's unsaved edit). Every pair
// that cannot be copied is passed over with a word in the history (skipped by the user) or the
// error log, and the run copies the others while the window shows the pair.
TEST_F(Run, PairsThatCannotBeCopiedArePassedOverWithAWordAndTheRestAreCopied) {
    useAllPairs();
    const std::string lastSrc = src(7);
    m.Src_fld[7].clear();
    onReload = [&] { m.Src_fld[7] = lastSrc; };
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
    const Lines& ev = progress.events;
    ASSERT_GE(ev.size(), 4u);
    EXPECT_EQ(Lines(ev.begin(), ev.begin() + 4),
              (Lines{"show", "Sysdat_read", "srcfld=" + src(0), "dstfld=" + dst(0)}));
    EXPECT_EQ(ev.back(), "hide");
    EXPECT_EQ(progress.count("Sysdat_read"), 1);
    EXPECT_EQ(errlog.entries,
              (Lines{logEntry(src(2), "エラーのため、このフォルダのコピーを中断しました（broken）"),
                     logEntry(tmp / "plain-file", "コピー元フォルダが見つかりません"),
                     logEntry(tmp / "gone", "コピー先フォルダが見つかりません"),
                     logEntry(src(6) + "/backup",
                              "コピー先フォルダがコピー元フォルダと同じか、その中にあります")}));
    EXPECT_EQ(engine.lastResult().errors, 4);
    EXPECT_EQ(historyTags(), (Lines{"[Start]  [Manual]", "[Skiped Setteing] " + src(1) + " [?]",
                                    "[Success]  [Manual]"}));
    EXPECT_EQ(be.sounds, std::vector<int>{0});

    std::filesystem::remove(m.Hist_path);
    m.Rec_op = "0";
    engine.backup(HistOrigin::ProgramOpen);
    EXPECT_EQ(historyTags(), Lines{"[Start]  [Prg open]"});
}

// A full disk under the program folder: an unattended run must not wait at a box (the fake
// desktop fails the test on any box it was not told to expect).
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
    EXPECT_EQ(historyTags(), Lines{"[Success]  [Timer]"});
    EXPECT_EQ(readFile(dst(0) + "/f.txt"), "x");
    // Outside a run someone is at the screen: the box stays.
    m.Hist_path = "/dev/full";
    be.answerNextBox(kAnsOk);
    write_hist(m, HistOutcome::Start, HistOrigin::Manual, "");
    EXPECT_EQ(be.boxes.size(), 1u);
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
    EXPECT_EQ(seen, std::vector{RunResult::Outcome::NotStarted});
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(historyTags().back(), "[Success]  [Manual]");
}

// Cancel while pair 3 copies its first file in the start-up run, which would open the
// countdown, and while the last pair copies its only one in a scheduled run that would shut down.
class Cancel : public Run, public ::testing::WithParamInterface<std::pair<int, HistOrigin>> {};

TEST_P(Cancel, FinishesTheFileStopsTheRunAndForgetsItsShutdown) {
    const auto [k, origin] = GetParam();
    m.Stup_sdown = true;
    m.St_sdown = m.Sdown_flg[0] = "1";
    m.Tm_no = 1;
    useAllPairs();
    onceShown("cpfname=" + fileOf(k), [&] { m.Cancel_flg = 1; });
    be.answerNextBox(kAnsOk);
    engine.backup(origin);

    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(copied(), std::string(k + 1, '1') + std::string(7 - k, '0'));
    EXPECT_EQ(historyTags(),
              (Lines{"[Start]  " + originTag(origin), "[Cancel]  " + originTag(origin)}));
    EXPECT_EQ(be.sounds, std::vector<int>{48}) << "the box's sound only, no beep";
    EXPECT_EQ(progress.events.back(), "hide");
    EXPECT_EQ(countdowns, 0);
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_EQ(exitCodeFor(engine.lastResult()), 1);
}

INSTANTIATE_TEST_SUITE_P(PairThreeAndTheLast, Cancel,
                         ::testing::Values(std::pair{2, HistOrigin::ProgramOpen},
                                           std::pair{7, HistOrigin::Timer}));

// A run that fails hides the copy window again, ends failed and gives up its shutdown: the
// settings cannot be reloaded (an error, shown in a box, or a load that said why it failed and
// leaves a "[Fail]" line), or memory ran out in a pair.
TEST_F(Run, AFailedRunHidesTheWindowAndGivesUpItsShutdown) {
    const struct {
        const char* name;
        std::function<void()> setUp;
        bool raises;
    } cases[] = {
        {"reload raises", [&] { onReload = [] { throw VbError(kErrFileNotFound); }; }, true},
        {"reload fails", [&] { reloadFails = true; }, false},
        {"no memory", [&] { engine.copyFault = [](CopyStage) -> int { throw std::bad_alloc(); }; },
         false},
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
        if (c.raises) be.answerNextBox(kAnsOk);
        m.Tm_no = 1;
        engine.backup(HistOrigin::Timer);
        EXPECT_EQ(historyTags(), (c.raises ? Lines{"[Start]  [Timer]"}
                                           : Lines{"[Start]  [Timer]", "[Fail]  [Timer]"}));
        EXPECT_EQ(be.boxes.size(), c.raises ? 1u : 0u);
        EXPECT_EQ(progress.events.back(), "hide");
        EXPECT_EQ(copied(), "00000000");
        EXPECT_TRUE(be.powerRequests.empty());
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
    const Lines open = {"[Start]  [Prg open]", "[Success]  [Prg open]"};
    const Lines timer = {"[Start]  [Timer]", "[Success]  [Timer]"};
    const Lines down = {"[Success]  [Shut Down]"};
    const Lines manual = {"[Start]  [Manual]", "[Success]  [Manual]"};
    const Lines close = {"[Start]  [Prg close]", "[Success]  [Prg close]"};
    const struct {
        HistOrigin origin;
        std::int16_t tmNo;
        std::string stSdown, recOp;
        std::optional<HistOrigin> laterOrigin;  // a run asked for during this one
        int countdowns;
        std::size_t shutdowns;
        std::vector<Lines> history;  // joined
    } cases[] = {
        {ProgramOpen, 0, "1", "1", {}, 1, 0, {open}},
        {ProgramOpen, 0, "0", "1", {}, 0, 0, {open}},
        {Timer, 2, "1", "0", {}, 0, 1, {{"[Start]  [Timer]"}, down}},
        {Timer, 1, "1", "1", {}, 0, 0, {timer}},
        {ProgramOpen, 0, "1", "1", Manual, 1, 0, {open, manual}},
        {Timer, 2, "1", "1", ProgramClose, 0, 1, {timer, down, close}},
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
        Lines history;
        for (const Lines& part : c.history) history.insert(history.end(), part.begin(), part.end());
        EXPECT_EQ(historyTags(), history);
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
            return;
        }
    };
    engine.backup(HistOrigin::Manual);
    EXPECT_EQ(historyTags(), (Lines{"[Start]  [Manual]", "[Success]  [Manual]", "[Start]  [Timer]",
                                    "[Success]  [Timer]", "[Success]  [Shut Down]",
                                    "[Start]  [Timer]", "[Success]  [Timer]"}));
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(linesWhenAnswered, (std::vector<std::size_t>{2, 5, 5, 5}));
}

// The manual start offers to save unsaved edits first and saves when the user agrees; backup
// and shutdown does the same without a save here, waits two seconds after the run, even a
// cancelled one, shuts down and ends the program.
TEST_F(Run, ManualStartOffersToSaveAndBackupThenShutdownShutsDownEvenAfterACancel) {
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

    calls.clear();
    updated = 0;
    onceShown("cpfname=f.txt", [&] { m.Cancel_flg = 1; });
    be.answerNextBox(kAnsOk);
    const double before = be.monotonicSeconds();
    bkup_exitwin(m, engine, hooks);
    EXPECT_EQ(calls, (Lines{"chg_confirm", "end"}));
    EXPECT_GE(be.monotonicSeconds() - before, 1.0);
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(historyTags(), (Lines{"[Start]  [Manual]", "[Success]  [Manual]", "[Start]  [Manual]",
                                    "[Cancel]  [Manual]"}));
}

TEST_F(Run, BackupThenShutdownDuringARunWaitsForItToReturn) {
    useAllPairs();
    int ended = 0;
    ManualStartHooks hooks{[&] { m.Upd_flg = 0; }, nullptr, [&] { ++ended; }};
    onceShown("cpfname=p1.txt", [&] {
        bkup_exit_bt(m, engine, hooks);
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
