#include "support/fake_backend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <utility>

namespace vornel::test {

void FakeBackend::setClock(int year, int month, int day, double secondsOfDay) {
    const std::chrono::weekday weekday{
        std::chrono::sys_days{std::chrono::year{year} / month / day}};
    clock_ = {year, month, day, static_cast<int>(weekday.c_encoding()) + 1, secondsOfDay};
}

void FakeBackend::advance(double seconds) {
    using namespace std::chrono;
    monotonic_ += seconds;
    const double s = clock_.secondsOfDay + seconds;
    const int later = static_cast<int>(s / 86400);
    const year_month_day date{sys_days{year{clock_.year} / clock_.month / clock_.day} +
                              days{later}};
    setClock(static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
             static_cast<int>(unsigned{date.day()}), s - later * 86400.0);
}

int FakeBackend::showMessageBox(const MessageBoxRequest& request) {
    boxes.push_back(request);
    if (onBox) onBox(request);
    if (boxAnswers.empty())
        ADD_FAILURE() << "unexpected message box: [" << request.title << "] " << request.text;
    return takeFront(boxAnswers);  // kAnsNone when none is left
}

void FakeBackend::processEvents(int maxWaitMs) {
    ++pumpCount;
    double step = maxWaitMs > 0 ? maxWaitMs / 1000.0 : secondsPerPump;
    if (step > 0) advance(step);
    if (onPump) onPump(pumpCount);
}

}  // namespace vornel::test
