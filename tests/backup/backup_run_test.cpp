// backup: the run over the pairs, its history lines, completion, cancel and overlap.
#include <map>
#include <new>
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

TEST_F(Run, SkippedPairsAreRecordedBetweenStartAndSuccessOnlyWithHistoryOn) {
    useAllPairs();
    m.Skip_flg[1] = m.Skip_flg[7] = "1";
    engine.backup(3);
    EXPECT_EQ(historyLines(),
              stamped({"[Start]  [Manual]", "[Skiped Setteing] " + src(1) + " [?]",
                       "[Skiped Setteing] " + src(7) + " [?]", "[Success]  [Manual]"}));
    EXPECT_EQ(copied(), "10111110");
    EXPECT_EQ(be.sounds, std::vector<int>{0});
    EXPECT_TRUE(be.boxes.empty());

    std::filesystem::remove(m.Hist_path);
    m.Rec_op = "0";
    engine.backup(0);
    EXPECT_EQ(historyLines(), stamped({"[Start]  [Prg open]"}));
}

TEST_F(Run, TheSettingsAreReloadedFirstAndTheWindowShowsThePair) {
    usePair(0, {file("f.txt", "x")});
    usePair(1, {file("g.txt", "y")});
    const std::string pair2src = src(1);
    m.Src_fld[1].clear();  // an unsaved edit the reload puts back
    onReload = [&] { m.Src_fld[1] = pair2src; };
    engine.backup(3);
    const Lines& ev = progress.events;
    ASSERT_GE(ev.size(), 4u);
    EXPECT_EQ(Lines(ev.begin(), ev.begin() + 4),
              (Lines{"show", "Sysdat_read", "srcfld=" + src(0), "dstfld=" + dst(0)}));
    EXPECT_EQ(ev.back(), "hide");
    EXPECT_EQ(progress.count("Sysdat_read"), 1);
    EXPECT_EQ(readFile(dst(1) + "/g.txt"), "y");
}

TEST_F(Run, MissingFoldersGoToTheErrorLogAndTheRunGoesOn) {
    useAllPairs();
    m.Src_fld[1] = tmp / "gone";
    m.Dst_fld[2] = tmp / "gone too";
    m.Dst_fld[3].clear();  // passed over without a report
    makeTree(tmp.str(), {file("plain-file", "")});
    m.Src_fld[4] = tmp / "plain-file";  // not a folder
    engine.backup(3);
    EXPECT_EQ(errlog.entries,
              (Lines{logEntry(tmp / "gone", "コピー元フォルダが見つかりません"),
                     logEntry(tmp / "gone too", "コピー先フォルダが見つかりません"),
                     logEntry(tmp / "plain-file", "コピー元フォルダが見つかりません")}));
    EXPECT_EQ(copied(), "10000111");
    EXPECT_EQ(historyLines().back(), stamped({"[Success]  [Manual]"})[0]);
}

TEST_F(Run, ADestinationInsideItsSourceIsReportedAndNothingIsCopied) {
    usePair(0, {file("f.txt", "x"), dir("backup")});
    m.Dst_fld[0] = src(0) + "/backup";
    usePair(1, {file("g.txt", "y")});
    m.Dst_fld[1] = src(1);
    engine.backup(3);
    const std::string why = "コピー先フォルダがコピー元フォルダと同じか、その中にあります";
    EXPECT_EQ(errlog.entries, (Lines{logEntry(src(0) + "/backup", why), logEntry(src(1), why)}));
    expectTree(src(0), {file("f.txt", "x"), dir("backup")});
    expectTree(src(1), {file("g.txt", "y")});
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
        engine.backup(2);
        EXPECT_EQ(errlog.entries, once);
    }
    EXPECT_EQ(historyLines(), stamped({"[Success]  [Timer]"}));
    EXPECT_EQ(readFile(dst(0) + "/f.txt"), "x");
    EXPECT_TRUE(be.boxes.empty());
    // Outside a run someone is at the screen: the box stays.
    m.Hist_path = "/dev/full";
    be.answerNextBox(kAnsOk);
    write_hist(m, 6, 3, "");
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_NE(be.boxes[0].text.find("[write_hist]"), std::string::npos) << be.boxes[0].text;
    EXPECT_EQ(errlog.entries, once);
}

// A folder that cannot be opened when its turn comes (gone, renamed, or not readable for the
// user) is named in the error log; the rest of the pair is copied.
TEST_F(Run, AFolderThatCannotBeReadIsReportedNotLeftOutSilently) {
    usePair(0, {file("a.txt", "a"), file("sub/s.txt", "s"), file("z/z.txt", "z")});
    onceShown("cpfname=a.txt", [&] { std::filesystem::rename(src(0) + "/sub", tmp / "moved"); });
    engine.backup(3);
    EXPECT_EQ(errlog.entries,
              Lines{logEntry(src(0) + "/sub",
                             "コピー元フォルダを読み込めません（移動または削除されました）")});
    expectTree(dst(0), {file("a.txt", "a"), dir("z"), file("z/z.txt", "z")});
}

// What goes wrong inside one pair is written in the error log and the run goes on with the
// next pair; running out of memory ends the whole run as failed, with its power duties.
TEST_F(Run, AnErrorInAPairIsLoggedAndRunningOutOfMemoryEndsTheRunAsFailed) {
    const struct {
        const char* name;
        std::function<void()> raise;
        std::string copied, message;
        Lines history;
    } cases[] = {
        {"an error",
         [] { throw std::runtime_error("broken"); },
         "11011111",
         "エラーのため、このフォルダのコピーを中断しました（broken）",
         {"[Start]  [Timer]", "[Success]  [Timer]", "[Success]  [Shut Down]"}},
        {"no memory",
         [] { throw std::bad_alloc(); },
         "11000000",
         "メモリが不足しているため、バックアップを中止しました",
         {"[Start]  [Timer]", "[Fail]  [Timer]"}},
    };
    m.Sdown_flg[0] = "1";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(tmp.str());
        useAllPairs();
        errlog.entries.clear();
        be.powerRequests.clear();
        engine.copyFault = [&](CopyStage s) {
            if (s == CopyStage::OpenSource && progress.only("cpfname=").back() == "p3.txt")
                c.raise();
            return 0;
        };
        m.Tm_no = 1;
        engine.backup(2);
        EXPECT_EQ(copied(), c.copied);
        EXPECT_EQ(errlog.entries, Lines{logEntry(src(2), c.message)});
        EXPECT_EQ(historyLines(), stamped(c.history));
        EXPECT_EQ(engine.lastResult().failed, c.history.size() == 2);
        EXPECT_EQ(be.powerRequests.size(), c.history.size() == 2 ? 0u : 1u);
        EXPECT_EQ(progress.events.back(), "hide");
        EXPECT_FALSE(engine.running());
    }
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
    EXPECT_THROW(engine.backup(0), std::runtime_error);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(seen, std::vector{RunResult::Outcome::NotStarted});
    engine.backup(3);
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
    engine.backup(3);

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
}

INSTANTIATE_TEST_SUITE_P(PairThreeAndTheLast, Cancel, ::testing::Values(2, 7));

TEST_F(Run, ACopyThatFailsInIgnoreModeLeadsIntoTheCancelPath) {
    m.Cp_skip = "0";
    useAllPairs();
    engine.copyFault = [](CopyStage s) { return s == CopyStage::Write ? ENOSPC : 0; };
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    engine.backup(3);
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[1].text, kStopped);
    EXPECT_EQ(copied(), "00000000");
}

TEST_F(Run, CompletionOpensTheCountdownOrShutsDownOnlyWhenAskedFor) {
    const struct {
        std::int16_t origin, tmNo;
        std::string stSdown, recOp;
        int countdowns;
        bool shutdown;
        Lines history;
    } cases[] = {
        {0, 0, "1", "1", 1, false, {"[Start]  [Prg open]", "[Success]  [Prg open]"}},
        {0, 0, "0", "1", 0, false, {"[Start]  [Prg open]", "[Success]  [Prg open]"}},
        {2, 2, "1", "0", 0, true, {"[Start]  [Timer]", "[Success]  [Shut Down]"}},
        {2, 1, "1", "1", 0, false, {"[Start]  [Timer]", "[Success]  [Timer]"}},
    };
    m.Sdown_flg = {"0", "1", "0"};  // only the second time of day asks for a shutdown
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        std::filesystem::remove(m.Hist_path);
        be.powerRequests.clear();
        countdowns = 0;
        m.Stup_sdown = c.origin == 0;
        m.St_sdown = c.stSdown;
        m.Rec_op = c.recOp;
        m.Tm_no = c.tmNo;
        engine.backup(c.origin);
        EXPECT_EQ(countdowns, c.countdowns);
        EXPECT_EQ(be.powerRequests.size(), c.shutdown ? 1u : 0u);
        EXPECT_TRUE(be.powerRequests.empty() || be.powerRequests[0] == PowerRequest::Shutdown);
        EXPECT_EQ(historyLines(), stamped(c.history));
        EXPECT_FALSE(m.Stup_sdown);
        EXPECT_EQ(m.Tm_no, 0);
    }
}

TEST_F(Run, AnErrorBeforeThePairsHidesTheWindowAgain) {
    usePair(0, {file("p1.txt", "x")});
    m.Tm_no = 1;
    m.Sdown_flg[0] = "1";
    onReload = [] { throw VbError(kErrFileNotFound); };
    be.answerNextBox(kAnsOk);
    engine.backup(2);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_NE(be.boxes[0].text.find("[backup]"), std::string::npos);
    EXPECT_EQ(progress.events, (Lines{"show", "Sysdat_read", "hide"}));
    EXPECT_EQ(copied()[0], '0');
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_FALSE(engine.running());
}

TEST_F(Run, SettingsThatCouldNotBeReloadedStopTheRunWithAFailLine) {
    usePair(0, {file("p1.txt", "x")});
    m.Tm_no = 1;
    m.Sdown_flg[0] = "1";
    reloadFails = true;
    engine.backup(2);
    EXPECT_EQ(historyLines(), stamped({"[Start]  [Timer]", "[Fail]  [Timer]"}));
    EXPECT_EQ(progress.events, (Lines{"show", "Sysdat_read", "hide"}));
    EXPECT_EQ(copied()[0], '0');
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_EQ(m.Tm_no, 0);
}

TEST_F(Run, ARequestMadeDuringARunWaitsWithItsOwnPowerDuties) {
    // A manual run asked for during the start-up run ends in no second countdown; the
    // close-time run asked for during a run with a shutdown asks for no second one.
    const Lines manualAfterStartUp = {"[Start]  [Prg open]", "[Success]  [Prg open]",
                                      "[Start]  [Manual]", "[Success]  [Manual]"};
    const Lines closeAfterTimer = {"[Start]  [Timer]", "[Success]  [Timer]",
                                   "[Success]  [Shut Down]", "[Start]  [Prg close]",
                                   "[Success]  [Prg close]"};
    const struct {
        std::int16_t origin, tmNo, laterOrigin;
        int countdowns;
        std::size_t shutdowns;
        const Lines& history;
    } cases[] = {{0, 0, 3, 1, 0, manualAfterStartUp}, {2, 2, 1, 0, 1, closeAfterTimer}};
    useAllPairs();
    m.St_sdown = "1";
    m.Sdown_flg = {"0", "1", "0"};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        std::filesystem::remove(m.Hist_path);
        be.powerRequests.clear();
        countdowns = 0;
        onceShown("cpfname=p2.txt", [&] { engine.backup(c.laterOrigin); });
        m.Stup_sdown = c.origin == 0;
        m.Tm_no = c.tmNo;
        engine.backup(c.origin);
        EXPECT_EQ(countdowns, c.countdowns);
        EXPECT_EQ(be.powerRequests.size(), c.shutdowns);
        EXPECT_EQ(historyLines(), stamped(c.history));
    }
}

TEST_F(Run, ScheduledRunsDueDuringARunAllFollowInTimeOrderOncePerTime) {
    useAllPairs();
    m.Sdown_flg = {"0", "1", "0"};
    std::map<std::string, std::int16_t> due = {
        {"cpfname=p2.txt", 2}, {"cpfname=p4.txt", 1}, {"cpfname=p6.txt", 2}};
    be.onPump = [&](int) {
        for (auto it = due.begin(); it != due.end(); ++it) {
            if (progress.count(it->first) == 0) continue;
            // The schedule timer's tick, nested in the run's event pump.
            m.Tm_no = it->second;
            due.erase(it);
            engine.backup(2);
            EXPECT_EQ(m.Tm_no, 0) << "the running run keeps its own schedule number";
            return;
        }
    };
    engine.backup(3);
    EXPECT_EQ(historyLines(),
              stamped({"[Start]  [Manual]", "[Success]  [Manual]", "[Start]  [Timer]",
                       "[Success]  [Timer]", "[Success]  [Shut Down]", "[Start]  [Timer]",
                       "[Success]  [Timer]"}));
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(m.Tm_no, 0);
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
    engine.backup(3);
    EXPECT_EQ(copied(), "11111111");
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(progress.count("show"), 2);
}

}  // namespace
}  // namespace vornel::test

namespace vornel::test {
namespace {

// What a script asking for a backup learns: the outcome of the run that serves its request.
TEST_F(Run, TheNextRunReportsItsOutcomeAndTheExitCodeAScriptSees) {
    useAllPairs();
    std::vector<RunResult> seen;
    const auto wait = [&] {
        engine.whenNextRunEnds([&](const RunResult& r) { seen.push_back(r); });
    };

    wait();
    engine.backup(3);
    m.Src_fld[1] = tmp / "gone";  // a whole pair missed
    wait();
    engine.backup(3);
    m.Src_fld[1] = tmp / "src2";
    engine.copyFault = [](CopyStage s) { return s == CopyStage::Write ? EIO : 0; };
    m.Copy_op = "0";  // every file again, not only newer ones
    wait();
    engine.backup(3);  // skip mode: every file is left out
    engine.copyFault = nullptr;
    onceShown("cpfname=p1.txt", [&] { m.Cancel_flg = 1; });
    be.answerNextBox(kAnsOk);
    wait();
    engine.backup(3);
    engine.backup(3);  // nobody waits for this one

    using O = RunResult::Outcome;
    ASSERT_EQ(seen.size(), 4u);
    const struct {
        O outcome;
        int skipped, errors, exitCode;
    } expected[] = {{O::Completed, 0, 0, 0},
                    {O::Completed, 0, 1, 1},
                    {O::Completed, 8, 0, 3},
                    {O::Cancelled, 0, 0, 1}};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].outcome, expected[i].outcome) << i;
        EXPECT_EQ(seen[i].skippedFiles, expected[i].skipped) << i;
        EXPECT_EQ(seen[i].errors, expected[i].errors) << i;
        EXPECT_EQ(exitCodeFor(seen[i]), expected[i].exitCode) << i;
    }
    EXPECT_EQ(exitCodeFor(RunResult{}), 1) << "a run that could not start";
}

TEST_F(Run, ARequestMadeDuringARunIsAnsweredByTheRunThatFollows) {
    useAllPairs();
    std::vector<std::size_t> linesWhenAnswered;
    onceShown("cpfname=p2.txt", [&] {
        engine.whenNextRunEnds(
            [&](const RunResult&) { linesWhenAnswered.push_back(historyLines().size()); });
        engine.backup(3);
    });
    engine.backup(3);
    EXPECT_EQ(linesWhenAnswered, std::vector<std::size_t>{4}) << "after the queued run's end";
}

}  // namespace
}  // namespace vornel::test
