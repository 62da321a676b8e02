// The clock texts and Wait, on the fake backend's clock.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

constexpr double at(int h, int m, double s) { return h * 3600.0 + m * 60.0 + s; }

class ClockTest : public ::testing::Test {
  protected:
    test::FakeBackend be;
    KvCmn15 k{be};
};

TEST_F(ClockTest, GetTimeRoundsHalfToEvenAndReads24InTheLastHalfSecond) {
    const std::pair<double, const char*> cases[] = {
        {at(9, 5, 7.4), "09:05:07"},    {at(9, 5, 7.5), "09:05:08"},
        {at(9, 5, 8.5), "09:05:08"},    {at(9, 5, 7.7), "09:05:08"},
        {at(0, 0, 0.0), "00:00:00"},    {at(0, 0, 0.5), "00:00:00"},
        {at(12, 59, 59.6), "13:00:00"}, {at(23, 59, 59.4), "23:59:59"},
        {at(23, 59, 59.7), "24:00:00"},
    };
    for (const auto& [clock, text] : cases) {
        be.setClock(2026, 12, 6, clock);
        EXPECT_EQ(k.GetTime(), text) << clock;
    }
}

TEST_F(ClockTest, GetDayAndGetWeekDayFromSundayToSaturday) {
    const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i) {
        be.setClock(2026, 12, 6 + i, at(10, 0, 0));    // 2026-12-06 is a Sunday
        EXPECT_EQ(k.GetDay(), std::to_string(6 + i));  // no leading zero
        EXPECT_EQ(k.GetWeekDay(), names[i]) << 6 + i;
    }
}

TEST_F(ClockTest, WaitStartsFromTheRoundedClockAndRunsAcrossMidnight) {
    struct Case {
        double start, waited;
        const char *startText, *finishText;
    };
    // Starting at .6 rounds up, so the wait lasts longer than asked.
    const Case cases[] = {{100.2, 1.8, "00:01:40", "00:01:42"},
                          {100.6, 2.4, "00:01:41", "00:01:43"},
                          {at(23, 59, 59.0), 2.0, "23:59:59", "00:00:01"}};
    for (const Case& c : cases) {
        be.setClock(2026, 12, 6, c.start);
        const double before = be.monotonicSeconds();
        k.Wait(2);
        EXPECT_GE(be.monotonicSeconds() - before, c.waited - 1e-9) << c.startText;
        EXPECT_LT(be.monotonicSeconds() - before, c.waited + 0.1) << c.startText;
        EXPECT_EQ(k.WaitStartTime, c.startText);
        EXPECT_EQ(k.WaitFinishTime, c.finishText);
    }
    EXPECT_EQ(be.wallClock().day, 7);
}

TEST_F(ClockTest, WaitLetsPendingEventsRun) {
    be.setClock(2026, 12, 6, 100.0);
    // A nested event handler sees the wait's start and finish texts emptied.
    k.WaitStartTime = "old";
    std::string seenDuringWait;
    be.onPump = [&](int) { seenDuringWait = k.WaitStartTime + "|" + k.WaitFinishTime; };
    k.Wait(0.3f);
    EXPECT_GT(be.pumpCount, 0);
    EXPECT_EQ(seenDuringWait, "|");
    EXPECT_GE(be.wallClock().secondsOfDay, 100.3 - 1e-6);
}

TEST_F(ClockTest, WaitForNothingOrLessReturnsAtOnce) {
    for (float second : {0.0f, -1.0f, -1e9f}) {
        be.setClock(2026, 12, 6, 100.6);  // rounds up: a naive loop would wait 0.4 s
        k.Wait(second);
        EXPECT_EQ(be.pumpCount, 0) << second;
        EXPECT_EQ(k.WaitStartTime, "00:01:41");
        EXPECT_EQ(k.WaitFinishTime, "00:01:40");
    }
}

}  // namespace
}  // namespace vornel
