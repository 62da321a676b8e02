// The 30-second countdown before the shutdown that follows the start-up run.
#include "schedule/shutdown_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>

#include "qt_printers.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

class Countdown : public ::testing::Test {
  protected:
    void SetUp() override {
        dialog = new ShutDownDialog(be);
        dialog->show();
        // Ticks are given by the test, never by the clock.
        ASSERT_TRUE(dialog->Timer1->isActive());
        EXPECT_EQ(dialog->Timer1->interval(), 1000);
        dialog->Timer1->stop();
    }
    void TearDown() override { delete dialog.data(); }
    // Ticks n times and gives the labels shown.
    QStringList tick(int n) {
        QStringList shown;
        for (int i = 0; i < n && dialog; ++i) {
            dialog->Timer1_Timer();
            shown << dialog->time_lbl->text();
        }
        return shown;
    }
    bool gone() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return dialog.isNull();
    }

    test::FakeBackend be;
    QPointer<ShutDownDialog> dialog;
};

TEST_F(Countdown, CountsDownAndAsksForTheShutdownOnTheTickThatShowsZero) {
    const QStringList shown = tick(29);
    EXPECT_EQ(shown.first(), "29sec");
    EXPECT_EQ(shown.last(), "1sec");
    EXPECT_TRUE(be.powerRequests.empty());
    EXPECT_EQ(tick(1), QStringList{"0sec"});
    EXPECT_EQ(be.powerRequests, std::vector<PowerRequest>{PowerRequest::Shutdown});
    EXPECT_TRUE(gone());
}

TEST_F(Countdown, CancellingOnTheLastTickShutsNothingDown) {
    tick(29);
    dialog->CancelButton->click();
    EXPECT_TRUE(gone());
    EXPECT_TRUE(be.powerRequests.empty());
}

}  // namespace
}  // namespace vornel
