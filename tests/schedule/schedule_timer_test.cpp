// The schedule tick: when each time of day falls due, late ticks, gaps, a clock set back,
// and the title.
#include "schedule/schedule_timer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

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

    // "yyyy-mm-dd hh:mm:ss" with an optional fraction of a second, moved by `shift` seconds
    // (across midnight too).
    void setClock(const std::string& when, double shift = 0) {
        WallClock c;
        int h = 0, mi = 0;
        double s = 0;
        ASSERT_EQ(
            std::sscanf(when.c_str(), "%d-%d-%d %d:%d:%lf", &c.year, &c.month, &c.day, &h, &mi, &s),
            6);
        const double total = h * 3600 + mi * 60 + s + shift;
        const double days = std::floor(total / 86400);
        const WallClock date = wallClockAt(localSecond(c) + static_cast<LocalSecond>(days) * 86400);
        be.setClock(date.year, date.month, date.day, total - days * 86400);
    }
    void tick(const std::string& when) {
        setClock(when);
        timer.Timer1_Timer();
    }
    // One tick a second from `first` to `last` of one day ("hh:mm:ss").
    void tickEverySecond(const std::string& day, const std::string& first,
                         const std::string& last) {
        tick(day + " " + first);
        while (formatClock(be.wallClock().secondsOfDay) != last)
            tick(day + " " + formatClock(be.wallClock().secondsOfDay + 1));
    }
    ScheduleTimer timer{m, cmn};
    Log log;
    Log titles;
    std::function<void()> duringRun;
};

TEST_F(Tick, EachTimeFallsDueInTheFirstSecondOfItsMinuteOnce) {
    // "7:30" is a time the clock never shows; each event happens only while its box is ticked.
    const struct {
        std::string backup2, timerFlg, shutdown, asdFlg, restart, wake3Enable;
        Log expected;
    } cases[] = {
        {"07:30", "1", "", "1", "", "0", {"07:30:00 backup 2 Tm_no=2"}},
        {"07:30", "0", "", "1", "", "0", {}},
        {"7:30", "1", "", "1", "", "0", {}},
        {"", "1", "07:30", "1", "", "0", {"07:30:00 shutdown"}},
        {"", "1", "07:30", "0", "", "0", {}},
        {"", "1", "", "1", "07:30", "0", {"07:30:00 reboot"}},
        {"", "1", "", "1", "", "1", {"07:30:00 wol 2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        log.clear();
        m.Tm_str = {"", c.backup2, ""};
        m.Timer_flg = c.timerFlg;
        m.Asd_time = c.shutdown;
        m.Asd_flg = c.asdFlg;
        m.Arb_time = c.restart;
        m.WOL_set = {};
        m.WOL_set[2] = {c.wake3Enable, "", "", {}, "07:30"};
        setClock("2026-12-06 07:29:58");
        timer.start();
        for (const char* t : {"07:29:59", "07:29:59.6", "07:30:00", "07:30:00.4", "07:30:01"})
            tick(std::string("2026-12-06 ") + t);
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(Tick, AShutdownAtABackupTimeFollowsTheRunOnTheTicksOwnClock) {
    m.Tm_str[0] = m.Asd_time = "07:30";
    m.WOL_set[0] = {"1", "", "", {}, "07:30"};
    m.WOL_set[1] = {"1", "", "", {}, "07:35"};
    m.Rec_op = "1";
    tick("2026-12-06 07:29:59");
    // The run takes ten minutes; the ticks that come meanwhile do their own minutes only.
    duringRun = [this] {
        duringRun = nullptr;
        tickEverySecond("2026-12-06", "07:30:01", "07:40:00");
    };
    tick("2026-12-06 07:30:00");
    EXPECT_EQ(log, (Log{"07:30:00 backup 2 Tm_no=1", "07:35:00 wol 1", "07:40:00 shutdown",
                        "07:40:00 wol 0"}));
    EXPECT_EQ(historyTags(), Log{"[Success]  [Timer Shut Down]"});
}

TEST_F(Tick, RestartsComeOnlyOnTheirWeekdayOrDayOfTheMonth) {
    const struct {
        std::string cycle, weekday, day, date;
        double previousTick;  // seconds before midnight
        bool restarts;
    } cases[] = {
        {"1", "水", "1", "2026-12-09", 1, true},  // a Wednesday
        {"1", "水", "1", "2026-12-08", 1, false},
        {"1", "水", "1", "2026-12-09", 90, true},  // a late tick, across midnight
        {"2", "日", "31", "2026-12-31", 1, true},
        {"2", "日", "31", "2026-11-30", 1, false},
        {"2", "日", "31", "2026-12-01", 1, false},
        {"2", "日", "1", "2026-12-01", 1, true},
        {"毎日", "日", "1", "2026-12-01", 1, false},  // a hand-edited cycle
        {"3", "日", "1", "2026-12-01", 1, false},
    };
    m.Arb_time = "00:00";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cycle + " " + c.weekday + " " + c.day + " on " + c.date);
        log.clear();
        m.Arb_int = c.cycle;
        m.Arb_week = c.weekday;
        m.Arb_day = c.day;
        ScheduleTimer fresh{m, cmn};
        setClock(c.date + " 00:00:00", -c.previousTick);
        fresh.Timer1_Timer();
        setClock(c.date + " 00:00:00");
        fresh.Timer1_Timer();
        EXPECT_EQ(log, c.restarts ? Log{"00:00:00 reboot"} : Log{});
    }
}

TEST_F(Tick, ALateTickDoesWhatItPassedOverOnceInTimeOrder) {
    m.Asd_time = "10:00";
    m.Tm_str[2] = "10:01";
    m.WOL_set[4] = {"1", "", "", {}, "10:01"};
    tick("2026-12-06 09:59:59");
    tick("2026-12-06 10:01:50");  // the window thread was busy for nearly two minutes
    tick("2026-12-06 10:01:51");
    tick("2026-12-06 10:02:00");
    EXPECT_EQ(log, (Log{"10:01:50 shutdown", "10:01:50 backup 2 Tm_no=3", "10:01:50 wol 4"}));
}

TEST_F(Tick, AfterAGapOfMoreThanTwoMinutesOnlyOneBackupRunsAndWithoutItsShutdown) {
    const struct {
        std::string previous, resumed;
        Log expected;
    } cases[] = {
        {"2026-12-06 11:00:00", "2026-12-06 14:00:30", {"14:00:30 backup 2 Tm_no=0"}},
        {"2026-12-06 11:00:00", "2026-12-09 10:00:00", {"10:00:00 backup 2 Tm_no=0"}},
        // A tick that lands on a time's own second is on time for it.
        {"2026-12-06 11:00:00",
         "2026-12-06 14:00:00",
         {"14:00:00 backup 2 Tm_no=0", "14:00:00 wol 1"}},
        {"2026-12-06 11:59:00", "2026-12-06 12:01:00", {"12:01:00 backup 2 Tm_no=1"}},
        {"2026-12-06 11:59:00", "2026-12-06 12:01:01", {"12:01:01 backup 2 Tm_no=0"}},
    };
    m.Tm_str = {"12:00", "13:00", ""};
    m.Asd_time = "12:30";
    m.Arb_time = "13:30";
    m.WOL_set[0] = {"1", "", "", {}, "13:15"};
    m.WOL_set[1] = {"1", "", "", {}, "14:00"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.previous + " to " + c.resumed);
        log.clear();
        setClock(c.previous);
        timer.start();
        tick(c.previous);
        tick(c.resumed);
        setClock(c.resumed, 1);
        timer.Timer1_Timer();
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(Tick, AClockSetBackRepeatsNoMinuteAndAClockFarAheadDoesNotSilenceTheSchedule) {
    m.Tm_str[0] = "10:00";
    m.WOL_set[0] = {"1", "", "", {}, "10:03"};
    tickEverySecond("2026-12-06", "09:59:59", "10:00:05");
    tickEverySecond("2026-12-06", "09:58:00", "10:03:00");
    EXPECT_EQ(log, (Log{"10:00:00 backup 2 Tm_no=1", "10:03:00 wol 0"}));

    // Put right after a year ahead: the days it skips back over never had their turn.
    tick("2027-12-06 12:00:00");
    log.clear();
    tick("2026-12-07 09:59:59");
    tick("2026-12-07 10:00:00");
    EXPECT_EQ(log, Log{"10:00:00 backup 2 Tm_no=1"});
}

TEST_F(Tick, TheTitleShowsTheTicksClockWithTheChangeMarkEveryOtherSecond) {
    m.Chg_flg = 1;
    tickEverySecond("2026-12-06", "12:00:00", "12:00:03");
    m.Chg_flg = 0;
    tickEverySecond("2026-12-06", "12:00:04", "12:00:05");
    tick("2026-12-06 23:59:59.6");
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
    tick("2026-12-06 11:59:59");
    tick("2026-12-06 12:00:00");
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].title, "予期せぬエラー");
    EXPECT_NE(be.boxes[0].text.find("[Timer1_Timer]"), std::string::npos);
    EXPECT_EQ(log, Log{"12:00:00 wol 1"});
}

}  // namespace
}  // namespace vornel::test
