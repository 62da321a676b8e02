#include "settings/sysdat_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <random>

#include "settings/fake_view.h"

namespace vornel {
namespace {

using test::handMadeSysdat;
using test::Records;
using test::validRecords;
using test::with;
using C = Control;

using Loaded = test::ViewedFile;

// How a yes/no record reaches its control, loaded first with `text`, then with `other`
// over it. Options and the strict boxes follow only "0" and "1" and otherwise stay as they
// were; the pair and shutdown boxes tick for anything but "0"; the PC boxes only for "1".
struct BoxRule {
    std::size_t record;
    ControlRef control;
    const char* text;
    int state;
    const char* other;
    int stateAfterOther;
};

TEST(SysdatLoad, YesNoRecordsFollowTheRuleOfTheirGroup) {
    const BoxRule rules[] = {
        {0, {C::copy_op, 1}, "0", 0, "1 ", 1},  // a trailing blank is padding: this reads as "1"
        {4, {C::cp_skip, 1}, "0", 1, " 1", 1},  {5, {C::rec_op, 1}, "1", 1, "", 1},
        {1, {C::start_chk}, "1", 1, "yes", 1},  {47, {C::st_sdown}, "0", 0, "2", 0},
        {3, {C::timer_chk}, "1", 1, "", 1},     {6, {C::sdown, 0}, "0", 0, "x", 1},
        {7, {C::sdown, 1}, "", 1, "0", 0},      {31, {C::subfld_chk, 0}, "0", 0, "", 1},
        {46, {C::skip_chk, 7}, "1", 1, "0", 0}, {48, {C::asd_chk}, "1", 1, "yes", 0},
        {51, {C::arb_chk}, "1", 1, "", 0}};
    Records r = validRecords();
    for (const BoxRule& b : rules) r[b.record] = b.text;
    Loaded t(r);
    t.view.setCaption("before");
    t.load();
    EXPECT_EQ(t.view.caption, "Vornelnet");
    for (const BoxRule& b : rules) EXPECT_EQ(t.state(b.control), b.state) << "record " << b.record;

    for (const BoxRule& b : rules) r[b.record] = b.other;
    test::writeFile(t.m.Sysdat_path, handMadeSysdat(r));
    t.view.setCaption("before");
    t.load();
    EXPECT_EQ(t.view.caption, "before") << "a timer record that is no state leaves the caption";
    for (const BoxRule& b : rules) EXPECT_EQ(t.state(b.control), b.stateAfterOther) << b.record;
}

TEST(SysdatLoad, TextsKeepLeadingBlanksAndLoseThePaddingAndTheMarkIsClearedLast) {
    const test::Changes texts = {{9, "07"},        {14, "45"},   {15, "  /src"},   {30, "/dst  "},
                                 {55, "\x93\xFA"}, {58, "5"},    {59, "reserved"}, {62, "10.0.0.9"},
                                 {68, "ff"},       {69, "08:15"}};
    Loaded t(with(texts));
    t.m.Chg_flg = 1;
    t.load();
    const std::pair<ControlRef, std::string> shown[] = {
        {{C::hour_txt, 0}, "07"},        {{C::min_txt, 2}, "45"},
        {{C::srcfld_txt, 0}, "  /src"},  {{C::dstfld_txt, 7}, "/dst"},
        {{C::arbint_week_cb}, "日"},     {{C::WOL_ReptNum_cb}, "5"},
        {{C::WOL_IPtxt, 0}, "10.0.0.9"}, {{C::WOL_MAC_txt, 0, 5}, "ff"},
        {{C::WOL_Time_txt, 0}, "08:15"}};
    for (const auto& [control, text] : shown) EXPECT_EQ(t.shown(control), text);
    EXPECT_EQ(t.m.Src_fld[0], "  /src");
    EXPECT_EQ(t.m.WOL_set[0].WTime, "08:15");
    for (const auto& s : t.view.log) EXPECT_NE(s.value, "reserved");
    EXPECT_EQ(t.m.Tm_str[0], "07:");
    EXPECT_EQ(t.m.Tm_str[2], ":45");
    EXPECT_EQ(t.m.Chg_flg, 0);
    EXPECT_TRUE(t.be.boxes.empty());
}

TEST(SysdatLoad, DerivedTimesAndWakeOnLanCaptions) {
    Records r = with({{49, "22"}, {50, "05"}, {52, "03"}, {53, "30"}});
    // Entry 0 complete; entry 1 lacks only its PC name; entry 4 lacks one MAC byte.
    for (std::size_t g : {0u, 1u, 4u}) {
        r[61 + 10 * g] = g == 1 ? "" : "PC" + std::to_string(g + 1);
        r[62 + 10 * g] = "192.168.0.2";
        for (std::size_t j = 0; j < (g == 4 ? 5 : 6); ++j) r[63 + 10 * g + j] = "0A";
    }
    Loaded t(r);
    t.load();
    EXPECT_EQ(t.m.Asd_time, "22:05");
    EXPECT_EQ(t.m.Arb_time, "03:30");
    EXPECT_EQ(t.m.WOL_valid, (std::array<std::int16_t, 5>{1, 0, 0, 0, 0}));
    EXPECT_EQ(t.m.pc_wol_caption[0], "PC1起動");
    const std::map<int, std::string> tray = {{0, "PC1起動"},
                                             {1, "- WOL2無効 -"},
                                             {2, "- WOL3無効 -"},
                                             {3, "- WOL4無効 -"},
                                             {4, "- WOL5無効 -"}};
    EXPECT_EQ(t.view.trayCaptions, tray);
}

TEST(SysdatLoad, FillsTheControlsInLoadOrder) {
    Loaded t(with({{0, "1"}, {4, "1"}, {5, "1"}, {1, "0"}, {3, "0"}, {47, "0"}}));
    t.load();
    std::vector<C> order;
    for (const auto& s : t.view.log) {
        if (order.empty() || order.back() != s.control.control) order.push_back(s.control.control);
    }
    std::vector<C> expected;
    auto add = [&expected](int times, std::initializer_list<C> controls) {
        while (times-- > 0) expected.insert(expected.end(), controls);
    };
    add(1, {C::copy_op, C::cp_skip, C::start_chk, C::st_sdown});
    add(3, {C::hour_txt, C::min_txt});
    add(1, {C::timer_chk, C::rec_op});
    add(8, {C::srcfld_txt, C::dstfld_txt, C::subfld_chk, C::skip_chk});
    add(1, {C::sdown, C::asd_chk, C::asd_hour_txt, C::asd_min_txt, C::arb_chk, C::arb_hour_txt,
            C::arb_min_txt, C::arb_int, C::arbint_week_cb, C::arbint_day_cb, C::WOL_Port_txt,
            C::WOL_ReptNum_cb});
    add(5, {C::WOL_chk, C::WOL_PCtxt, C::WOL_IPtxt, C::WOL_MAC_txt, C::WOL_Time_txt});
    EXPECT_EQ(order, expected);
    EXPECT_EQ(t.view.log.size(), 4u + 6 + 2 + 32 + 3 + 11 + 5 * 10);
}

// A failed load stops where it fails, keeps the edit mark the values shown so far set, and
// reports the error number.
struct FailureCase {
    Records records;
    int number;
    ControlRef lastShown;
    ControlRef firstNotShown;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << "error " << c.number; }

class SysdatLoadFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SysdatLoadFailure, StopsTheLoadWhereTheValueIsNoState) {
    const FailureCase& c = GetParam();
    Loaded t(c.records);
    t.view.type(c.firstNotShown, "old");
    t.view.setTrayCaption(1, "old");
    t.be.answerNextBox(kAnsOk);
    t.load();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_EQ(t.be.boxes[0].title, "予期せぬエラー");
    EXPECT_NE(t.lastBox().find("エラー番号" + std::to_string(c.number)), std::string::npos);
    EXPECT_NE(t.lastBox().find("[Sysdat_read]"), std::string::npos);
    EXPECT_EQ(t.view.log.back().control, c.lastShown);
    EXPECT_EQ(t.shown(c.firstNotShown), "old");
    EXPECT_EQ(t.view.trayCaptions[1], "old");
    EXPECT_EQ(t.m.Chg_flg, 1);
}

FailureCase badCycle(const char* arbInt, int number) {
    return {with({{54, arbInt}, {55, "\x8C\x8E"}}), number, {C::arb_min_txt}, {C::arbint_week_cb}};
}

FailureCase badEnable() {
    return {
        with({{61, "PC1"}, {70, "5"}, {71, "PC2"}}), 380, {C::WOL_Time_txt, 0}, {C::WOL_PCtxt, 1}};
}

INSTANTIATE_TEST_SUITE_P(Cases, SysdatLoadFailure,
                         ::testing::Values(badCycle("3", 340), badCycle("", 13), badCycle("x", 13),
                                           badCycle("-1", 340), badEnable()));

TEST(SysdatFirstStart, OnlyTheFirstLoadWritesTheDefaultFile) {
    Loaded t(validRecords());
    std::filesystem::remove(t.m.Sysdat_path);
    EXPECT_TRUE(Sysdat_read(t.m, t.view, SysdatMissing::WriteDefaults));
    EXPECT_TRUE(t.be.boxes.empty());
    EXPECT_TRUE(test::sameBytes(t.fileNow(), handMadeSysdat(test::defaultRecords())));
    EXPECT_EQ(t.m.Arb_week, "日");
    EXPECT_EQ(t.state({C::copy_op, 1}), 1);
    EXPECT_EQ(t.state({C::subfld_chk, 3}), 1);
    EXPECT_EQ(t.m.Chg_flg, 0);
}

// What a later load finds where system.dat was: it is reported, nothing of it is loaded, the
// values the program holds and the edit mark stay, and nothing is written in its place.
struct FileState {
    const char* name;
    std::function<void(const std::string& path)> make;
    std::string message;  // part of the one box shown
};

TEST(SysdatFileStates, OnlyARegularFileOfAtMost110RecordsIsLoaded) {
    const std::string kOversize = sysdatTooLargeMessage();
    const FileState states[] = {
        {"vanished", [](const std::string& p) { std::filesystem::remove(p); }, "エラー番号53"},
        {"folder", [](const std::string& p) { std::filesystem::create_directory(p); },
         "エラー番号75"},
        {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "エラー番号75"},
        {"link to /dev/zero",
         [](const std::string& p) { std::filesystem::create_symlink("/dev/zero", p); },
         "エラー番号75"},
        {"dangling link",
         [](const std::string& p) { std::filesystem::create_symlink(p + ".gone", p); },
         "エラー番号53"},
        {"oversize",
         [](const std::string& p) { test::writeFile(p, handMadeSysdat(validRecords()) + "x"); },
         kOversize},
    };
    for (const FileState& s : states) {
        SCOPED_TRACE(s.name);
        Loaded t(with({{15, "/kept"}}));
        ASSERT_TRUE(Sysdat_read(t.m, t.view));
        std::filesystem::remove(t.m.Sysdat_path);
        s.make(t.m.Sysdat_path);
        std::error_code ec;
        const auto made = std::filesystem::symlink_status(t.m.Sysdat_path, ec).type();
        t.view.log.clear();
        t.m.Chg_flg = 1;
        t.be.answerNextBox(kAnsOk);
        EXPECT_FALSE(Sysdat_read(t.m, t.view, SysdatMissing::Report));
        ASSERT_EQ(t.be.boxes.size(), 1u);
        EXPECT_NE(t.lastBox().find(s.message), std::string::npos) << t.lastBox();
        EXPECT_TRUE(t.view.log.empty());
        EXPECT_EQ(t.m.Src_fld[0], "/kept");
        EXPECT_EQ(t.m.Chg_flg, 1);
        EXPECT_EQ(std::filesystem::symlink_status(t.m.Sysdat_path, ec).type(), made)
            << "nothing is written in its place";
    }
}

TEST(SysdatFileStates, ALinkToARegularFileIsLoadedThrough) {
    Loaded t(with({{15, "/linked"}}));
    const std::string target = t.dir / "synced.dat";
    std::filesystem::rename(t.m.Sysdat_path, target);
    std::filesystem::create_symlink(target, t.m.Sysdat_path);
    EXPECT_TRUE(Sysdat_read(t.m, t.view));
    EXPECT_EQ(t.shown({C::srcfld_txt, 0}), "/linked");
}

// Whatever the bytes of the file, a load neither crashes nor hangs nor writes to it.
TEST(SysdatFuzz, AnyContentLoadsWithoutHarmAndLeavesTheFileAsItWas) {
    std::mt19937 rng(20261207);
    auto byte = [&rng] { return static_cast<char>(rng() & 0xFF); };
    const char* const garbage[] = {"",       " ",     "x",    "-1",       "3",  "99999",
                                   "&HFFFF", "1.5e9", "\x81", "\xFF\xFF", "１", "2"};
    for (std::size_t length = 0; length <= 110 * 512; length += 487) {
        SCOPED_TRACE(length);
        Loaded t(validRecords());
        std::string image;
        if (length % 2 == 0) {
            for (std::size_t i = 0; i < length; ++i) image += byte();
        } else {
            // Records of the right shape: an invalid code page 932 sequence in every one and
            // garbage in the records that must hold numbers.
            Records r;
            for (std::size_t i = 0; i < 110; ++i) {
                r[i] = std::string(1, static_cast<char>(0x81 + rng() % 0x7E)) + "\x7F" + byte();
            }
            r[54] = garbage[rng() % std::size(garbage)];
            for (std::size_t g = 0; g < 5; ++g)
                r[60 + 10 * g] = garbage[rng() % std::size(garbage)];
            image = handMadeSysdat(r).substr(0, length);
        }
        test::writeFile(t.m.Sysdat_path, image);
        struct stat before {};
        ASSERT_EQ(::stat(t.m.Sysdat_path.c_str(), &before), 0);
        t.be.onBox = [&t](const MessageBoxRequest&) { t.be.answerNextBox(kAnsOk); };
        t.load();
        t.load();
        struct stat after {};
        ASSERT_EQ(::stat(t.m.Sysdat_path.c_str(), &after), 0);
        EXPECT_TRUE(test::sameBytes(t.fileNow(), image));
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.dir.path()), {}), 1);
        EXPECT_LE(t.be.boxes.size(), 3u) << "damage is told once, a failure once per load";
    }
}

TEST(SysdatDamaged, TellsOnceAndNeverRewritesTheFile) {
    Loaded t(validRecords());
    std::string image = handMadeSysdat(with({{61, "P\xFD"}}));
    image.resize(image.size() - 512);  // 109 records
    test::writeFile(t.m.Sysdat_path, image);
    t.be.answerNextBox(kAnsOk);
    t.load();
    ASSERT_EQ(t.be.boxes.size(), 1u);
    EXPECT_EQ(t.lastBox(), sysdatDamageMessage(true, true));
    EXPECT_EQ(t.shown({C::WOL_PCtxt, 0}), "P\xEF\xBF\xBD");
    EXPECT_EQ(t.shown({C::WOL_Time_txt, 4}), "");
    EXPECT_EQ(t.m.Chg_flg, 0);

    t.load();  // a backup run reloads: no second message
    EXPECT_EQ(t.be.boxes.size(), 1u);
    EXPECT_TRUE(test::sameBytes(t.fileNow(), image));

    // Once the file is sound again, a later damage is told again.
    test::writeFile(t.m.Sysdat_path, handMadeSysdat(validRecords()));
    t.load();
    test::writeFile(t.m.Sysdat_path, image);
    t.be.answerNextBox(kAnsOk);
    t.load();
    EXPECT_EQ(t.be.boxes.size(), 2u);
}

}  // namespace
}  // namespace vornel
