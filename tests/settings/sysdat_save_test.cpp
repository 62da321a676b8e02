#include "settings/sysdat_save.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/fake_view.h"
#include "settings/sysdat_read.h"
#include "support/fake_backend.h"
#include "support/sysdat_image.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::FakeBackend;
using test::FakeView;
using test::handMadeSysdat;
using test::readFile;
using test::TempDir;
using test::validRecords;
using test::writeFile;

struct Saving {
    FakeBackend be;
    KvCmn15 module{be};
    KvCmn15 window{be};
    Module1 m{module};
    FakeView view{m};
    TempDir dir;
    std::string image;

    // `damaged`: the file holds bytes that are not code page 932, which the load tells once.
    explicit Saving(const std::array<std::string, 110>& records, bool damaged = false) {
        m.Sysdat_path = dir / "system.dat";
        image = handMadeSysdat(records);
        writeFile(m.Sysdat_path, image);
        if (damaged) be.answerNextBox(kAnsOk);
        Sysdat_read(m, view);
    }
    void save() { ok_bt_Click(m, window, view); }
    std::string fileNow() { return readFile(m.Sysdat_path); }
};

std::array<std::string, 110> recordsWithOddBytes() {
    std::array<std::string, 110> r = test::defaultRecords();
    r[2] = "1";  // End_bkup has no control and must survive a save
    r[57] = "9";
    r[61] = "\xED\x40";     // 纊 in its NEC-selected form, which the converter writes as FA 5C
    r[62] = "10.0.0.\x80";  // not code page 932 at all
    return r;
}

TEST(SysdatSave, WithoutEditsRewritesTheSameBytes) {
    std::array<std::string, 110> r = recordsWithOddBytes();
    r[59] = "reserved";
    Saving t(r, true);
    const int pumps = t.be.pumpCount;

    t.save();
    r[59] = "";
    EXPECT_TRUE(test::sameBytes(t.fileNow(), handMadeSysdat(r)));
    EXPECT_EQ(t.m.End_bkup, "1");
    EXPECT_EQ(t.m.Chg_flg, 0);
    EXPECT_GT(t.be.pumpCount, pumps) << "the save pauses before it reloads";
    ASSERT_FALSE(t.view.focused.empty());
    EXPECT_EQ(t.view.focused.back(), (ControlRef{Control::mini_bt}));
}

TEST(SysdatSave, AnEditedValueIsStoredInCodePage932) {
    Saving t(recordsWithOddBytes(), true);
    t.view.type({Control::WOL_PCtxt, 0}, "ﾃｽﾄ日");
    t.view.type({Control::WOL_IPtxt, 0}, "10.0.0.1");
    t.save();
    std::array<std::string, 110> r = recordsWithOddBytes();
    r[61] = "\xC3\xBD\xC4\x93\xFA";
    r[62] = "10.0.0.1";
    EXPECT_TRUE(test::sameBytes(t.fileNow(), handMadeSysdat(r)));
    EXPECT_EQ(t.m.WOL_set[0].PCname, "ﾃｽﾄ日");
}

struct Refusal {
    ControlRef field;
    std::string typed;
    std::string message;
    int tab;
};

class SysdatSaveRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SysdatSaveRefusal, StopsBeforeAnythingChanges) {
    const Refusal& c = GetParam();
    std::array<std::string, 110> r = validRecords();
    r[17] = "/";
    r[25] = "/";
    Saving t(r);
    t.view.type(c.field, c.typed);
    t.m.Chg_flg = 1;
    t.be.answerNextBox(kAnsOk);
    t.save();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_EQ(t.be.boxes[0].text, c.message);
    EXPECT_EQ(t.be.boxes[0].title, "Error");
    EXPECT_EQ(t.view.tabs, std::vector<int>{c.tab});
    EXPECT_EQ(t.view.focused, std::vector<ControlRef>{c.field});
    EXPECT_TRUE(test::sameBytes(t.fileNow(), t.image));
    EXPECT_EQ(t.m.Dst_fld[2], "/");
    EXPECT_EQ(t.m.Chg_flg, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SysdatSaveRefusal,
    ::testing::Values(
        Refusal{{Control::dstfld_txt, 2},
                "/x\xF0\x9F\x98\x80",
                "フォルダ設定3のコピー先フォルダに保存できない文字が含まれてます！\r文字 = "
                "\xF0\x9F\x98\x80",
                2},
        Refusal{{Control::WOL_PCtxt, 1},
                std::string(257, 'p'),
                "Wake On Lan設定2のPC名が長すぎます！\rLen = 257 byte（最大256 byte）",
                12},
        Refusal{{Control::WOL_MAC_txt, 4, 5},
                "F\xEF\xBF\xBD",
                "Wake On Lan設定5のMACｱﾄﾞﾚｽ(6)に保存できない文字が含まれてます！\r文字 = "
                "\xEF\xBF\xBD",
                12},
        Refusal{{Control::srcfld_txt, 2},
                "data",
                "フォルダ設定3のコピー元フォルダは / から始まるフルパスで入力して下さい！",
                2}));

TEST(SysdatSave, AFailedWriteIsReportedAndNothingReloads) {
    Saving t(validRecords());
    const std::string folder = t.dir / "gone";
    std::filesystem::create_directory(folder);
    t.m.Sysdat_path = folder + "/system.dat";
    std::filesystem::remove(folder);
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
