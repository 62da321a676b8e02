#include <filesystem>
#include <functional>

#include "menu_fixture.h"

namespace vornel::test {
namespace {

class MenuSave : public MenuTest {};

struct Incomplete {
    const char* what;
    std::function<void(MenuSave&)> edit;
    std::string message;
    int tab;
    QString focus;
};

TEST_F(MenuSave, EachIncompleteSettingStopsWithItsMessageAtItsField) {
    const std::vector<Incomplete> cases = {
        {"pair 4 with only a destination",
         [](MenuSave& t) { t.edit("dstfld_txt_3")->setText("/tmp"); },
         "フォルダ設定4に空文字列が含まれてます！", 3, "srcfld_txt_3"},
        {"pair 8 with only a source", [](MenuSave& t) { t.edit("srcfld_txt_7")->setText("/tmp"); },
         "フォルダ設定8に空文字列が含まれてます！", 7, "srcfld_txt_7"},
        {"first time without minute",
         [](MenuSave& t) {
             t.check("timer_chk")->setChecked(true);
             t.edit("hour_txt_0")->setText("07");
         },
         "開始時間を入力して下さい！", 9, "hour_txt_0"},
        {"second time half filled",
         [](MenuSave& t) {
             t.check("timer_chk")->setChecked(true);
             t.edit("hour_txt_0")->setText("07");
             t.edit("min_txt_0")->setText("00");
             t.edit("hour_txt_1")->setText("08");
         },
         "開始時間を入力して下さい！", 9, "hour_txt_1"},
        {"third time with only a minute",
         [](MenuSave& t) {
             t.check("timer_chk")->setChecked(true);
             t.edit("hour_txt_0")->setText("07");
             t.edit("min_txt_0")->setText("00");
             t.edit("min_txt_2")->setText("15");
         },
         "開始時間を入力して下さい！", 9, "hour_txt_2"},
        {"automatic shutdown without minute",
         [](MenuSave& t) {
             t.check("asd_chk")->setChecked(true);
             t.edit("asd_hour_txt")->setText("22");
         },
         "自動PCシャットダウンの時間を入力して下さい！", 11, "asd_hour_txt"},
        {"automatic restart without hour",
         [](MenuSave& t) {
             t.check("arb_chk")->setChecked(true);
             t.edit("arb_min_txt")->setText("30");
         },
         "自動PC再起動の時間を入力して下さい！", 11, "arb_hour_txt"},
        {"ticked wake-up entry without port",
         [](MenuSave& t) {
             t.check("WOL_chk_2")->setChecked(true);
             t.edit("WOL_PCtxt_2")->setText("PC3");
             t.edit("WOL_IPtxt_2")->setText("127.0.0.1");
             t.edit("WOL_Time_txt_2")->setText("08:00");
             for (int j = 0; j < 6; ++j)
                 t.edit(QStringLiteral("WOL_MAC2_txt_%1").arg(j))->setText("0A");
             t.edit("WOL_Port_txt")->setText("");
         },
         "WakeOnLanの設定が全て入力されてません！", 12, "WOL_PCtxt_2"},
        {"ticked wake-up entry without its last MAC byte",
         [](MenuSave& t) {
             t.check("WOL_chk_4")->setChecked(true);
             t.edit("WOL_PCtxt_4")->setText("PC5");
             t.edit("WOL_IPtxt_4")->setText("127.0.0.1");
             t.edit("WOL_Time_txt_4")->setText("08:00");
             for (int j = 0; j < 5; ++j)
                 t.edit(QStringLiteral("WOL_MAC4_txt_%1").arg(j))->setText("0A");
         },
         "WakeOnLanの設定が全て入力されてません！", 12, "WOL_PCtxt_4"},
    };
    for (const Incomplete& c : cases) {
        SCOPED_TRACE(c.what);
        start();
        c.edit(*this);
        ASSERT_EQ(m.Chg_flg, 1);
        be.answerNextBox(kAnsOk);
        menu->ok_bt_Click();
        EXPECT_EQ(onlyBox(), c.message);
        EXPECT_EQ(menu->SSTab1->currentIndex(), c.tab);
        EXPECT_EQ(focusName(), c.focus);
        EXPECT_TRUE(sameBytes(fileNow(), image));
        EXPECT_EQ(m.Chg_flg, 1);
    }
}

TEST_F(MenuSave, IsRefusedWhileABackupRuns) {
    start();
    edit("srcfld_txt_0")->setText("/tmp");
    m.copydlg_visible = [] { return true; };
    be.answerNextBox(kAnsOk);
    button("ok_bt")->click();
    EXPECT_EQ(onlyBox(), "バックアップ実行中です！\r終了後更新して下さい");
    EXPECT_TRUE(sameBytes(fileNow(), image));
}

TEST_F(MenuSave, TimesMayStayHalfFilledWhileTheTimerIsOff) {
    start();
    edit("hour_txt_1")->setText("08");
    menu->ok_bt_Click();
    EXPECT_TRUE(be.boxes.empty());
    std::array<std::string, 110> r = defaultRecords();
    r[10] = "08";
    EXPECT_TRUE(sameBytes(fileNow(), handMadeSysdat(r)));
    EXPECT_EQ(m.Chg_flg, 0);
    EXPECT_EQ(focusName(), "mini_bt");
}

TEST_F(MenuSave, AMissingSourceIsReportedButSaved) {
    start();
    edit("srcfld_txt_1")->setText("/nonexist/a");
    edit("dstfld_txt_1")->setText(QString::fromStdString(dir.str()));
    be.answerNextBox(kAnsOk);
    menu->ok_bt_Click();
    EXPECT_EQ(onlyBox(), "コピー元フォルダが見つかりません！\r/nonexist/a\rLen = 11 byte");
    EXPECT_EQ(m.Src_fld[1], "/nonexist/a");
    EXPECT_NE(fileNow(), image);
    EXPECT_EQ(focusName(), "mini_bt");
}

TEST_F(MenuSave, AMissingDestinationIsCreatedOnOkOrKeptOnCancel) {
    start();
    const std::string made = dir / "made";
    const std::string later1 = dir / "later1";
    const std::string later2 = dir / "later2";
    auto pair = [this](int k, const std::string& dst) {
        edit(QStringLiteral("srcfld_txt_%1").arg(k))->setText(QString::fromStdString(dir.str()));
        edit(QStringLiteral("dstfld_txt_%1").arg(k))->setText(QString::fromStdString(dst));
    };
    pair(0, made);
    pair(2, later1);
    pair(5, later2);
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsCancel);
    std::vector<int> tabsWhenAsked;
    be.onBox = [this, &tabsWhenAsked](const MessageBoxRequest&) {
        tabsWhenAsked.push_back(menu->SSTab1->currentIndex());
    };
    be.answerNextBox(kAnsCancel);
    menu->ok_bt_Click();

    ASSERT_EQ(be.boxes.size(), 3u);
    EXPECT_EQ(be.boxes[0].text,
              "コピー先フォルダが見つかりません！\r" + made + " を新規作成しますか？");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(be.boxes[2].text,
              "コピー先フォルダが見つかりません！\r" + later2 + " を新規作成しますか？");
    EXPECT_EQ(tabsWhenAsked[2], 2) << "the first cancel showed pair 3";
    EXPECT_TRUE(std::filesystem::is_directory(made));
    EXPECT_FALSE(std::filesystem::exists(later1));
    EXPECT_EQ(menu->SSTab1->currentIndex(), 5);
    EXPECT_EQ(focusName(), "mini_bt");
    EXPECT_EQ(m.Dst_fld[5], later2);
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuSave, ADestinationThatCannotBeCreatedStopsTheSave) {
    start();
    edit("srcfld_txt_0")->setText(QString::fromStdString(dir.str()));
    edit("dstfld_txt_0")->setText(QString::fromStdString(dir / "no/such"));
    be.answerNextBox(kAnsOk);
    be.answerNextBox(kAnsOk);
    menu->ok_bt_Click();
    ASSERT_EQ(be.boxes.size(), 2u);
    EXPECT_EQ(be.boxes[1].title, "予期せぬエラー");
    EXPECT_NE(be.boxes[1].text.find("[ok_bt_Click]"), std::string::npos);
    EXPECT_TRUE(sameBytes(fileNow(), image));
}

// Every kind of value in a hand-made file reaches its control; edits made in the window are
// stored record by record and come back in a window that loads the file afresh.
TEST_F(MenuSave, HandMadeFileShowsEditsSurviveASaveAndARestart) {
    std::array<std::string, 110> r = defaultRecords();
    r[0] = "0";
    r[2] = "1";
    r[3] = "1";
    r[4] = "0";
    r[9] = "07";
    r[12] = "30";
    r[15] = std::string(dir.str());
    r[23] = std::string(dir.str());
    r[33] = "0";
    r[41] = "1";
    r[51] = "1";
    r[52] = "04";
    r[53] = "00";
    r[54] = "2";
    r[56] = "15";
    r[60] = "1";
    r[61] = "\x8E\x96\x96\xB1\x8F\x8A";  // 事務所
    r[62] = "127.0.0.1";
    for (std::size_t j = 0; j < 6; ++j) r[63 + j] = "0" + std::to_string(j);
    r[69] = "08:15";
    start(r);

    EXPECT_TRUE(option("copy_op_0")->isChecked());
    EXPECT_TRUE(option("cp_skip_1")->isChecked());
    EXPECT_TRUE(check("timer_chk")->isChecked());
    EXPECT_EQ(edit("hour_txt_0")->text(), "07");
    EXPECT_EQ(edit("min_txt_0")->text(), "30");
    EXPECT_EQ(edit("srcfld_txt_0")->text().toStdString(), dir.str());
    EXPECT_FALSE(check("subfld_chk_2")->isChecked());
    EXPECT_TRUE(check("skip_chk_2")->isChecked());
    EXPECT_TRUE(check("arb_chk")->isChecked());
    EXPECT_TRUE(option("arb_int_2")->isChecked());
    EXPECT_EQ(combo("arbint_day_cb")->currentText(), "15");
    EXPECT_EQ(combo("arbint_week_cb")->currentText(), "日");
    EXPECT_TRUE(check("WOL_chk_0")->isChecked());
    EXPECT_EQ(edit("WOL_PCtxt_0")->text(), "事務所");
    EXPECT_EQ(edit("WOL_MAC0_txt_5")->text(), "05");
    EXPECT_EQ(edit("WOL_Time_txt_0")->text(), "08:15");
    EXPECT_EQ(combo("WOL_ReptNum_cb")->currentText(), "3");
    EXPECT_EQ(menu->windowTitle(), "Vornelnet");
    EXPECT_EQ(m.Chg_flg, 0);

    edit("WOL_PCtxt_0")->setText("ﾃｽﾄPC");
    option("arb_int_1")->setChecked(true);
    combo("arbint_week_cb")->setCurrentIndex(3);  // 水
    check("subfld_chk_2")->setChecked(true);
    edit("WOL_IPtxt_1")->setText("127.0.0.2");
    menu->ok_bt_Click();
    EXPECT_TRUE(be.boxes.empty());

    r[33] = "1";
    r[54] = "1";
    r[55] = "\x90\x85";  // 水
    r[61] = "\xC3\xBD\xC4PC";
    r[72] = "127.0.0.2";
    EXPECT_TRUE(sameBytes(fileNow(), handMadeSysdat(r)));

    FakeBackend be2;
    KvCmn15 module2(be2);
    Module1 m2(module2);
    m2.Sysdat_path = m.Sysdat_path;
    Menu again(m2, be2);
    again.fillLists();
    again.Sysdat_read();
    EXPECT_EQ(again.findChild<QLineEdit*>("WOL_PCtxt_0")->text(), "ﾃｽﾄPC");
    EXPECT_EQ(again.findChild<QComboBox*>("arbint_week_cb")->currentText(), "水");
    EXPECT_TRUE(again.findChild<QRadioButton*>("arb_int_1")->isChecked());
    EXPECT_TRUE(again.findChild<QCheckBox*>("subfld_chk_2")->isChecked());
    EXPECT_EQ(again.findChild<QLineEdit*>("WOL_IPtxt_1")->text(), "127.0.0.2");
    EXPECT_EQ(m2.End_bkup, "1");
}

}  // namespace
}  // namespace vornel::test
