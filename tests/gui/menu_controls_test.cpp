#include <QLabel>
#include <QTabBar>
#include <functional>

#include "menu_fixture.h"

namespace vornel::test {
namespace {

class MenuControls : public MenuTest {};

TEST_F(MenuControls, PagesAndButtonsCarryTheirCaptions) {
    start();
    const QStringList tabs = {"ﾌｫﾙﾀﾞ設定_1", "ﾌｫﾙﾀﾞ設定_2", "ﾌｫﾙﾀﾞ設定_3", "ﾌｫﾙﾀﾞ設定_4",
                              "ﾌｫﾙﾀﾞ設定_5", "ﾌｫﾙﾀﾞ設定_6", "ﾌｫﾙﾀﾞ設定_7", "ﾌｫﾙﾀﾞ設定_8",
                              "ｺﾋﾟｰ条件",    "起動ｲﾍﾞﾝﾄ",   "履歴",        "PC補助機能",
                              "Wake On Lan"};
    ASSERT_EQ(menu->SSTab1->count(), 13);
    for (int t = 0; t < 13; ++t) EXPECT_EQ(menu->SSTab1->tabText(t), tabs[t]);
    EXPECT_EQ(menu->bkup_bt->text(), "ﾊﾞｯｸｱｯﾌﾟ開始");
    EXPECT_EQ(menu->bkup_exit_bt->text(), "ﾊﾞｯｸｱｯﾌﾟ後Windows終了");
    EXPECT_EQ(menu->mini_bt->text(), "閉じる");
    EXPECT_EQ(menu->ok_bt->text(), "更　新");
    EXPECT_EQ(menu->close_bt->text(), "終　了");
    EXPECT_EQ(button("refsrc_bt_15")->text(), "参照");
    EXPECT_EQ(check("start_chk")->text(), " 起動時ﾊﾞｯｸｱｯﾌﾟ有効");
    EXPECT_EQ(option("rec_op_0")->text(), "　履歴の記録をしない");
    EXPECT_EQ(find<QLabel>("tb_lbl_9")->text(), "ﾊﾞｯｸｱｯﾌﾟ後 PCｼｬｯﾄﾀﾞｳﾝ");
    EXPECT_EQ(edit("hour_txt_2")->toolTip(), "24時間制で入力");
    EXPECT_FALSE(edit("WOL_MAC4_txt_5")->accessibleName().isEmpty());
}

TEST_F(MenuControls, ListsAreFilledWithoutMarkingAnEdit) {
    start();
    QComboBox* week = combo("arbint_week_cb");
    ASSERT_EQ(week->count(), 7);
    EXPECT_EQ(week->itemText(0), "日");
    EXPECT_EQ(week->itemText(6), "土");
    QComboBox* count = combo("WOL_ReptNum_cb");
    ASSERT_EQ(count->count(), 8);
    EXPECT_EQ(count->itemText(0), "3");
    EXPECT_EQ(count->itemText(7), "10");
    QComboBox* day = combo("arbint_day_cb");
    ASSERT_EQ(day->count(), 31);
    EXPECT_EQ(day->itemText(30), "31");
    menu->fillLists();
    EXPECT_EQ(week->currentText(), "日");
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuControls, EveryEditMarksTheSettingsChanged) {
    const std::vector<std::pair<const char*, std::function<void(MenuControls&)>>> edits = {
        {"source", [](MenuControls& t) { t.edit("srcfld_txt_4")->setText("/x"); }},
        {"destination", [](MenuControls& t) { t.edit("dstfld_txt_7")->setText("/x"); }},
        {"sub-folders", [](MenuControls& t) { t.check("subfld_chk_0")->click(); }},
        {"skip", [](MenuControls& t) { t.check("skip_chk_6")->click(); }},
        {"copy condition", [](MenuControls& t) { t.option("copy_op_0")->click(); }},
        {"open files", [](MenuControls& t) { t.option("cp_skip_1")->click(); }},
        {"history", [](MenuControls& t) { t.option("rec_op_0")->click(); }},
        {"start", [](MenuControls& t) { t.check("start_chk")->click(); }},
        {"start shutdown", [](MenuControls& t) { t.check("st_sdown")->setChecked(true); }},
        {"timer", [](MenuControls& t) { t.check("timer_chk")->click(); }},
        {"hour", [](MenuControls& t) { t.edit("hour_txt_2")->setText("1"); }},
        {"minute", [](MenuControls& t) { t.edit("min_txt_1")->setText("1"); }},
        {"shutdown after", [](MenuControls& t) { t.check("sdown_1")->setChecked(true); }},
        {"shutdown on", [](MenuControls& t) { t.check("asd_chk")->click(); }},
        {"shutdown hour", [](MenuControls& t) { t.edit("asd_hour_txt")->setText("1"); }},
        {"shutdown minute", [](MenuControls& t) { t.edit("asd_min_txt")->setText("1"); }},
        {"restart on", [](MenuControls& t) { t.check("arb_chk")->click(); }},
        {"restart hour", [](MenuControls& t) { t.edit("arb_hour_txt")->setText("1"); }},
        {"restart minute", [](MenuControls& t) { t.edit("arb_min_txt")->setText("1"); }},
        {"cycle", [](MenuControls& t) { t.option("arb_int_2")->setChecked(true); }},
        {"weekday picked", [](MenuControls& t) { t.combo("arbint_week_cb")->setCurrentIndex(2); }},
        {"day typed", [](MenuControls& t) { t.combo("arbint_day_cb")->setEditText("9"); }},
        {"wake entry", [](MenuControls& t) { t.check("WOL_chk_3")->click(); }},
        {"PC name", [](MenuControls& t) { t.edit("WOL_PCtxt_0")->setText("a"); }},
        {"IP address", [](MenuControls& t) { t.edit("WOL_IPtxt_4")->setText("1"); }},
        {"wake time", [](MenuControls& t) { t.edit("WOL_Time_txt_1")->setText("1"); }},
        {"MAC of entry 2", [](MenuControls& t) { t.edit("WOL_MAC2_txt_3")->setText("1"); }},
        {"port", [](MenuControls& t) { t.edit("WOL_Port_txt")->setText("7"); }},
        {"repeat count", [](MenuControls& t) { t.combo("WOL_ReptNum_cb")->setCurrentIndex(4); }},
    };
    start();
    for (const auto& [what, change] : edits) {
        SCOPED_TRACE(what);
        m.Chg_flg = 0;
        change(*this);
        EXPECT_EQ(m.Chg_flg, 1);
    }
}

TEST_F(MenuControls, SettingAValueAlreadyShownRunsNoHandler) {
    start();
    edit("WOL_Port_txt")->setText("9");
    check("subfld_chk_0")->setChecked(true);
    option("copy_op_1")->setChecked(true);
    combo("arbint_week_cb")->setEditText("日");
    menu->setValue({Control::WOL_chk, 0}, 0);
    EXPECT_EQ(m.Chg_flg, 0);
    m.Arb_int = "5";
    option("arb_int_0")->setChecked(true);
    EXPECT_EQ(m.Arb_int, "5") << "the selected cycle was not clicked again";
}

TEST_F(MenuControls, QuestionYesSavesNoKeepsTheFile) {
    start();
    edit("WOL_Port_txt")->setText("4000");
    be.answerNextBox(kAnsNo);
    if (chgConfirm() == 1) menu->ok_bt_Click();
    EXPECT_EQ(m.Chg_flg, 0);
    EXPECT_TRUE(sameBytes(fileNow(), image));
    EXPECT_EQ(edit("WOL_Port_txt")->text(), "4000") << "the edit stays in the window";
    EXPECT_EQ(chgConfirm(), 0) << "asked once only";

    edit("WOL_Port_txt")->setText("4001");
    be.answerNextBox(kAnsYes);
    if (chgConfirm() == 1) menu->ok_bt_Click();
    EXPECT_EQ(m.WOL_Port, "4001");
    EXPECT_EQ(m.Chg_flg, 0);
    std::array<std::string, 110> r = defaultRecords();
    r[57] = "4001";
    EXPECT_TRUE(sameBytes(fileNow(), handMadeSysdat(r)));
}

TEST_F(MenuControls, ControlGroupsFollowTheirBoxes) {
    start();
    auto enabled = [this](const char* name) {
        return menu->findChild<QWidget*>(name)->isEnabled();
    };
    menu->ctl_state(1, 1);
    EXPECT_TRUE(enabled("st_sdown"));
    menu->ctl_state(1, 2);
    EXPECT_FALSE(enabled("st_sdown")) << "grey counts as clear";

    check("timer_chk")->setChecked(true);
    for (const char* n : {"hour_txt_0", "min_txt_2", "sdown_1", "tb_lbl_0", "tb_lbl_9"}) {
        EXPECT_TRUE(enabled(n)) << n;
    }
    menu->ctl_state(2, 2);
    for (const char* n : {"hour_txt_0", "min_txt_2", "sdown_1", "tb_lbl_0", "tb_lbl_9"}) {
        EXPECT_FALSE(enabled(n)) << n;
    }
    check("asd_chk")->setChecked(true);
    EXPECT_TRUE(enabled("asd_hour_txt") && enabled("asd_min_txt") && enabled("asd_lbl_1"));
    check("asd_chk")->setChecked(false);
    EXPECT_FALSE(enabled("asd_hour_txt") || enabled("asd_min_txt") || enabled("asd_lbl_0"));
    menu->ctl_state(7, 0);  // no such group: nothing happens

    // The restart lists follow the cycle while the group is on, and stay off while it is not.
    check("arb_chk")->setChecked(true);
    EXPECT_TRUE(enabled("arb_int_2") && enabled("arb_lbl_3") && enabled("arb_hour_txt"));
    EXPECT_FALSE(enabled("arbint_week_cb") || enabled("arbint_day_cb")) << "daily";
    option("arb_int_1")->click();
    EXPECT_EQ(m.Arb_int, "1");
    EXPECT_TRUE(enabled("arbint_week_cb"));
    EXPECT_FALSE(enabled("arbint_day_cb"));
    option("arb_int_2")->click();
    EXPECT_FALSE(enabled("arbint_week_cb"));
    EXPECT_TRUE(enabled("arbint_day_cb"));
    check("arb_chk")->setChecked(false);
    EXPECT_FALSE(enabled("arbint_week_cb") || enabled("arbint_day_cb") || enabled("arb_int_0"));
}

TEST_F(MenuControls, PageChangeSetsTheHelpTopic) {
    start();
    const std::vector<std::pair<int, int>> steps = {{8, 2},  {9, 3}, {10, 4}, {11, 5},
                                                    {12, 5}, {3, 1}, {12, 1}};
    for (auto [tab, topic] : steps) {
        menu->SSTab1->setCurrentIndex(tab);
        EXPECT_EQ(menu->helpContextId(), topic) << "tab " << tab;
    }
}

TEST_F(MenuControls, BrowseFillsTheChosenSideAndCancelChangesNothing) {
    start();
    be.folderAnswers.push_back("/picked/dir");
    button("refsrc_bt_5")->click();
    EXPECT_EQ(be.dialogTitles, std::vector<std::string>{"フォルダの選択"});
    EXPECT_EQ(edit("dstfld_txt_2")->text(), "/picked/dir");
    EXPECT_EQ(m.Dst_fld[2], "/picked/dir");
    EXPECT_EQ(m.Fld_no, 2);
    EXPECT_EQ(m.Ref_kind, 1);
    EXPECT_EQ(m.Chg_flg, 1);

    m.Chg_flg = 0;
    button("refsrc_bt_8")->click();  // cancelled
    EXPECT_EQ(edit("srcfld_txt_4")->text(), "");
    EXPECT_EQ(m.Src_fld[4], "");
    EXPECT_EQ(m.Fld_no, 4);
    EXPECT_EQ(m.Ref_kind, 0);
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuControls, ClearEmptiesOnlyItsOwnPair) {
    std::array<std::string, 110> r = defaultRecords();
    for (std::size_t k : {0u, 1u}) {
        r[15 + k] = "/s";
        r[23 + k] = "/d";
        r[39 + k] = "1";
    }
    start(r);
    button("set_clr_bt_0")->click();
    EXPECT_EQ(edit("srcfld_txt_0")->text(), "");
    EXPECT_EQ(edit("dstfld_txt_0")->text(), "");
    EXPECT_FALSE(check("subfld_chk_0")->isChecked());
    EXPECT_FALSE(check("skip_chk_0")->isChecked());
    EXPECT_EQ(edit("srcfld_txt_1")->text(), "/s");
    EXPECT_TRUE(check("subfld_chk_1")->isChecked());
    EXPECT_TRUE(check("skip_chk_1")->isChecked());
    EXPECT_EQ(m.Src_fld[0], "/s") << "variables change only on saving";
    EXPECT_EQ(m.Chg_flg, 1);
}

TEST_F(MenuControls, ShowHistoryOpensTheHistoryFile) {
    start();
    button("recedit_bt")->click();
    EXPECT_EQ(be.shellOpened, std::vector<std::string>{m.Hist_path});
}

TEST_F(MenuControls, AGreyWakeUpStateFromTheFileIsShownAndClickedAway) {
    std::array<std::string, 110> r = defaultRecords();
    r[80] = "2";
    start(r);
    QCheckBox* box = check("WOL_chk_2");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    box->click();
    EXPECT_EQ(box->checkState(), Qt::Checked);
    box->click();
    box->click();
    EXPECT_EQ(box->checkState(), Qt::Checked) << "the grey state is not offered to clicks";
}

}  // namespace
}  // namespace vornel::test
