// The clock texts and Wait, on the fake backend's clock.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

constexpr double at(int h, int m, double s) { return h * 3600.0 + m * 60.0 + s; }

TEST(GetTime, RoundsToTheNearestSecondHalfToEven) {
    FakeBackend be;
    KvCmn15 k(be);
    const std::pair<double, const char*> cases[] = {
        {at(9, 5, 7.4), "09:05:07"},    {at(9, 5, 7.5), "09:05:08"}, {at(9, 5, 8.5), "09:05:08"},
        {at(9, 5, 7.7), "09:05:08"},    {at(0, 0, 0.0), "00:00:00"}, {at(0, 0, 0.5), "00:00:00"},
        {at(12, 59, 59.6), "13:00:00"},
    };
    for (const auto& [clock, text] : cases) {
        be.setClock(2026, 12, 6, clock);
        EXPECT_EQ(k.GetTime(), text) << clock;
    }
}

TEST(GetTime, TheLastHalfSecondOfTheDayReads24) {
    FakeBackend be;
    KvCmn15 k(be);
    be.setClock(2026, 12, 6, at(23, 59, 59.7));
    EXPECT_EQ(k.GetTime(), "24:00:00");
    be.setClock(2026, 12, 6, at(23, 59, 59.4));
    EXPECT_EQ(k.GetTime(), "23:59:59");
}

TEST(GetDay, GivesTheDayWithoutLeadingZero) {
    FakeBackend be;
    KvCmn15 k(be);
    be.setClock(2026, 12, 5, at(10, 0, 0));
    EXPECT_EQ(k.GetDay(), "5");
    be.setClock(2026, 12, 31, at(10, 0, 0));
    EXPECT_EQ(k.GetDay(), "31");
}

TEST(GetWeekDay, GivesOneKanjiFromSundayToSaturday) {
    FakeBackend be;
    KvCmn15 k(be);
    const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
    for (int i = 0; i < 7; ++i) {
        be.setClock(2026, 12, 6 + i, at(10, 0, 0));  // 2026-12-06 is a Sunday
        EXPECT_EQ(k.GetWeekDay(), names[i]) << 6 + i;
    }
}

TEST(Wait, StartsFromTheRoundedClock) {
    FakeBackend be;
    KvCmn15 k(be);
    be.setClock(2026, 12, 6, 100.2);
    k.Wait(2);
    EXPECT_GE(be.wallClock().secondsOfDay, 102.0 - 1e-9);
    EXPECT_LT(be.wallClock().secondsOfDay, 102.1);
    EXPECT_EQ(k.WaitStartTime, "00:01:40");
    EXPECT_EQ(k.WaitFinishTime, "00:01:42");

    be.setClock(2026, 12, 6, 100.6);
    k.Wait(2);
    EXPECT_GE(be.wallClock().secondsOfDay, 103.0 - 1e-9);
    EXPECT_LT(be.wallClock().secondsOfDay, 103.1);
    EXPECT_EQ(k.WaitStartTime, "00:01:41");
    EXPECT_EQ(k.WaitFinishTime, "00:01:43");
}

TEST(Wait, LetsPendingEventsRunWhileWaiting) {
    FakeBackend be;
    KvCmn15 k(be);
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

TEST(Wait, EndsAfterAboutTheRequestedTimeAcrossMidnight) {
    FakeBackend be;
    KvCmn15 k(be);
    be.setClock(2026, 12, 6, at(23, 59, 59.0));
    const double start = be.monotonicSeconds();
    k.Wait(2);
    const double waited = be.monotonicSeconds() - start;
    EXPECT_GE(waited, 2.0 - 1e-9);
    EXPECT_LT(waited, 2.1);
    EXPECT_EQ(be.wallClock().day, 7);
    EXPECT_EQ(k.WaitStartTime, "23:59:59");
    EXPECT_EQ(k.WaitFinishTime, "00:00:01");
}

TEST(Wait, NothingOrLessReturnsAtOnce) {
    for (float second : {0.0f, -1.0f, -1e9f}) {
        FakeBackend be;
        KvCmn15 k(be);
        be.setClock(2026, 12, 6, 100.6);  // rounds up: a naive loop would wait 0.4 s
        k.Wait(second);
        EXPECT_EQ(be.pumpCount, 0) << second;
        EXPECT_EQ(k.WaitStartTime, "00:01:41");
        EXPECT_EQ(k.WaitFinishTime, "00:01:40");
    }
}

}  // namespace
}  // namespace vornel
