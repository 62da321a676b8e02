#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

TEST(MsgBox, KindsChooseSoundButtonsIconAndTitle) {
    FakeBackend be;
    KvCmn15 k(be);
    be.answerNextBox(kAnsCancel);
    EXPECT_EQ(k.Msg_Box(k.KindOkc, "q"), 2);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].title, "確認");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(be.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(be.sounds, std::vector<int>{32});

    // "err" sounds the warning although it shows the stop icon.
    be.answerNextBox(kAnsOk);
    EXPECT_EQ(k.Msg_Box(k.KindErr, "e"), 1);
    EXPECT_EQ(be.boxes[1].title, "Error");
    EXPECT_EQ(be.boxes[1].icon, BoxIcon::Stop);
    EXPECT_EQ(be.sounds.back(), 48);
}

TEST(MsgBox, UnknownKindShowsNothing) {
    FakeBackend be;
    KvCmn15 k(be);
    EXPECT_EQ(k.Msg_Box("ERR", "x"), 0);
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(be.sounds.empty());
}

}  // namespace
}  // namespace vornel
