// The schedule tick: when each time of day falls due, late ticks, gaps, a clock set back,
// and the title.
#include "schedule/schedule_timer.h"

#include <gtest/gtest.h>

#include <string>

#include "support/program_state.h"

namespace vornel::test {
namespace {

using Log = std::vector<std::string>;

// Power requests join the same log as runs and wake-ups, so their order shows.
class LoggingBackend : public FakeBackend {
  public:
    std::function<void(const std::string&)> note;
    void requestPowerAction(PowerRequest r) override {
        FakeBackend::requestPowerAction(r);
        note(r == PowerRequest::Reboot ? "reboot" : "shutdown");
    }
};

class Tick : public ::testing::Test, protected ProgramState<LoggingBackend> {
  protected:
    Tick() {
        m.Timer_flg = m.Asd_flg = m.Arb_flg = "1";
        m.Arb_int = "0";
        be.note = [this](const std::string& what) {
            log.push_back(formatClock(be.wallClock().secondsOfDay) + " " + what);
        };
        timer.backup = [this](HistOrigin origin) {
            be.note("backup " + std::to_string(static_cast<int>(origin)) +
                    " Tm_no=" + std::to_string(m.Tm_no));
            if (duringRun) duringRun();
        };
        timer.pc_wol_Click = [this](int g) { be.note("wol " + std::to_string(g)); };
        timer.setTitle = [this](const std::string& t) { titles.push_back(t); };
    }

    // "yyyy-mm-dd hh:mm:ss" with an optional fraction of a second (two digits for each field
    // but the year); without its date, on the date of the clock before.
    void setClock(std::string when) {
        if (when.find('-') == std::string::npos)
            when = date + " " + when;
        else
            date = when.substr(0, 10);
        const auto at = [&](std::size_t pos) { return std::stoi(when.substr(pos, 2)); };
        be.setClock(std::stoi(when), at(5), at(8),
                    at(11) * 3600 + at(14) * 60 + std::stod(when.substr(17)));
    }
    void tick(const std::string& when) {
        setClock(when);
        timer.Timer1_Timer();
    }
    // One tick a second from `first` to `last` ("hh:mm:ss").
    void tickEverySecond(const std::string& first, const std::string& last) {
        tick(first);
        while (formatClock(be.wallClock().secondsOfDay) != last)
            tick(formatClock(be.wallClock().secondsOfDay + 1));
    }
    // What the timer does when it starts at the first clock and ticks at the others.
    Log run(const Log& clocks) {
        log.clear();
        setClock(clocks[0]);
        timer.start();
        for (std::size_t i = 1; i < clocks.size(); ++i) tick(clocks[i]);
        return log;
    }
    std::string date = "2026-12-06";
    ScheduleTimer timer{m, cmn};
    Log log;
    Log titles;
    std::function<void()> duringRun;
};

TEST_F(Tick, EachTimeFallsDueInTheFirstSecondOfItsMinuteOnceAndRestartsOnlyOnTheirDays) {
    // "7:30" is a time the clock never shows; each event happens only while its box is ticked.
    // The restart at 07:30 comes only on its days; its cycle "3" stands for none.
    const struct {
        std::string backup2{}, timerFlg = "1", shutdown{}, asdFlg = "1";
        std::string cycle = "3", weekday = "日", day = "1", date = "2026-12-06", wake3Enable = "0";
        Log expected{};
    } cases[] = {
        {.backup2 = "07:30", .expected = {"07:30:00 backup 2 Tm_no=2"}},
        {.backup2 = "07:30", .timerFlg = "0"},
        {.backup2 = "7:30"},
        {.shutdown = "07:30", .expected = {"07:30:00 shutdown"}},
        {.shutdown = "07:30", .asdFlg = "0"},
        {.cycle = "0", .expected = {"07:30:00 reboot"}},
        {.cycle = "1", .weekday = "水", .date = "2026-12-09", .expected = {"07:30:00 reboot"}},
        {.cycle = "1", .weekday = "水", .date = "2026-12-08"},
        {.cycle = "2", .day = "31", .date = "2026-12-31", .expected = {"07:30:00 reboot"}},
        {.cycle = "2", .day = "31", .date = "2026-11-30"},  // a month without the day
        {.cycle = "2", .day = "31", .date = "2026-12-01"},
        {.cycle = "2", .day = "1", .date = "2026-12-01", .expected = {"07:30:00 reboot"}},
        {.cycle = "毎日", .day = "6"},  // a hand-edited cycle, on a Sunday the 6th
        {.wake3Enable = "1", .expected = {"07:30:00 wol 2"}},
    };
    m.Arb_time = "07:30";
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        m.Tm_str = {"", c.backup2, ""};
        m.Timer_flg = c.timerFlg;
        m.Asd_time = c.shutdown;
        m.Asd_flg = c.asdFlg;
        m.Arb_int = c.cycle;
        m.Arb_week = c.weekday;
        m.Arb_day = c.day;
        m.WOL_set[2] = {c.wake3Enable, "", "", {}, "07:30"};
        EXPECT_EQ(run({c.date + " 07:29:58", "07:29:59", "07:29:59.6", "07:30:00", "07:30:00.4",
                       "07:30:01"}),
                  c.expected);
    }
}

TEST_F(Tick, AShutdownAtABackupTimeFollowsTheRunOnTheTicksOwnClock) {
    m.Tm_str[0] = m.Asd_time = "07:30";
    m.Arb_time = "07:38";
    m.WOL_set[0] = {"1", "", "", {}, "07:30"};
    m.WOL_set[1] = {"1", "", "", {}, "07:35"};
    tick("07:29:59");
    // The run takes ten minutes; the ticks that come meanwhile do their own minutes only.
    duringRun = [this] {
        duringRun = nullptr;
        tickEverySecond("07:30:01", "07:40:00");
    };
    tick("07:30:00");
    EXPECT_EQ(log, (Log{"07:30:00 backup 2 Tm_no=1", "07:35:00 wol 1", "07:38:00 reboot",
                        "07:40:00 shutdown", "07:40:00 wol 0"}));
    EXPECT_EQ(historyTags(), (Log{"[Success]  [Timer Reboot]", "[Success]  [Timer Shut Down]"}));
}

// A late tick does what it passed over once, in time order. After a gap of more than two
// minutes only one backup runs, without its shutdown, and nothing else of the gap is done. A
// clock set back or put right does not silence the schedule.
TEST_F(Tick, LateTicksCatchUpButAfterAGapOnlyOneBackupRuns) {
    const struct {
        Log clocks, expected;
    } cases[] = {
        // The window thread was busy for nearly two minutes.
        {{"12:29:59", "12:31:50", "12:31:51", "12:32:00"},
         {"12:31:50 shutdown", "12:31:50 backup 2 Tm_no=3", "12:31:50 wol 0"}},
        {{"11:00:00", "14:00:30", "14:00:31"}, {"14:00:30 backup 2 Tm_no=0"}},
        {{"11:00:00", "2026-12-09 10:00:00", "10:00:01"}, {"10:00:00 backup 2 Tm_no=0"}},
        // A tick that lands on a time's own second is on time for it.
        {{"11:00:00", "14:00:00", "14:00:01"}, {"14:00:00 backup 2 Tm_no=0", "14:00:00 wol 1"}},
        {{"11:59:00", "12:01:00", "12:01:01"}, {"12:01:00 backup 2 Tm_no=1"}},
        {{"11:59:00", "12:01:01", "12:01:02"}, {"12:01:01 backup 2 Tm_no=0"}},
        // A clock set back repeats no minute and goes on with the next.
        {{"12:29:59", "12:30:00", "12:30:05", "12:28:00", "12:29:00", "12:30:00", "12:31:00"},
         {"12:30:00 shutdown", "12:31:00 backup 2 Tm_no=3", "12:31:00 wol 0"}},
        // Put right after a year ahead: the days it skips back over never had their turn.
        {{"2027-12-06 12:00:00", "2026-12-07 12:00:00", "12:00:01"}, {"12:00:00 backup 2 Tm_no=1"}},
    };
    m.Tm_str = {"12:00", "13:00", "12:31"};
    m.Asd_time = "12:30";
    m.Arb_time = "13:30";
    m.WOL_set[0] = {"1", "", "", {}, "12:31"};
    m.WOL_set[1] = {"1", "", "", {}, "14:00"};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        date = "2026-12-06";
        EXPECT_EQ(run(c.clocks), c.expected);
    }
}

TEST_F(Tick, TheTitleShowsTheTicksClockWithTheChangeMarkEveryOtherSecond) {
    m.Chg_flg = 1;
    tickEverySecond("12:00:00", "12:00:03");
    m.Chg_flg = 0;
    tickEverySecond("12:00:04", "12:00:05");
    tick("23:59:59.6");
    EXPECT_EQ(titles, (Log{"Vornelnet  (Now 12:00:00)  変更有り", "Vornelnet  (Now 12:00:01)",
                           "Vornelnet  (Now 12:00:02)  変更有り", "Vornelnet  (Now 12:00:03)",
                           "Vornelnet  (Now 12:00:04)", "Vornelnet  (Now 12:00:05)",
                           "Vornelnet  (Now 23:59:59)"}));
}

TEST_F(Tick, AFailingEventIsReportedAndTheTickGoesOn) {
    m.WOL_set[0] = m.WOL_set[1] = {"1", "", "", {}, "12:00"};
    timer.pc_wol_Click = [this](int g) {
        if (g == 0) throw VbError(kErrTypeMismatch);
        be.note("wol " + std::to_string(g));
    };
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(run({"11:59:59", "12:00:00"}), Log{"12:00:00 wol 1"});
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_NE(be.boxes[0].text.find("[Timer1_Timer]"), std::string::npos);
}

}  // namespace
}  // namespace vornel::test
