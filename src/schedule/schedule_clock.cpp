#include "schedule/schedule_clock.h"

#include <chrono>
#include <cmath>

namespace vornel {
namespace {

LocalSecond floorDiv(LocalSecond a, LocalSecond b) { return a / b - (a % b < 0 ? 1 : 0); }

}  // namespace

LocalSecond localSecond(const WallClock& clock) {
    using namespace std::chrono;
    const year_month_day date{year{clock.year}, month{static_cast<unsigned>(clock.month)},
                              day{static_cast<unsigned>(clock.day)}};
    const LocalSecond days = sys_days{date}.time_since_epoch().count();
    return days * kSecondsPerDay + static_cast<LocalSecond>(std::floor(clock.secondsOfDay));
}

WallClock wallClockAt(LocalSecond t) {
    using namespace std::chrono;
    const LocalSecond days = floorDiv(t, kSecondsPerDay);
    const sys_days d{std::chrono::days{days}};
    const year_month_day date{d};
    WallClock c;
    c.year = static_cast<int>(date.year());
    c.month = static_cast<int>(static_cast<unsigned>(date.month()));
    c.day = static_cast<int>(static_cast<unsigned>(date.day()));
    c.weekday = static_cast<int>(weekday{d}.c_encoding()) + 1;  // Sunday = 1
    c.secondsOfDay = static_cast<double>(t - days * kSecondsPerDay);
    return c;
}

std::optional<int> scheduleSecond(const std::string& hhmm) {
    auto digit = [&hhmm](std::size_t i) { return hhmm[i] >= '0' && hhmm[i] <= '9'; };
    if (hhmm.size() != 5 || hhmm[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) {
        return std::nullopt;
    }
    const int hour = (hhmm[0] - '0') * 10 + (hhmm[1] - '0');
    const int minute = (hhmm[3] - '0') * 10 + (hhmm[4] - '0');
    if (hour > 23 || minute > 59) return std::nullopt;
    return hour * 3600 + minute * 60;
}

bool comesRoundWithin(int daySecond, LocalSecond from, LocalSecond to) {
    LocalSecond next = floorDiv(from, kSecondsPerDay) * kSecondsPerDay + daySecond;
    if (next <= from) next += kSecondsPerDay;
    return next <= to;
}

}  // namespace vornel
