#include "settings/sysdat_save.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/fake_view.h"

namespace vornel {
namespace {

using test::handMadeSysdat;
using test::Records;
using test::sameBytes;

// A window that loaded `records`; `damaged`: the file holds bytes that are not code page 932,
// which the load tells once.
struct Saving : test::ViewedFile {
    explicit Saving(const Records& records, bool damaged = false) : ViewedFile(records) {
        if (damaged) be.answerNextBox(kAnsOk);
        load();
    }
};

// Unedited values keep the bytes they were loaded from, even those the converter would write
// differently or not at all; an edited value is stored in code page 932.
TEST(SysdatSave, KeepsUneditedBytesAndStoresEditsInCodePage932) {
    // End_bkup (2) has no control and must survive a save; 59 is no setting and is written
    // back empty; 61 holds 纊 in its NEC-selected form, which the converter writes as FA 5C;
    // 62 is not code page 932 at all.
    Records r = test::with({{2, "1"}, {59, "reserved"}, {61, "\xED\x40"}, {62, "10.0.0.\x80"}},
                           test::defaultRecords());
    Saving t(r, true);
    const int pumps = t.be.pumpCount;
    t.view.type({Control::WOL_PCtxt, 1}, "ﾃｽﾄ日");
    t.save();

    r[59] = "";
    r[71] = "\xC3\xBD\xC4\x93\xFA";
    EXPECT_TRUE(sameBytes(t.fileNow(), handMadeSysdat(r)));
    EXPECT_EQ(t.m.WOL_set[1].PCname, "ﾃｽﾄ日");
    EXPECT_EQ(t.m.End_bkup, "1");
    EXPECT_EQ(t.m.Chg_flg, 0);
    EXPECT_GT(t.be.pumpCount, pumps) << "the save pauses before it reloads";
    ASSERT_FALSE(t.view.focused.empty());
    EXPECT_EQ(t.view.focused.back(), (ControlRef{Control::mini_bt}));
}

struct Refusal {
    ControlRef field;
    std::string typed;
    std::string message;
    Tab tab;
    test::Changes records = {};
};

class SysdatSaveRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SysdatSaveRefusal, StopsBeforeAnythingChanges) {
    const Refusal& c = GetParam();
    test::Changes records = {{17, "/"}, {25, "/"}};
    records.insert(records.end(), c.records.begin(), c.records.end());
    Saving t(test::with(records));
    t.view.type(c.field, c.typed);
    t.m.Chg_flg = 1;
    t.be.answerNextBox(kAnsOk);
    t.save();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_EQ(t.be.boxes[0].text, c.message);
    EXPECT_EQ(t.be.boxes[0].title, "Error");
    EXPECT_EQ(t.view.tabs, std::vector<Tab>{c.tab});
    EXPECT_EQ(t.view.focused, std::vector<ControlRef>{c.field});
    EXPECT_TRUE(sameBytes(t.fileNow(), t.image));
    EXPECT_EQ(t.m.Dst_fld[2], "/");
    EXPECT_EQ(t.m.Chg_flg, 1);
}

const char* const kTimerOn = "1";

INSTANTIATE_TEST_SUITE_P(
    Cases, SysdatSaveRefusal,
    ::testing::Values(
        Refusal{{Control::dstfld_txt, 2},
                "/x\xF0\x9F\x98\x80",
                "フォルダ設定3のコピー先フォルダに保存できない文字が含まれてます！\r文字 = "
                "\xF0\x9F\x98\x80",
                folderPairTab(2)},
        // Read back, the tilde would name another folder.
        Refusal{{Control::srcfld_txt, 2},
                "/home/u/資料〜2023",
                "フォルダ設定3のコピー元フォルダに保存できない文字が含まれてます！\r文字 = 〜",
                folderPairTab(2)},
        Refusal{{Control::WOL_PCtxt, 1},
                std::string(257, 'p'),
                "Wake On Lan設定2のPC名が長すぎます！\rLen = 257 byte（最大256 byte）",
                Tab::WakeOnLan},
        Refusal{{Control::WOL_MAC_txt, 4, 5},
                "F\xEF\xBF\xBD",
                "Wake On Lan設定5のMACｱﾄﾞﾚｽ(6)に保存できない文字が含まれてます！\r文字 = "
                "\xEF\xBF\xBD",
                Tab::WakeOnLan},
        // Values the check on leaving the box refuses are refused by the save as well.
        Refusal{{Control::hour_txt, 1},
                "24",
                "入力された時間が範囲外です！",
                Tab::StartEvents,
                {{3, kTimerOn}, {9, "07"}, {12, "00"}, {13, "00"}}},
        Refusal{{Control::arb_min_txt},
                "x",
                "入力された分が範囲外です！",
                Tab::PcFunctions,
                {{51, "1"}, {52, "03"}}},
        Refusal{
            {Control::WOL_MAC_txt, 0, 3}, "5", "MACアドレスの文字数が違います！", Tab::WakeOnLan}));

// A folder text that does not start at the root is told, never refused: a loaded value the
// user never touched is saved as it is, and no folder is made for it.
TEST(SysdatSave, ARelativeFolderIsToldAndSavedUnchanged) {
    Saving t(test::with({{15, "  /src"}, {23, "dst"}}, test::defaultRecords()));
    t.m.Chg_flg = 1;
    t.be.answerNextBox(kAnsOk);
    t.be.answerNextBox(kAnsOk);
    t.save();
    ASSERT_EQ(t.be.boxes.size(), 2u);
    EXPECT_EQ(t.be.boxes[0].text,
              "コピー元フォルダが / から始まるフルパスではありません！\r  /src\rLen = 6 byte");
    EXPECT_EQ(t.be.boxes[1].text,
              "コピー先フォルダが / から始まるフルパスではありません！\rdst\rLen = 3 byte");
    EXPECT_TRUE(sameBytes(t.fileNow(), t.image));
    EXPECT_EQ(t.m.Chg_flg, 0);
    EXPECT_FALSE(std::filesystem::exists(t.dir / "dst"));
}

TEST(SysdatSave, AFailedWriteIsReportedAndNothingReloads) {
    Saving t(test::validRecords());
    const std::string folder = t.dir / "gone";
    t.m.Sysdat_path = folder + "/system.dat";
    t.view.log.clear();
    t.m.Chg_flg = 1;
    t.be.answerNextBox(kAnsOk);
    t.save();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_NE(t.be.boxes[0].text.find("[ok_bt_Click]"), std::string::npos);
    EXPECT_TRUE(t.view.log.empty());
    EXPECT_EQ(t.m.Chg_flg, 1);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

}  // namespace
}  // namespace vornel
