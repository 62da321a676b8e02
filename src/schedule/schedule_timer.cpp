#include "schedule/schedule_timer.h"

#include <exception>

#include "common/text_number.h"
#include "history/history.h"

namespace vornel {
namespace {

LocalSecond minuteStart(LocalSecond t) { return t - ((t % 60) + 60) % 60; }

// A tick never stops the program: whatever goes wrong with one event is reported, and the
// tick goes on with the next.
template <class Event>
void guarded(KvCmn15& cmn, Event&& event) {
    try {
        event();
    } catch (const VbError& e) {
        cmn.Err_Msg("Timer1_Timer", e);
    } catch (const std::exception&) {
        cmn.Err_Msg("Timer1_Timer", VbError(kErrInvalidCall));
    }
}

}  // namespace

void ScheduleTimer::start() {
    const LocalSecond now = localSecond(cmn_.GetClock());
    started_ = true;
    lastTick_ = now;
    doneUpTo_ = now - 1;
}

void ScheduleTimer::Timer1_Timer() {
    // One reading of the clock serves the whole tick, however long a run started in it takes.
    const LocalSecond now = localSecond(cmn_.GetClock());
    m_.Blink_flg = m_.Blink_flg == 1 ? 0 : 1;
    showTitle(now);
    if (!started_) {
        started_ = true;
        lastTick_ = doneUpTo_ = now - 1;
    }
    const LocalSecond previous = lastTick_;
    lastTick_ = now;
    if (now <= doneUpTo_) {
        // The clock was set back (or this second has been seen): the minutes it passes again
        // have had their turn. Only a clock that was a day or more ahead starts afresh.
        if (doneUpTo_ - now < kSecondsPerDay) return;
        doneUpTo_ = now - 1;
    }
    LocalSecond from = doneUpTo_;
    // Claimed before anything runs, so ticks that come during a run started below take only
    // the time after this one.
    doneUpTo_ = now;
    if (now - previous > kLongestTimelyGap) {
        backupAfterGap(from, now - 1);
        from = now - 1;
    }
    for (LocalSecond t = minuteStart(from) + 60; t <= now; t += 60) fireMinute(t);
}

void ScheduleTimer::showTitle(LocalSecond now) {
    std::string title = m_.App_title + "  (Now " + formatClock(wallClockAt(now).secondsOfDay) + ")";
    if (m_.Chg_flg == 1 && m_.Blink_flg == 1) title += "  変更有り";
    setTitle(title);
}

// Nobody waits for a shutdown, a restart or a wake-up hours after its time: a laptop opened
// at 14:00 must not power off because of a 12:00 shutdown. A backup is still worth having,
// but once is enough however many of its times the gap swallowed, and the shutdown that
// belongs to one of them is not done either.
void ScheduleTimer::backupAfterGap(LocalSecond from, LocalSecond to) {
    if (m_.Timer_flg != "1") return;
    for (const std::string& time : m_.Tm_str) {
        const auto s = scheduleSecond(time);
        if (!s || !comesRoundWithin(*s, from, to)) continue;
        guarded(cmn_, [this] {
            m_.Tm_no = 0;
            backup(HistOrigin::Timer);
        });
        return;
    }
}

void ScheduleTimer::fireMinute(LocalSecond t) {
    const WallClock at = wallClockAt(t);
    const auto second = static_cast<int>(at.secondsOfDay);
    // Settings are read afresh for every test: a run reloads them.
    auto due = [second](const std::string& hhmm) { return scheduleSecond(hhmm) == second; };
    for (std::int16_t k = 1; k <= 3; ++k) {
        if (!(due(m_.Tm_str[static_cast<std::size_t>(k - 1)]) && m_.Timer_flg == "1")) continue;
        guarded(cmn_, [this, k] {
            m_.Tm_no = k;
            backup(HistOrigin::Timer);
        });
    }
    if (due(m_.Asd_time) && m_.Asd_flg == "1") {
        guarded(cmn_, [this] {
            cmn_.ExitWindows(cmn_.ExwShutdown);
            write_hist(m_, HistOutcome::Success, HistOrigin::TimerShutDown, "");
        });
    }
    if (due(m_.Arb_time) && m_.Arb_flg == "1" && restartDay(at)) {
        guarded(cmn_, [this] {
            cmn_.ExitWindows(cmn_.ExwReboot);
            write_hist(m_, HistOutcome::Success, HistOrigin::TimerReboot, "");
        });
    }
    for (int g = 0; g < 5; ++g) {
        const WOL_data& e = m_.WOL_set[static_cast<std::size_t>(g)];
        if (due(e.WTime) && e.Enable == "1") guarded(cmn_, [this, g] { pc_wol_Click(g); });
    }
}

// Every day, on the weekday Arb_week, or on the day of the month Arb_day. A cycle that is not
// a number (a hand-edited file) restarts nothing; a day beyond the month's last never comes.
bool ScheduleTimer::restartDay(const WallClock& at) const {
    static const char* const kWeekdays[] = {"日", "月", "火", "水", "木", "金", "土"};
    std::int16_t cycle = 0;
    if (parseInt16(m_.Arb_int, cycle) != 0) return false;
    switch (cycle) {
        case 0:
            return true;
        case 1:
            return m_.Arb_week == kWeekdays[(at.weekday - 1) % 7];
        case 2:
            return m_.Arb_day == std::to_string(at.day);
        default:
            return false;
    }
}

}  // namespace vornel
