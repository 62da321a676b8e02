#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/kvcmn15.h"
#include "common/module_state.h"
#include "history/history.h"
#include "schedule/schedule_clock.h"

namespace vornel {

// The main window's once-a-second tick: the clock in the title and every time of day in the
// settings (three backup times, the automatic shutdown and restart, five wake-up times).
//
// A time falls due once for each day's minute it names, at the first tick that reaches the
// minute's second :00. A tick that comes late (the machine was busy) still does what it
// passed over, in time order; a tick repeated within the same second, or a clock set back,
// does nothing a second time. After a gap of more than two minutes between ticks (the
// machine slept, the clock was put forward) shutdowns, restarts and wake-ups that fell into
// the gap are not done late, and a backup time that fell into it gives one run without its
// shutdown.
class ScheduleTimer {
  public:
    // `cmn` is the main window's own utility instance.
    ScheduleTimer(Module1& m, KvCmn15& cmn) : m_(m), cmn_(cmn) {}

    // A scheduled backup (origin Timer). Tm_no is set just before the call: the schedule time 1..3
    // that fell due, or 0 for the run after a gap, which ends without a shutdown.
    std::function<void(HistOrigin origin)> backup = [](HistOrigin) {};
    // Sends the Wake-on-LAN packets of entry g (0..4).
    std::function<void(int g)> pc_wol_Click = [](int) {};
    // Shows the main window's title.
    std::function<void(const std::string&)> setTitle = [](const std::string&) {};

    // Starts counting: a time that comes round from this second on falls due. A tick without
    // a start starts counting at its own second.
    void start();
    // The tick.
    void Timer1_Timer();

    // The longest time between two ticks after which what fell due between them is done.
    static constexpr LocalSecond kLongestTimelyGap = 120;

  private:
    void showTitle(LocalSecond now);
    void backupAfterGap(LocalSecond from, LocalSecond to);
    void fireMinute(LocalSecond t);
    bool restartDay(const WallClock& at) const;

    Module1& m_;
    KvCmn15& cmn_;
    bool started_ = false;
    LocalSecond lastTick_ = 0;  // the clock of the previous tick
    LocalSecond doneUpTo_ = 0;  // every time up to this second has had its turn
};

}  // namespace vornel
