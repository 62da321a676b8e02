// backup: the run over the pairs, its history lines, completion, cancel and overlap.
#include "backup/engine_fixture.h"
#include "backup/manual_start.h"

namespace vornel::test {
namespace {

const std::string kNow = "2026/12/06 12:00:00 ";

class Run : public EngineTest {
  protected:
    // Pairs 1..8 each hold one file named after the pair.
    void useAllPairs() {
        for (int k = 0; k < 8; ++k) usePair(k, {file("p" + std::to_string(k + 1) + ".txt", "x")});
    }
    bool copied(int k) const {
        return std::filesystem::exists(dst(k) + "/p" + std::to_string(k + 1) + ".txt");
    }
};

TEST_F(Run, ASkippedPairIsRecordedBetweenStartAndSuccess) {
    useAllPairs();
    m.Skip_flg[1] = "1";
    engine.backup(3);
    EXPECT_EQ(historyLines(), (std::vector<std::string>{
                                  kNow + "[Start]  [Manual]",
                                  kNow + "[Skiped Setteing] " + src(1) + " [?]",
                                  kNow + "[Success]  [Manual]",
                              }));
    for (int k = 0; k < 8; ++k) EXPECT_EQ(copied(k), k != 1) << "pair " << k + 1;
    EXPECT_EQ(be.sounds, std::vector<int>{0});
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(Run, HistoryOffWritesOnlyTheStartLine) {
    m.Rec_op = "0";
    m.Skip_flg.fill("1");
    engine.backup(2);
    EXPECT_EQ(historyLines(), std::vector<std::string>{kNow + "[Start]  [Timer]"});
}

TEST_F(Run, AllPairsSkippedGiveEightSkipLines) {
    m.Skip_flg.fill("1");
    for (int k = 0; k < 8; ++k) m.Src_fld[static_cast<std::size_t>(k)] = "/s" + std::to_string(k);
    engine.backup(0);
    const auto lines = historyLines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines.front(), kNow + "[Start]  [Prg open]");
    EXPECT_EQ(lines[8], kNow + "[Skiped Setteing] /s7 [?]");
    EXPECT_EQ(lines.back(), kNow + "[Success]  [Prg open]");
}

TEST_F(Run, TheWindowShowsThePairAndTheSettingsAreReloadedFirst) {
    usePair(0, {file("f.txt", "x")});
    engine.backup(3);
    const auto& ev = progress.events;
    ASSERT_GE(ev.size(), 5u);
    EXPECT_EQ(ev[0], "show");
    EXPECT_EQ(ev[1], "Sysdat_read");
    EXPECT_EQ(ev[2], "srcfld=" + src(0));
    EXPECT_EQ(ev[3], "dstfld=" + dst(0));
    EXPECT_EQ(ev.back(), "hide");
    EXPECT_EQ(reloads, 1);
}

TEST_F(Run, TheRunUsesTheSettingsAsReloaded) {
    usePair(0, {file("f.txt", "x")});
    usePair(1, {file("g.txt", "y")});
    const std::string pair2src = src(1);
    m.Src_fld[1].clear();  // an unsaved edit the reload puts back
    BackupEngine reloading(m, progress, errlog,
                           BackupHooks{[&] { m.Src_fld[1] = pair2src; }, nullptr});
    reloading.backup(3);
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
    EXPECT_EQ(
        errlog.entries,
        (std::vector<std::string>{
            "2026/12/06 " + tmp / "gone" + "\r\n\t  [コピー元フォルダが見つかりません]\r\n",
            "2026/12/06 " + tmp / "gone too" + "\r\n\t  [コピー先フォルダが見つかりません]\r\n",
            "2026/12/06 " + tmp / "plain-file" + "\r\n\t  [コピー元フォルダが見つかりません]\r\n",
        }));
    for (int k : {0, 5, 6, 7}) EXPECT_TRUE(copied(k)) << "pair " << k + 1;
    EXPECT_EQ(historyLines().back(), kNow + "[Success]  [Manual]");
}

TEST_F(Run, ADestinationInsideItsSourceIsReportedAndNothingIsCopied) {
    usePair(0, {file("f.txt", "x"), dir("backup")});
    m.Dst_fld[0] = src(0) + "/backup";
    usePair(1, {file("g.txt", "y")});
    m.Dst_fld[1] = src(1);
    engine.backup(3);
    ASSERT_EQ(errlog.entries.size(), 2u);
    EXPECT_EQ(errlog.entries[0], "2026/12/06 " + src(0) +
                                     "/backup\r\n\t  [コピー先フォルダがコピー元フォルダと同じか、"
                                     "その中にあります]\r\n");
    expectTree(src(0), {file("f.txt", "x"), dir("backup")});
    expectTree(src(1), {file("g.txt", "y")});
}

TEST_F(Run, CancelDuringPairThreeFinishesTheFileAndStopsTheRun) {
    m.Stup_sdown = true;
    m.St_sdown = "1";
    m.Tm_no = 1;
    m.Sdown_flg[0] = "1";
    useAllPairs();
    makeTree(src(2), {file("p3b.txt", "more")});
    be.onPump = [&](int) {
        if (!progress.only("cpfname=p3.txt").empty()) m.Cancel_flg = 1;
    };
    be.answerNextBox(kAnsOk);
    engine.backup(3);

    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "バックアップが中止されました！");
    EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
    EXPECT_EQ(m.Msg_ans, kAnsOk);
    EXPECT_TRUE(copied(2));
    EXPECT_FALSE(std::filesystem::exists(dst(2) + "/p3b.txt"));
    for (int k = 3; k < 8; ++k) EXPECT_FALSE(copied(k)) << "pair " << k + 1;
    EXPECT_EQ(historyLines(),
              (std::vector<std::string>{kNow + "[Start]  [Manual]", kNow + "[Cancel]  [Manual]"}));
    EXPECT_EQ(be.sounds, std::vector<int>{48}) << "the box's sound only, no beep";
    EXPECT_FALSE(progress.visible);
    EXPECT_EQ(m.Cancel_flg, 0);
    EXPECT_FALSE(m.Stup_sdown);
    EXPECT_EQ(m.Tm_no, 0);
    EXPECT_EQ(countdowns, 0);
    EXPECT_TRUE(be.powerRequests.empty());
}

TEST_F(Run, ACancelDuringTheLastPairIsStillACancel) {
    useAllPairs();
    be.onPump = [&](int) {
        if (!progress.only("cpfname=p8.txt").empty()) m.Cancel_flg = 1;
    };
    be.answerNextBox(kAnsOk);
    engine.backup(3);
    EXPECT_TRUE(copied(7));
    EXPECT_EQ(historyLines().back(), kNow + "[Cancel]  [Manual]");
}

TEST_F(Run, ACopyThatFailsInIgnoreModeLeadsIntoTheCancelPath) {
    m.Cp_skip = "0";
    useAllPairs();
    engine.copyFault = [](CopyStage s) { return s == CopyStage::Write ? ENOSPC : 0; };
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    engine.backup(3);
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[1].text, "バックアップが中止されました！");
    for (int k = 0; k < 8; ++k) EXPECT_FALSE(copied(k));
}

TEST_F(Run, StartUpRunOpensTheCountdownOnlyWhenAskedFor) {
    for (const char* st : {"1", "0"}) {
        SCOPED_TRACE(st);
        countdowns = 0;
        m.St_sdown = st;
        m.Stup_sdown = true;
        engine.backup(0);
        EXPECT_EQ(countdowns, std::string(st) == "1" ? 1 : 0);
        EXPECT_FALSE(m.Stup_sdown);
    }
    EXPECT_TRUE(be.powerRequests.empty());
}

TEST_F(Run, ScheduledRunShutsDownAtOnceWhenItsTimeAsks) {
    m.Rec_op = "0";
    m.Sdown_flg = {"0", "1", "0"};
    m.Tm_no = 2;
    engine.backup(2);
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(historyLines(), (std::vector<std::string>{kNow + "[Start]  [Timer]",
                                                        kNow + "[Success]  [Shut Down]"}));
    EXPECT_EQ(m.Tm_no, 0);

    m.Tm_no = 1;  // its box is clear
    engine.backup(2);
    EXPECT_EQ(be.powerRequests.size(), 1u);
    EXPECT_EQ(m.Tm_no, 0);
}

TEST_F(Run, AnErrorBeforeThePairsHidesTheWindowAgain) {
    usePair(0, {file("f.txt", "x")});
    m.Tm_no = 1;
    m.Sdown_flg[0] = "1";
    BackupEngine failing(m, progress, errlog,
                         BackupHooks{[] { throw VbError(kErrFileNotFound); }, nullptr});
    be.answerNextBox(kAnsOk);
    failing.backup(2);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_NE(be.boxes[0].text.find("[backup]"), std::string::npos);
    EXPECT_EQ(progress.events, (std::vector<std::string>{"show", "hide"}));
    EXPECT_FALSE(copied(0));
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_FALSE(failing.running());
}

TEST_F(Run, ARunAskedForDuringAnotherStartsRightAfterIt) {
    useAllPairs();
    m.Sdown_flg[0] = "1";
    bool asked = false;
    be.onPump = [&](int) {
        if (asked || progress.only("cpfname=p2.txt").empty()) return;
        asked = true;
        // The schedule timer's tick, nested in the run's event pump.
        m.Tm_no = 1;
        engine.backup(2);
        EXPECT_EQ(m.Tm_no, 0) << "the running run keeps its own schedule number";
    };
    engine.backup(3);
    EXPECT_EQ(historyLines(),
              (std::vector<std::string>{kNow + "[Start]  [Manual]", kNow + "[Success]  [Manual]",
                                        kNow + "[Start]  [Timer]", kNow + "[Success]  [Timer]",
                                        kNow + "[Success]  [Shut Down]"}));
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "show"), 2);
    EXPECT_EQ(m.Tm_no, 0);
}

TEST_F(Run, ManualStartOffersToSaveThenRuns) {
    usePair(0, {file("f.txt", "x")});
    std::vector<std::string> calls;
    ManualStartHooks hooks{[&] {
                               calls.push_back("chg_confirm");
                               m.Upd_flg = 1;
                           },
                           [&] { calls.push_back("ok_bt_Click"); },
                           [&] { calls.push_back("end"); }};
    start_bkup(m, engine, hooks);
    EXPECT_EQ(calls, (std::vector<std::string>{"chg_confirm", "ok_bt_Click"}));
    EXPECT_EQ(historyLines().front(), kNow + "[Start]  [Manual]");

    calls.clear();
    hooks.chg_confirm = [&] {
        calls.push_back("chg_confirm");
        m.Upd_flg = 0;
    };
    bkup_bt(m, engine, hooks);
    EXPECT_EQ(calls, std::vector<std::string>{"chg_confirm"});
    EXPECT_TRUE(be.powerRequests.empty());
}

TEST_F(Run, BackupThenShutdownWaitsTwoSecondsAndShutsDownEvenAfterACancel) {
    usePair(0, {file("f.txt", "x")});
    int ended = 0;
    ManualStartHooks hooks{[&] { m.Upd_flg = 0; }, nullptr, [&] { ++ended; }};
    be.onPump = [&](int) {
        if (!progress.only("cpfname=").empty() && be.powerRequests.empty()) m.Cancel_flg = 1;
    };
    be.answerNextBox(kAnsOk);
    const double before = be.monotonicSeconds();
    bkup_exitwin(m, engine, hooks);
    EXPECT_EQ(historyLines().back(), kNow + "[Cancel]  [Manual]");
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
    bool asked = false;
    be.onPump = [&](int) {
        if (asked || progress.only("cpfname=p1.txt").empty()) return;
        asked = true;
        bkup_exitwin(m, engine, hooks);
        EXPECT_TRUE(be.powerRequests.empty()) << "shut down in the middle of a run";
    };
    engine.backup(3);
    for (int k = 0; k < 8; ++k) EXPECT_TRUE(copied(k));
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(std::count(progress.events.begin(), progress.events.end(), "show"), 2);
}

}  // namespace
}  // namespace vornel::test
