#include "settings/sysdat_read.h"

#include <gtest/gtest.h>

#include "settings/fake_view.h"
#include "settings/sysdat_file.h"
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

struct Loaded {
    FakeBackend be;
    KvCmn15 cmn{be};
    Module1 m{cmn};
    FakeView view{m};
    TempDir dir;

    explicit Loaded(const std::array<std::string, 110>& records) {
        m.Sysdat_path = dir / "system.dat";
        writeFile(m.Sysdat_path, handMadeSysdat(records));
    }
    void load() { Sysdat_read(m, view); }
    std::string shown(ControlRef c) { return view.text(c); }
    int state(ControlRef c) { return view.value(c); }
};

TEST(SysdatLoad, OptionsAndStrictBoxesFollowOnlyZeroOrOne) {
    std::array<std::string, 110> r = validRecords();
    r[0] = "0";  // Copy_op
    r[4] = "0";  // Cp_skip: copy anyway
    r[5] = "1";  // Rec_op
    r[1] = "1";  // Start_flg
    r[47] = "0";
    r[3] = "1";
    Loaded t(r);
    t.view.setCaption("before");
    t.load();
    EXPECT_EQ(t.state({Control::copy_op, 0}), 1);
    EXPECT_EQ(t.state({Control::cp_skip, 1}), 1);
    EXPECT_EQ(t.state({Control::rec_op, 1}), 1);
    EXPECT_EQ(t.state({Control::start_chk}), 1);
    EXPECT_EQ(t.state({Control::timer_chk}), 1);
    EXPECT_EQ(t.view.caption, "Vornelnet");

    // Texts other than "0" and "1" leave these controls and the caption as they were.
    std::array<std::string, 110> odd = validRecords();
    odd[0] = "2";
    odd[4] = " 1";
    odd[5] = "";
    odd[1] = "yes";
    odd[47] = "1 ";  // a trailing blank is padding: this reads as "1"
    odd[3] = "";
    writeFile(t.m.Sysdat_path, handMadeSysdat(odd));
    t.view.setCaption("before");
    t.load();
    EXPECT_EQ(t.state({Control::copy_op, 0}), 1);
    EXPECT_EQ(t.state({Control::cp_skip, 1}), 1);
    EXPECT_EQ(t.state({Control::rec_op, 1}), 1);
    EXPECT_EQ(t.state({Control::start_chk}), 1);
    EXPECT_EQ(t.state({Control::st_sdown}), 1);
    EXPECT_EQ(t.state({Control::timer_chk}), 1);
    EXPECT_EQ(t.view.caption, "before");
}

TEST(SysdatLoad, PairAndShutdownBoxesCheckForAnythingButZero) {
    std::array<std::string, 110> r = validRecords();
    r[6] = "0";     // Sdown_flg(0)
    r[31] = "0";    // Subfld_flg(0)
    r[40] = "x";    // Skip_flg(1)
    r[48] = "yes";  // Asd_flg: only "1" ticks
    r[51] = "1";    // Arb_flg
    Loaded t(r);
    t.load();
    EXPECT_EQ(t.state({Control::sdown, 0}), 0);
    EXPECT_EQ(t.state({Control::sdown, 1}), 1);
    EXPECT_EQ(t.state({Control::subfld_chk, 0}), 0);
    EXPECT_EQ(t.state({Control::subfld_chk, 7}), 1);
    EXPECT_EQ(t.state({Control::skip_chk, 1}), 1);
    EXPECT_EQ(t.state({Control::asd_chk}), 0);
    EXPECT_EQ(t.state({Control::arb_chk}), 1);
}

TEST(SysdatLoad, TextsKeepLeadingBlanksAndLoseThePadding) {
    std::array<std::string, 110> r = validRecords();
    r[9] = "07";
    r[14] = "45";
    r[15] = "  /src";
    r[30] = "/dst  ";
    r[55] = "\x93\xFA";  // 日
    r[58] = "5";
    r[59] = "reserved";
    r[62] = "10.0.0.9";
    r[68] = "ff";
    r[69] = "08:15";
    Loaded t(r);
    t.load();
    EXPECT_EQ(t.shown({Control::hour_txt, 0}), "07");
    EXPECT_EQ(t.shown({Control::min_txt, 2}), "45");
    EXPECT_EQ(t.shown({Control::srcfld_txt, 0}), "  /src");
    EXPECT_EQ(t.m.Src_fld[0], "  /src");
    EXPECT_EQ(t.shown({Control::dstfld_txt, 7}), "/dst");
    EXPECT_EQ(t.shown({Control::arbint_week_cb}), "日");
    EXPECT_EQ(t.shown({Control::WOL_ReptNum_cb}), "5");
    EXPECT_EQ(t.shown({Control::WOL_IPtxt, 0}), "10.0.0.9");
    EXPECT_EQ(t.shown({Control::WOL_MAC_txt, 0, 5}), "ff");
    EXPECT_EQ(t.shown({Control::WOL_Time_txt, 0}), "08:15");
    EXPECT_EQ(t.m.WOL_set[0].WTime, "08:15");
    for (const auto& s : t.view.log) EXPECT_NE(s.value, "reserved");
    EXPECT_EQ(t.m.Tm_str[0], "07:");
    EXPECT_EQ(t.m.Tm_str[2], ":45");
}

TEST(SysdatLoad, DerivedTimesAndWakeOnLanCaptions) {
    std::array<std::string, 110> r = validRecords();
    r[49] = "22";
    r[50] = "05";
    r[52] = "03";
    r[53] = "30";
    // Entry 0 complete; entry 1 lacks only its PC name; entry 4 lacks one MAC byte.
    auto fill = [&r](int g, const std::string& name) {
        const std::size_t b = static_cast<std::size_t>(60 + 10 * g);
        r[b + 1] = name;
        r[b + 2] = "192.168.0.2";
        for (std::size_t j = 0; j < 6; ++j) r[b + 3 + j] = "0A";
    };
    fill(0, "PC1");
    fill(1, "");
    fill(4, "PC5");
    r[108] = "";
    Loaded t(r);
    t.load();
    EXPECT_EQ(t.m.Asd_time, "22:05");
    EXPECT_EQ(t.m.Arb_time, "03:30");
    EXPECT_EQ(t.m.WOL_valid, (std::array<std::int16_t, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(t.view.trayCaptions[0], "PC1起動");
    EXPECT_EQ(t.view.trayCaptions[1], "- WOL2無効 -");
    EXPECT_EQ(t.view.trayCaptions[4], "- WOL5無効 -");
    EXPECT_EQ(t.m.pc_wol_caption[0], "PC1起動");
    EXPECT_EQ(t.m.pc_wol_caption[2], "- WOL3無効 -");
}

TEST(SysdatLoad, FillsTheControlsInTheOrderOfTheAlgorithm) {
    std::array<std::string, 110> r = validRecords();
    for (std::size_t i : {0u, 4u, 5u}) r[i] = "1";
    for (std::size_t i : {1u, 3u, 47u}) r[i] = "0";
    Loaded t(r);
    t.load();
    std::vector<Control> order;
    for (const auto& s : t.view.log) {
        if (order.empty() || order.back() != s.control.control) order.push_back(s.control.control);
    }
    using C = Control;
    std::vector<C> expected = {C::copy_op, C::cp_skip, C::start_chk, C::st_sdown};
    for (int k = 0; k < 3; ++k) {
        expected.push_back(C::hour_txt);
        expected.push_back(C::min_txt);
    }
    expected.push_back(C::timer_chk);
    expected.push_back(C::rec_op);
    for (int k = 0; k < 8; ++k) {
        for (C c : {C::srcfld_txt, C::dstfld_txt, C::subfld_chk, C::skip_chk})
            expected.push_back(c);
    }
    for (C c : {C::sdown, C::asd_chk, C::asd_hour_txt, C::asd_min_txt, C::arb_chk, C::arb_hour_txt,
                C::arb_min_txt, C::arb_int, C::arbint_week_cb, C::arbint_day_cb, C::WOL_Port_txt,
                C::WOL_ReptNum_cb}) {
        expected.push_back(c);
    }
    for (int g = 0; g < 5; ++g) {
        for (C c : {C::WOL_chk, C::WOL_PCtxt, C::WOL_IPtxt, C::WOL_MAC_txt, C::WOL_Time_txt}) {
            expected.push_back(c);
        }
    }
    EXPECT_EQ(order, expected);
    EXPECT_EQ(t.view.log.size(), 4u + 6 + 2 + 32 + 3 + 11 + 5 * 10);
}

TEST(SysdatLoad, ACompletedLoadClearsTheChangeMark) {
    std::array<std::string, 110> r = validRecords();
    r[15] = "/a";
    Loaded t(r);
    t.m.Chg_flg = 1;
    t.load();
    EXPECT_EQ(t.m.Chg_flg, 0);
    EXPECT_TRUE(t.be.boxes.empty());
}

struct FailureCase {
    const char* arbInt;
    int number;
};

class SysdatLoadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SysdatLoadFailure, RestartCycleThatIsNoOptionStopsTheLoad) {
    std::array<std::string, 110> r = validRecords();
    r[52] = "04";
    r[54] = GetParam().arbInt;
    r[55] = "\x8C\x8E";  // 月
    r[61] = "PC1";
    Loaded t(r);
    t.view.type({Control::arbint_week_cb}, "old");
    t.view.type({Control::WOL_PCtxt, 0}, "old");
    t.view.setTrayCaption(0, "old");
    t.m.Chg_flg = 0;
    t.be.answerNextBox(kAnsOk);
    t.load();

    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_EQ(t.be.boxes[0].title, "予期せぬエラー");
    EXPECT_NE(t.be.boxes[0].text.find("エラー番号" + std::to_string(GetParam().number)),
              std::string::npos);
    EXPECT_NE(t.be.boxes[0].text.find("[Sysdat_read]"), std::string::npos);
    // Everything up to the restart time was shown, nothing from the cycle on.
    EXPECT_EQ(t.shown({Control::arb_hour_txt}), "04");
    EXPECT_EQ(t.shown({Control::arbint_week_cb}), "old");
    EXPECT_EQ(t.shown({Control::WOL_PCtxt, 0}), "old");
    EXPECT_EQ(t.view.trayCaptions[0], "old");
    EXPECT_EQ(t.view.log.back().control.control, Control::arb_min_txt);
    // The values shown marked an edit, and the failed load does not clear it.
    EXPECT_EQ(t.m.Chg_flg, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, SysdatLoadFailure,
                         ::testing::Values(FailureCase{"3", 340}, FailureCase{"", 13},
                                           FailureCase{"x", 13}, FailureCase{"-1", 340}));

TEST(SysdatLoad, AnEnableFlagThatIsNoStateStopsAtItsEntry) {
    std::array<std::string, 110> r = validRecords();
    r[61] = "PC1";
    r[70] = "5";
    r[71] = "PC2";
    Loaded t(r);
    t.m.Chg_flg = 0;
    t.be.answerNextBox(kAnsOk);
    t.load();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_NE(t.be.boxes[0].text.find("エラー番号380"), std::string::npos);
    EXPECT_EQ(t.shown({Control::WOL_PCtxt, 0}), "PC1");
    EXPECT_EQ(t.shown({Control::WOL_PCtxt, 1}), "");
    EXPECT_EQ(t.m.Chg_flg, 1);
}

TEST(SysdatFirstStart, WritesTheDefaultFileAndLoadsIt) {
    FakeBackend be;
    KvCmn15 cmn(be);
    Module1 m(cmn);
    FakeView view(m);
    TempDir dir;
    m.Sysdat_path = dir / "system.dat";
    Sysdat_read(m, view);

    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(test::sameBytes(readFile(m.Sysdat_path), handMadeSysdat(test::defaultRecords())));
    EXPECT_EQ(m.Arb_week, "日");
    EXPECT_EQ(view.value({Control::copy_op, 1}), 1);
    EXPECT_EQ(view.value({Control::subfld_chk, 3}), 1);
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST(SysdatDamaged, TellsOnceAndNeverRewritesTheFile) {
    std::array<std::string, 110> r = validRecords();
    r[61] = "P\xFD";
    Loaded t(r);
    std::string image = handMadeSysdat(r);
    image.resize(image.size() - 512);  // 109 records
    writeFile(t.m.Sysdat_path, image);

    t.be.answerNextBox(kAnsOk);
    t.load();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_EQ(t.be.boxes[0].text, sysdatDamageMessage(true, true));
    EXPECT_EQ(t.shown({Control::WOL_PCtxt, 0}), "P\xEF\xBF\xBD");
    EXPECT_EQ(t.shown({Control::WOL_Time_txt, 4}), "");
    EXPECT_EQ(t.m.Chg_flg, 0);

    t.load();  // a backup run reloads: no second message
    EXPECT_EQ(t.be.boxes.size(), 1u);
    EXPECT_TRUE(test::sameBytes(readFile(t.m.Sysdat_path), image));

    // Once the file is sound again, a later damage is told again.
    writeFile(t.m.Sysdat_path, handMadeSysdat(validRecords()));
    t.load();
    writeFile(t.m.Sysdat_path, image);
    t.be.answerNextBox(kAnsOk);
    t.load();
    EXPECT_EQ(t.be.boxes.size(), 2u);
}

TEST(SysdatDamaged, AFolderInPlaceOfTheFileIsReported) {
    Loaded t(validRecords());
    std::filesystem::remove(t.m.Sysdat_path);
    std::filesystem::create_directory(t.m.Sysdat_path);
    t.m.Chg_flg = 1;
    t.be.answerNextBox(kAnsOk);
    t.load();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_NE(t.be.boxes[0].text.find("[Sysdat_read]"), std::string::npos);
    EXPECT_TRUE(t.view.log.empty());
    EXPECT_EQ(t.m.Chg_flg, 1);
}

}  // namespace
}  // namespace vornel
