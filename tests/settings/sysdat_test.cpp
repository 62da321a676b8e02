// system.dat: its records on disk, the load into a window without widgets, and the save.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "common/errors.h"
#include "common/module_state.h"
#include "settings/change_tracking.h"
#include "settings/settings_view.h"
#include "settings/sysdat_file.h"
#include "settings/sysdat_read.h"
#include "settings/sysdat_save.h"
#include "support/fake_backend.h"
#include "support/sysdat_image.h"
#include "support/temp_dir.h"

namespace vornel::test {
namespace {

namespace fs = std::filesystem;
using C = Control;

long entriesIn(const std::string& folder) {
    return std::distance(fs::directory_iterator(folder), {});
}

// A record holds 256 bytes of code page 932, not of UTF-8. (What has no code page 932 form is
// checked through the save's refusals.)
TEST(SysdatCodec, AValueFitsARecordByItsCodePage932Length) {
    std::string full;
    for (int i = 0; i < 128; ++i) full += "日";
    EXPECT_EQ(encodeSysdatValue(full).status, ValueEncoding::Ok);
    const ValueEncoding over = encodeSysdatValue(full + "a");
    EXPECT_EQ(over.status, ValueEncoding::TooLong);
    EXPECT_EQ(over.length, 257u);
}

// Settings kept elsewhere and linked here (a relative link to a relative link, as a user's
// dotfile manager makes them) are read through the links and replaced in their own folder, and
// the links stay. A write that fails leaves what was there and no temporary file.
TEST(SysdatFile, WriteReplacesTheFileWholeOrNotAtAllKeepingItsPermissionsAndItsLinks) {
    TempDir dir;
    const std::string path = dir / "system.dat";
    const std::string image = handMadeSysdat(validRecords());
    writeFile(path, "old");
    ::chmod(path.c_str(), 0640);
    writeSysdatFile(path, image);
    EXPECT_TRUE(sameBytes(readFile(path), image));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms{0640});
    EXPECT_EQ(entriesIn(dir.str()), 1) << "no temporary file is left behind";

    fs::create_directories(dir / "synced/settings");
    const std::string target = dir / "synced/settings/system.dat";
    fs::rename(path, target);
    ::chmod(target.c_str(), 0600);
    fs::create_symlink("synced/settings/system.dat", dir / "middle.dat");
    fs::create_symlink("middle.dat", path);
    const std::string linked = handMadeSysdat(with({{15, "/linked"}}));
    writeSysdatFile(path, linked);
    EXPECT_EQ(readSysdatFile(path).text[15], "/linked");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_TRUE(fs::is_symlink(dir / "middle.dat"));
    EXPECT_TRUE(sameBytes(readFile(target), linked));
    EXPECT_EQ(fs::status(target).permissions(), fs::perms{0600});
    EXPECT_EQ(entriesIn(dir.str()), 3);

    // A non-empty folder where the file should be: the final rename fails.
    const std::string busy = dir / "synced/settings/busy.dat";
    fs::create_directory(busy);
    writeFile(busy + "/keep", "x");
    EXPECT_THROW(writeSysdatFile(busy, "data"), VbError);
    EXPECT_EQ(readFile(busy + "/keep"), "x");
    EXPECT_EQ(entriesIn(dir / "synced/settings"), 2) << "the target and the folder, nothing else";
}

// A settings window without widgets: it keeps each control's content, runs the handlers a
// change runs (the edit mark, and the restart cycle for arb_int), and logs what was set.
class FakeView : public SettingsView {
  public:
    explicit FakeView(Module1& m) : m_(m) {}

    struct Set {
        ControlRef control;
        std::string value;
    };
    std::vector<Set> log;
    std::string caption;
    std::map<int, std::string> trayCaptions;
    std::vector<Tab> tabs;
    std::vector<ControlRef> focused;

    std::string text(ControlRef c) override { return texts_[key(c)]; }
    void setText(ControlRef c, const std::string& t) override {
        log.push_back({c, t});
        change(texts_[key(c)], t);
    }
    int value(ControlRef c) override { return values_[key(c)]; }
    void setValue(ControlRef c, int v) override {
        const Control k = c.control;
        const bool option = k == C::copy_op || k == C::cp_skip || k == C::rec_op || k == C::arb_int;
        if (!option && (v < 0 || v > 2)) throw VbError(380, "プロパティの値が不正です。");
        log.push_back({c, std::to_string(v)});
        if (option) {
            if (v != 1 || values_[key(c)] == 1) return;
            for (int i = 0; i < 3; ++i) values_[key({k, i})] = 0;
            if (k == C::arb_int) m_.Arb_int = std::to_string(c.index);
        }
        change(values_[key(c)], v);
    }
    void setCaption(const std::string& c) override { caption = c; }
    void setTrayCaption(int g, const std::string& c) override { trayCaptions[g] = c; }
    void showTab(Tab tab) override { tabs.push_back(tab); }
    void focus(ControlRef c) override { focused.push_back(c); }

    // Puts content in place as a user would have typed it, without logging.
    void type(ControlRef c, const std::string& t) { texts_[key(c)] = t; }

  private:
    template <class T>
    void change(T& current, const T& wanted) {
        if (current == wanted) return;
        current = wanted;
        m_.Chg_flg = 1;
    }
    static std::tuple<int, int, int> key(ControlRef c) {
        return {static_cast<int>(c.control), c.index, c.sub};
    }
    Module1& m_;
    std::map<std::tuple<int, int, int>, std::string> texts_;
    std::map<std::tuple<int, int, int>, int> values_;
};

// A program folder holding a hand-made system.dat, and a window without widgets for it.
struct ViewedFile {
    FakeBackend be;
    KvCmn15 module{be};
    KvCmn15 window{be};
    Module1 m{module};
    FakeView view{m};
    TempDir dir;
    std::string image;

    explicit ViewedFile(const Records& records) : image(handMadeSysdat(records)) {
        m.Sysdat_path = dir / "system.dat";
        writeFile(m.Sysdat_path, image);
    }
    void load() { Sysdat_read(m, view); }
    void save() { ok_bt_Click(m, window, view); }
    std::string fileNow() { return readFile(m.Sysdat_path); }
    std::string lastBox() { return be.boxes.empty() ? "" : be.boxes.back().text; }
};

// How a yes/no record reaches its control, loaded first with `text`, then with `other`
// over it. Options and the strict boxes follow only "0" and "1" and otherwise stay as they
// were; the pair and shutdown boxes tick for anything but "0"; the PC boxes only for "1".
TEST(SysdatLoad, YesNoRecordsFollowTheRuleOfTheirGroup) {
    const struct {
        std::size_t record;
        ControlRef control;
        const char* text;
        int state;
        const char* other;
        int stateAfterOther;
    } rules[] = {
        {0, {C::copy_op, 1}, "0", 0, "1 ", 1},  // a trailing blank is padding: this reads as "1"
        {4, {C::cp_skip, 1}, "0", 1, " 1", 1},  {5, {C::rec_op, 1}, "1", 1, "", 1},
        {1, {C::start_chk}, "1", 1, "yes", 1},  {47, {C::st_sdown}, "0", 0, "2", 0},
        {3, {C::timer_chk}, "1", 1, "", 1},     {6, {C::sdown, 0}, "0", 0, "x", 1},
        {7, {C::sdown, 1}, "", 1, "0", 0},      {31, {C::subfld_chk, 0}, "0", 0, "", 1},
        {46, {C::skip_chk, 7}, "1", 1, "0", 0}, {48, {C::asd_chk}, "1", 1, "yes", 0},
        {51, {C::arb_chk}, "1", 1, "", 0}};
    Records r = validRecords();
    for (const auto& b : rules) r[b.record] = b.text;
    ViewedFile t(r);
    t.view.setCaption("before");
    t.load();
    EXPECT_EQ(t.view.caption, "Vornelnet");
    for (const auto& b : rules)
        EXPECT_EQ(t.view.value(b.control), b.state) << "record " << b.record;

    for (const auto& b : rules) r[b.record] = b.other;
    writeFile(t.m.Sysdat_path, handMadeSysdat(r));
    t.view.setCaption("before");
    t.load();
    EXPECT_EQ(t.view.caption, "before") << "a timer record that is no state leaves the caption";
    for (const auto& b : rules) EXPECT_EQ(t.view.value(b.control), b.stateAfterOther) << b.record;
}

// Texts read in code page 932 (表: its second byte is the backslash; ﾃｽﾄ: one byte a character),
// up to the 256 bytes a record holds.
TEST(SysdatLoad, TextsKeepLeadingBlanksAndLoseThePaddingAndTheMarkIsClearedLast) {
    const std::string document = "\x83\x68\x83\x4C\x83\x85\x83\x81\x83\x93\x83\x67";
    const std::string full(256, 'z');
    const Changes texts = {
        {9, "07"},        {14, "45"},       {15, "  /src"}, {16, document},   {17, "\x95\x5C\\x"},
        {30, "/dst  "},   {55, "\x93\xFA"}, {58, "5"},      {59, "reserved"}, {61, "\xC3\xBD\xC4"},
        {62, "10.0.0.9"}, {68, "ff"},       {69, "08:15"},  {109, full}};
    ViewedFile t(with(texts));
    t.m.Chg_flg = 1;
    t.load();
    const std::pair<ControlRef, std::string> shown[] = {
        {{C::hour_txt, 0}, "07"},       {{C::min_txt, 2}, "45"},
        {{C::srcfld_txt, 0}, "  /src"}, {{C::srcfld_txt, 1}, "ドキュメント"},
        {{C::srcfld_txt, 2}, "表\\x"},  {{C::dstfld_txt, 7}, "/dst"},
        {{C::arbint_week_cb}, "日"},    {{C::WOL_ReptNum_cb}, "5"},
        {{C::WOL_PCtxt, 0}, "ﾃｽﾄ"},     {{C::WOL_IPtxt, 0}, "10.0.0.9"},
        {{C::WOL_MAC_txt, 0, 5}, "ff"}, {{C::WOL_Time_txt, 0}, "08:15"},
        {{C::WOL_Time_txt, 4}, full}};
    for (const auto& [control, text] : shown) EXPECT_EQ(t.view.text(control), text);
    EXPECT_EQ(t.m.WOL_set[0].WTime, "08:15");
    for (const auto& s : t.view.log) EXPECT_NE(s.value, "reserved");
    EXPECT_EQ(t.m.Tm_str[0], "07:");
    EXPECT_EQ(t.m.Tm_str[2], ":45");
    EXPECT_EQ(t.m.Chg_flg, 0);
    // So the question about edits asks nothing and forgets an earlier yes. (The question
    // itself, its answers and asking once are the quit and hide gestures', in the shell tests.)
    t.m.Upd_flg = 1;
    EXPECT_EQ(chg_confirm(t.m), 0);
    EXPECT_EQ(t.m.Upd_flg, 0);
}

TEST(SysdatLoad, DerivedTimesAndWakeOnLanCaptions) {
    Records r = with({{49, "22"}, {50, "05"}, {52, "03"}, {53, "30"}});
    // Entry 0 complete; entry 1 lacks only its PC name; entry 4 lacks one MAC byte.
    for (std::size_t g : {0u, 1u, 4u}) {
        r[61 + 10 * g] = g == 1 ? "" : "PC" + std::to_string(g + 1);
        r[62 + 10 * g] = "192.168.0.2";
        for (std::size_t j = 0; j < (g == 4 ? 5 : 6); ++j) r[63 + 10 * g + j] = "0A";
    }
    ViewedFile t(r);
    t.load();
    // The captions tell which entries can wake a PC.
    EXPECT_EQ(t.m.Asd_time, "22:05");
    EXPECT_EQ(t.m.Arb_time, "03:30");
    const std::map<int, std::string> tray = {{0, "PC1起動"},
                                             {1, "- WOL2無効 -"},
                                             {2, "- WOL3無効 -"},
                                             {3, "- WOL4無効 -"},
                                             {4, "- WOL5無効 -"}};
    EXPECT_EQ(t.view.trayCaptions, tray);
}

TEST(SysdatLoad, FillsTheControlsInLoadOrder) {
    ViewedFile t(with({{0, "1"}, {4, "1"}, {5, "1"}, {1, "0"}, {3, "0"}, {47, "0"}}));
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
TEST(SysdatLoad, AFailureStopsTheLoadWhereTheValueIsNoState) {
    const auto badCycle = [](const char* arbInt) { return with({{54, arbInt}, {55, "\x8C\x8E"}}); };
    const Records badEnable = with({{61, "PC1"}, {70, "5"}, {71, "PC2"}});
    const struct {
        Records records;
        int number;
        ControlRef lastShown, firstNotShown;
    } cases[] = {{badCycle("3"), 340, {C::arb_min_txt}, {C::arbint_week_cb}},
                 {badCycle(""), 13, {C::arb_min_txt}, {C::arbint_week_cb}},
                 {badCycle("x"), 13, {C::arb_min_txt}, {C::arbint_week_cb}},
                 {badCycle("-1"), 340, {C::arb_min_txt}, {C::arbint_week_cb}},
                 {badEnable, 380, {C::WOL_Time_txt, 0}, {C::WOL_PCtxt, 1}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        ViewedFile t(c.records);
        t.view.type(c.firstNotShown, "old");
        t.view.setTrayCaption(1, "old");
        t.be.answerNextBox(kAnsOk);
        t.load();
        ASSERT_EQ(t.be.boxes.size(), 1u);
        EXPECT_EQ(t.be.boxes[0].title, "予期せぬエラー");
        EXPECT_NE(t.lastBox().find("エラー番号" + std::to_string(c.number)), std::string::npos);
        EXPECT_NE(t.lastBox().find("[Sysdat_read]"), std::string::npos);
        EXPECT_EQ(t.view.log.back().control, c.lastShown);
        EXPECT_EQ(t.view.text(c.firstNotShown), "old");
        EXPECT_EQ(t.view.trayCaptions[1], "old");
        EXPECT_EQ(t.m.Chg_flg, 1);
    }
}

TEST(SysdatFirstStart, OnlyTheFirstLoadWritesTheDefaultFile) {
    ViewedFile t(validRecords());
    fs::remove(t.m.Sysdat_path);
    EXPECT_TRUE(Sysdat_read(t.m, t.view, SysdatMissing::WriteDefaults));
    EXPECT_TRUE(sameBytes(t.fileNow(), handMadeSysdat(defaultRecords())));
    EXPECT_EQ(t.m.Arb_week, "日");
    EXPECT_EQ(t.view.value({C::subfld_chk, 3}), 1);
}

// What a later load finds where system.dat was: it is reported, nothing of it is loaded, the
// values the program holds and the edit mark stay, and nothing is written in its place.
TEST(SysdatFileStates, OnlyARegularFileOfAtMost110RecordsIsLoaded) {
    const struct {
        const char* name;
        std::function<void(const std::string& path)> make;
        std::string message;  // found in the one box shown
    } states[] = {
        {"vanished", [](const std::string& p) { fs::remove(p); }, "エラー番号53"},
        {"folder", [](const std::string& p) { fs::create_directory(p); }, "エラー番号75"},
        {"FIFO", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "エラー番号75"},
        {"link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
         "エラー番号75"},
        {"dangling link", [](const std::string& p) { fs::create_symlink(p + ".gone", p); },
         "エラー番号53"},
        {"oversize",
         [](const std::string& p) { writeFile(p, handMadeSysdat(validRecords()) + "x"); },
         sysdatTooLargeMessage()},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.name);
        ViewedFile t(with({{15, "/kept"}}));
        ASSERT_TRUE(Sysdat_read(t.m, t.view));
        fs::remove(t.m.Sysdat_path);
        s.make(t.m.Sysdat_path);
        std::error_code ec;
        const auto made = fs::symlink_status(t.m.Sysdat_path, ec).type();
        t.view.log.clear();
        t.m.Chg_flg = 1;
        t.be.answerNextBox(kAnsOk);
        EXPECT_FALSE(Sysdat_read(t.m, t.view, SysdatMissing::Report));
        ASSERT_EQ(t.be.boxes.size(), 1u);
        EXPECT_NE(t.lastBox().find(s.message), std::string::npos) << t.lastBox();
        EXPECT_TRUE(t.view.log.empty());
        EXPECT_EQ(t.m.Src_fld[0], "/kept");
        EXPECT_EQ(t.m.Chg_flg, 1);
        EXPECT_EQ(fs::symlink_status(t.m.Sysdat_path, ec).type(), made)
            << "nothing is written in its place";
    }
}

// Whatever the bytes of the file, a load neither crashes nor hangs nor writes to it.
TEST(SysdatFuzz, AnyContentLoadsWithoutHarmAndLeavesTheFileAsItWas) {
    std::mt19937 rng(20261207);
    auto byte = [&rng] { return static_cast<char>(rng() & 0xFF); };
    const char* const garbage[] = {"",       " ",     "x",    "-1",       "3",  "99999",
                                   "&HFFFF", "1.5e9", "\x81", "\xFF\xFF", "１", "2"};
    for (std::size_t length = 0; length <= 110 * 512; length += 487) {
        SCOPED_TRACE(length);
        ViewedFile t(validRecords());
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
        writeFile(t.m.Sysdat_path, image);
        struct stat before {};
        ASSERT_EQ(::stat(t.m.Sysdat_path.c_str(), &before), 0);
        t.be.onBox = [&t](const MessageBoxRequest&) { t.be.answerNextBox(kAnsOk); };
        t.load();
        t.load();
        struct stat after {};
        ASSERT_EQ(::stat(t.m.Sysdat_path.c_str(), &after), 0);
        EXPECT_TRUE(sameBytes(t.fileNow(), image));
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        EXPECT_EQ(entriesIn(t.dir.str()), 1);
        EXPECT_LE(t.be.boxes.size(), 3u) << "damage is told once, a failure once per load";
    }
}

// A record cut short by the end of the file reads as far as it goes and missing records read
// empty; bytes that are not code page 932 read as U+FFFD. The message names each kind of damage
// and is told once until the file is sound again; the file is left as it is.
TEST(SysdatDamaged, ShowsWhatTheFileHoldsTellsOnceAndNeverRewritesTheFile) {
    std::string cut = handMadeSysdat(with({{109, "08:15"}}));
    cut.resize(109 * 512 + 4);
    std::string both = handMadeSysdat(with({{61, "P\xFD"}}));
    both.resize(both.size() - 512);  // 109 records
    const std::string invalid = handMadeSysdat(with({{61, "A\x80Z"}}));
    const struct {
        std::string image;
        bool wrongLength, invalidBytes;
        std::vector<std::pair<ControlRef, std::string>> shown;
    } cases[] = {
        {cut, true, false, {{{C::WOL_Time_txt, 4}, "08:1"}}},
        {invalid, false, true, {{{C::WOL_PCtxt, 0}, "A\xEF\xBF\xBDZ"}}},
        {both, true, true, {{{C::WOL_PCtxt, 0}, "P\xEF\xBF\xBD"}, {{C::WOL_Time_txt, 4}, ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(sysdatDamageMessage(c.wrongLength, c.invalidBytes));
        ViewedFile t(validRecords());
        writeFile(t.m.Sysdat_path, c.image);
        t.be.answerNextBox(kAnsOk);
        t.load();
        ASSERT_EQ(t.be.boxes.size(), 1u);
        EXPECT_EQ(t.lastBox(), sysdatDamageMessage(c.wrongLength, c.invalidBytes));
        for (const auto& [control, text] : c.shown) EXPECT_EQ(t.view.text(control), text);
        EXPECT_EQ(t.m.Chg_flg, 0);

        t.load();  // a backup run reloads: no second message (none is answered)
        EXPECT_TRUE(sameBytes(t.fileNow(), c.image));

        writeFile(t.m.Sysdat_path, handMadeSysdat(validRecords()));
        t.load();
        writeFile(t.m.Sysdat_path, c.image);
        t.be.answerNextBox(kAnsOk);
        t.load();
        EXPECT_EQ(t.be.boxes.size(), 2u);
    }
}

// A window that loaded `records`; `damaged`: the file holds bytes that are not code page 932,
// which the load tells once.
struct Saving : ViewedFile {
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
    Records r =
        with({{2, "1"}, {59, "reserved"}, {61, "\xED\x40"}, {62, "10.0.0.\x80"}}, defaultRecords());
    Saving t(r, true);
    const int pumps = t.be.pumpCount;
    t.view.type({C::WOL_PCtxt, 1}, "ﾃｽﾄ日");
    t.save();

    r[59] = "";
    r[71] = "\xC3\xBD\xC4\x93\xFA";
    EXPECT_TRUE(sameBytes(t.fileNow(), handMadeSysdat(r)));
    EXPECT_GT(t.be.pumpCount, pumps) << "the save pauses before it reloads";
    EXPECT_EQ(t.view.focused, std::vector<ControlRef>{{C::mini_bt}});
}

// A ticked wake-up entry `g` with its first `macs` MAC bytes and the given port.
Changes wakeUpEntry(std::size_t g, std::size_t macs, const char* port) {
    Changes c = {{57, port}, {58, "3"}, {60 + 10 * g, "1"}};
    c.insert(c.end(), {{62 + 10 * g, "127.0.0.1"}, {69 + 10 * g, "08:00"}});
    for (std::size_t j = 0; j < macs; ++j) c.push_back({63 + 10 * g + j, "0A"});
    return c;
}

// A refused save shows its message, the tab and the field, and changes nothing.
TEST(SysdatSave, ARefusalStopsBeforeAnythingChanges) {
    const char* const kTimerOn = "1";
    const std::string kTime = "開始時間を入力して下さい！";
    const std::string kWol = "WakeOnLanの設定が全て入力されてません！";
    const std::string kShutdown = "自動PCシャットダウンの時間を入力して下さい！";
    const std::string kRestart = "自動PC再起動の時間を入力して下さい！";
    const std::string kMinute = "入力された分が範囲外です！";
    const std::string kHour = "入力された時間が範囲外です！";
    // The timer on with its first time complete, and `more`.
    const auto timer = [kTimerOn](Changes more) {
        more.insert(more.end(), {{3, kTimerOn}, {9, "07"}, {12, "00"}});
        return more;
    };
    const struct {
        ControlRef field;
        std::string typed;
        std::string message;
        Tab tab;
        Changes records = {};
    } cases[] = {
        // An incomplete setting points at the first box of its group.
        {{C::srcfld_txt, 3},
         "",
         "フォルダ設定4に空文字列が含まれてます！",
         folderPairTab(3),
         {{26, "/tmp"}}},
        {{C::srcfld_txt, 7}, "/tmp", "フォルダ設定8に空文字列が含まれてます！", folderPairTab(7)},
        {{C::hour_txt, 0}, "07", kTime, Tab::StartEvents, {{3, kTimerOn}}},
        {{C::hour_txt, 1}, "08", kTime, Tab::StartEvents, timer({})},
        {{C::hour_txt, 2}, "", kTime, Tab::StartEvents, timer({{14, "15"}})},
        {{C::asd_hour_txt}, "22", kShutdown, Tab::PcFunctions, {{48, "1"}}},
        {{C::arb_hour_txt}, "", kRestart, Tab::PcFunctions, {{51, "1"}, {53, "30"}}},
        {{C::WOL_PCtxt, 2}, "PC", kWol, Tab::WakeOnLan, wakeUpEntry(2, 6, "")},
        {{C::WOL_PCtxt, 4}, "PC", kWol, Tab::WakeOnLan, wakeUpEntry(4, 5, "9")},
        {{C::dstfld_txt, 2},
         "/x\xF0\x9F\x98\x80",
         "フォルダ設定3のコピー先フォルダに保存できない文字が含まれてます！\r文字 = "
         "\xF0\x9F\x98\x80",
         folderPairTab(2)},
        // Read back, the tilde would name another folder.
        {{C::srcfld_txt, 2},
         "/home/u/資料〜2023",
         "フォルダ設定3のコピー元フォルダに保存できない文字が含まれてます！\r文字 = 〜",
         folderPairTab(2)},
        {{C::WOL_PCtxt, 1},
         std::string(257, 'p'),
         "Wake On Lan設定2のPC名が長すぎます！\rLen = 257 byte（最大256 byte）",
         Tab::WakeOnLan},
        {{C::WOL_MAC_txt, 4, 5},
         "F\xEF\xBF\xBD",
         "Wake On Lan設定5のMACｱﾄﾞﾚｽ(6)に保存できない文字が含まれてます！\r文字 = "
         "\xEF\xBF\xBD",
         Tab::WakeOnLan},
        // Values the check on leaving the box refuses are refused by the save as well.
        {{C::hour_txt, 1}, "24", kHour, Tab::StartEvents, timer({{13, "00"}})},
        {{C::arb_min_txt}, "x", kMinute, Tab::PcFunctions, {{51, "1"}, {52, "03"}}},
        {{C::WOL_MAC_txt, 0, 3}, "5", "MACアドレスの文字数が違います！", Tab::WakeOnLan},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Changes records = {{17, "/"}, {25, "/"}};
        records.insert(records.end(), c.records.begin(), c.records.end());
        Saving t(with(records));
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
}

// A folder text that does not start at the root is told, never refused: a loaded value the
// user never touched is saved as it is, and no folder is made for it.
TEST(SysdatSave, ARelativeFolderIsToldAndSavedUnchanged) {
    Saving t(with({{15, "  /src"}, {23, "dst"}}, defaultRecords()));
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
    EXPECT_FALSE(fs::exists(t.dir / "dst"));
}

TEST(SysdatSave, AFailedWriteIsReportedAndNothingReloads) {
    Saving t(validRecords());
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
    EXPECT_FALSE(fs::exists(folder));
}

}  // namespace
}  // namespace vornel::test
