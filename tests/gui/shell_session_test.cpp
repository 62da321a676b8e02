// Ending with the session, and one running copy per program folder.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <csignal>

#include "app/session_end.h"
#include "app/single_instance.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

class SessionSignals : public ::testing::TestWithParam<int> {};

TEST_P(SessionSignals, SignalBecomesOneEndRequestOnTheEventLoop) {
    SessionEnd end;
    ASSERT_TRUE(end.install());
    QSignalSpy spy(&end, &SessionEnd::endRequested);
    ASSERT_EQ(std::raise(GetParam()), 0);
    // Nothing happens inside the handler: the request waits for the event loop.
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(spy.wait(5000));
    EXPECT_EQ(spy.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(TermHupInt, SessionSignals, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

TEST(SessionEndInstall, OnlyOneInstanceHoldsTheHandlers) {
    SessionEnd first;
    ASSERT_TRUE(first.install());
    SessionEnd second;
    EXPECT_FALSE(second.install());
}

TEST(SingleInstance, SecondStartAsksTheFirstToShowItself) {
    test::TempDir dir;
    SingleInstance first(QString::fromStdString(dir.str()));
    ASSERT_TRUE(first.claim());
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    SingleInstance second(QString::fromStdString(dir.str()));
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(shown.wait(5000));
    EXPECT_EQ(shown.count(), 1);
}

TEST(SingleInstance, OtherFoldersRunSideBySide) {
    test::TempDir a;
    test::TempDir b;
    SingleInstance first(QString::fromStdString(a.str()));
    SingleInstance other(QString::fromStdString(b.str()));
    EXPECT_NE(first.serverName(), other.serverName());
    EXPECT_TRUE(first.claim());
    EXPECT_TRUE(other.claim());
}

TEST(SingleInstance, TheSameFolderByAnotherPathIsTheSameProgram) {
    test::TempDir dir;
    SingleInstance direct(QString::fromStdString(dir.str()));
    SingleInstance dotted(QString::fromStdString(dir.str() + "/./"));
    EXPECT_EQ(direct.serverName(), dotted.serverName());
}

TEST(SingleInstance, AfterTheFirstEndsTheNextStartRuns) {
    test::TempDir dir;
    {
        SingleInstance first(QString::fromStdString(dir.str()));
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(QString::fromStdString(dir.str()));
    EXPECT_TRUE(next.claim());
}

}  // namespace
}  // namespace vornel
