// One running copy per program folder.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/shell/single_instance.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

TEST(SingleInstance, SecondStartAsksTheFirstToShowItselfAndRunsOnceTheFirstEnded) {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.str());
    {
        SingleInstance first(folder);
        ASSERT_TRUE(first.claim());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        SingleInstance second(folder);
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(shown.wait(5000));
        EXPECT_EQ(shown.count(), 1);
    }
    SingleInstance next(folder);
    EXPECT_TRUE(next.claim());
}

TEST(SingleInstance, TheFolderNamesTheProgramWhateverPathLeadsToIt) {
    test::TempDir a, b;
    SingleInstance first(QString::fromStdString(a.str()));
    SingleInstance other(QString::fromStdString(b.str()));
    SingleInstance dotted(QString::fromStdString(a.str() + "/./"));
    EXPECT_NE(first.serverName(), other.serverName());
    EXPECT_EQ(first.serverName(), dotted.serverName());
    EXPECT_TRUE(first.claim());
    EXPECT_TRUE(other.claim());
}

}  // namespace
}  // namespace vornel
