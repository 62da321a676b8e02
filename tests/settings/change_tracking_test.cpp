#include "settings/change_tracking.h"

#include <gtest/gtest.h>

#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

TEST(ChgConfirm, AsksNothingWithoutEdits) {
    FakeBackend be;
    KvCmn15 cmn(be);
    Module1 m(cmn);
    m.Upd_flg = 1;
    EXPECT_EQ(chg_confirm(m), 0);
    EXPECT_EQ(m.Upd_flg, 0);
    EXPECT_TRUE(be.boxes.empty());
}

TEST(ChgConfirm, YesAsksToSaveNoDropsTheMark) {
    FakeBackend be;
    KvCmn15 cmn(be);
    Module1 m(cmn);
    m.Chg_flg = 1;
    be.onBox = [&m](const MessageBoxRequest&) {
        EXPECT_EQ(m.Chg_flg, 0) << "cleared before asking";
    };
    be.answerNextBox(kAnsYes);
    EXPECT_EQ(chg_confirm(m), 1);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "システムデータが変更されています\r更新しますか？");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(m.Msg_ans, kAnsYes);

    m.Chg_flg = 1;
    be.answerNextBox(kAnsNo);
    EXPECT_EQ(chg_confirm(m), 0);
    EXPECT_EQ(m.Chg_flg, 0);
    EXPECT_EQ(chg_confirm(m), 0) << "a No is not asked again";
    EXPECT_EQ(be.boxes.size(), 2u);
}

}  // namespace
}  // namespace vornel
