#pragma once

#include <optional>
#include <string>

#include "common/platform.h"

namespace vornel {

// A moment of local time as whole seconds counted from 1970-01-01 00:00:00 local time, so
// that every minute of every day has one number and a late tick can tell which minutes it
// passed over, across midnight too.
using LocalSecond = long long;

inline constexpr LocalSecond kSecondsPerDay = 86400;

// The clock reading cut to its whole second. Cut, not rounded: a time must not fall due
// before its minute has begun, and the history stamps the run with the cut time too.
LocalSecond localSecond(const WallClock& clock);
// The reading of `t`: its date and weekday and its second of the day.
WallClock wallClockAt(LocalSecond t);

// The second of the day a schedule time "hh:mm" names. A text that is not two digits, a
// colon and two digits within 00:00..23:59 never equals the clock's "hh:mm:00", so it names
// no time at all.
std::optional<int> scheduleSecond(const std::string& hhmm);

// Whether the day's second `daySecond` comes round at some moment after `from` and at or
// before `to`.
bool comesRoundWithin(int daySecond, LocalSecond from, LocalSecond to);

}  // namespace vornel
