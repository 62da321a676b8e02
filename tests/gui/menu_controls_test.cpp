#include <QLabel>
#include <QLayout>
#include <QSignalSpy>

#include "menu_fixture.h"
#include "settings/sysdat_fields.h"
#include "settings/sysdat_file.h"

namespace vornel::test {
namespace {

class MenuControls : public MenuTest {
  public:
    void expectEnabled(const std::vector<const char*>& names, bool on) {
        for (const char* n : names) EXPECT_EQ(find<QWidget>(n)->isEnabled(), on) << n;
    }
};

// Screen readers announce every control the user can reach by the words it is known by.
TEST_F(MenuControls, PagesCarryTheirCaptionsAndEveryControlAnAccessibleName) {
    start();
    const QStringList named = {"ｺﾋﾟｰ条件", "起動ｲﾍﾞﾝﾄ", "履歴", "PC補助機能", "Wake On Lan"};
    ASSERT_EQ(menu->SSTab1->count(), 13);
    for (int t = 0; t < 13; ++t) {
        EXPECT_EQ(menu->SSTab1->tabText(t),
                  t < 8 ? QStringLiteral("ﾌｫﾙﾀﾞ設定_%1").arg(t + 1) : named[t - 8]);
    }
    int controls = 0;
    for (QWidget* w : menu->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || !(w->focusPolicy() & Qt::TabFocus))
            continue;
        ++controls;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << name.toStdString();
    }
    EXPECT_GE(controls, 144) << "the controls of the thirteen pages and the five buttons";
}

// Tab walks every page row by row, left to right, as the page shows its controls.
TEST_F(MenuControls, TabOrderFollowsTheRowsOfEveryPage) {
    start();
    for (int t = 0; t < menu->SSTab1->count(); ++t) {
        menu->SSTab1->setCurrentIndex(t);
        QWidget* page = menu->SSTab1->widget(t);
        page->layout()->activate();
        std::vector<QWidget*> chain;
        for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
            const bool control = !w->objectName().isEmpty() && !w->objectName().startsWith("qt_");
            if (page->isAncestorOf(w) && control && (w->focusPolicy() & Qt::TabFocus)) {
                chain.push_back(w);
            }
        }
        ASSERT_FALSE(chain.empty()) << t;
        auto box = [page](QWidget* w) { return QRect(w->mapTo(page, QPoint(0, 0)), w->size()); };
        for (std::size_t i = 1; i < chain.size(); ++i) {
            const QRect a = box(chain[i - 1]), b = box(chain[i]);
            const bool above = b.bottom() < a.top();
            const bool sameRow = !above && b.top() <= a.bottom();
            EXPECT_FALSE(above || (sameRow && b.left() < a.left()))
                << "tab " << t << ": " << chain[i - 1]->objectName().toStdString() << " then "
                << chain[i]->objectName().toStdString();
        }
    }
}

TEST_F(MenuControls, ListsAreFilledWithoutMarkingAnEdit) {
    start();
    const std::tuple<const char*, int, const char*, const char*> lists[] = {
        {"arbint_week_cb", 7, "日", "土"},
        {"WOL_ReptNum_cb", 8, "3", "10"},
        {"arbint_day_cb", 31, "1", "31"}};
    menu->fillLists();  // a second time, as the load step may
    for (const auto& [name, count, first, last] : lists) {
        auto* cb = find<QComboBox>(name);
        ASSERT_EQ(cb->count(), count) << name;
        EXPECT_EQ(cb->itemText(0), first);
        EXPECT_EQ(cb->itemText(count - 1), last);
    }
    EXPECT_EQ(shown("arbint_week_cb"), "日");
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuControls, EveryEditMarksTheSettingsChanged) {
    const Entries edits = {
        {"srcfld_txt_4", "/x"},  {"dstfld_txt_7", "/x"},  {"subfld_chk_0", "0"},
        {"skip_chk_6", "1"},     {"copy_op_0", "1"},      {"cp_skip_1", "1"},
        {"rec_op_0", "1"},       {"start_chk", "1"},      {"st_sdown", "1"},
        {"timer_chk", "1"},      {"hour_txt_2", "1"},     {"min_txt_1", "1"},
        {"sdown_1", "1"},        {"asd_chk", "1"},        {"asd_hour_txt", "1"},
        {"asd_min_txt", "1"},    {"arb_chk", "1"},        {"arb_hour_txt", "1"},
        {"arb_min_txt", "1"},    {"arb_int_2", "1"},      {"arbint_week_cb", "火"},
        {"arbint_day_cb", "09"}, {"WOL_chk_3", "1"},      {"WOL_PCtxt_0", "a"},
        {"WOL_IPtxt_4", "1"},    {"WOL_Time_txt_1", "1"}, {"WOL_MAC2_txt_3", "1"},
        {"WOL_Port_txt", "7"},   {"WOL_ReptNum_cb", "7"}};
    start();
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.first.toStdString());
        m.Chg_flg = 0;
        put({edit});
        EXPECT_EQ(m.Chg_flg, 1);
    }
}

TEST_F(MenuControls, SettingAValueAlreadyShownRunsNoHandler) {
    start();
    put({{"WOL_Port_txt", "9"}, {"subfld_chk_0", "1"}, {"copy_op_1", "1"}});
    find<QComboBox>("arbint_week_cb")->setEditText("日");
    menu->setValue({Control::WOL_chk, 0}, 0);
    EXPECT_EQ(m.Chg_flg, 0);
    m.Arb_int = "5";
    put({{"arb_int_0", "1"}});
    EXPECT_EQ(m.Arb_int, "5") << "the selected cycle was not clicked again";
}

TEST_F(MenuControls, ChangeMarkAsksOnceAndNoKeepsTheFile) {
    start();
    m.Upd_flg = 1;
    EXPECT_EQ(chg_confirm(m), 0) << "nothing to ask right after the load";
    EXPECT_EQ(m.Upd_flg, 0);

    put({{"WOL_Port_txt", "4000"}});
    be.onBox = [this](const MessageBoxRequest&) {
        EXPECT_EQ(m.Chg_flg, 0) << "cleared before asking";
    };
    be.answerNextBox(kAnsNo);
    EXPECT_EQ(chg_confirm(m), 0);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "システムデータが変更されています\r更新しますか？");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_TRUE(sameBytes(fileNow(), image));
    EXPECT_EQ(shown("WOL_Port_txt"), "4000") << "the edit stays in the window";
    EXPECT_EQ(chg_confirm(m), 0) << "a No is not asked again";

    put({{"WOL_Port_txt", "4001"}});
    be.answerNextBox(kAnsYes);
    EXPECT_EQ(chg_confirm(m), 1);
    EXPECT_EQ(m.Upd_flg, 1);
    EXPECT_EQ(be.boxes.size(), 2u);
}

TEST_F(MenuControls, ControlGroupsFollowTheirBoxesAndGreyIsOnlyLoaded) {
    start(with({{80, "2"}}, defaultRecords()));
    auto* grey = find<QCheckBox>("WOL_chk_2");
    EXPECT_EQ(shown("WOL_chk_2"), "2");
    grey->click();
    EXPECT_EQ(shown("WOL_chk_2"), "1");
    grey->click();
    grey->click();
    EXPECT_EQ(shown("WOL_chk_2"), "1") << "the grey state is not offered to clicks";

    const std::vector<const char*> times = {"hour_txt_0", "min_txt_2", "sdown_1", "tb_lbl_9"};
    menu->ctl_state(CtlGroup::StartShutdown, 1);
    expectEnabled({"st_sdown"}, true);
    menu->ctl_state(CtlGroup::StartShutdown, 2);
    expectEnabled({"st_sdown"}, false);  // grey counts as clear
    put({{"timer_chk", "1"}});
    expectEnabled(times, true);
    menu->ctl_state(CtlGroup::Times, 2);
    expectEnabled(times, false);
    put({{"asd_chk", "1"}});
    expectEnabled({"asd_hour_txt", "asd_min_txt", "asd_lbl_1"}, true);
    put({{"asd_chk", "0"}});
    expectEnabled({"asd_hour_txt", "asd_min_txt", "asd_lbl_0"}, false);

    // The restart lists follow the cycle while the group is on, and stay off while it is not.
    put({{"arb_chk", "1"}});
    expectEnabled({"arb_int_2", "arb_lbl_3", "arb_hour_txt"}, true);
    expectEnabled({"arbint_week_cb", "arbint_day_cb"}, false);  // daily
    put({{"arb_int_1", "1"}});
    EXPECT_EQ(m.Arb_int, "1");
    expectEnabled({"arbint_week_cb"}, true);
    expectEnabled({"arbint_day_cb"}, false);
    put({{"arb_int_2", "1"}});
    expectEnabled({"arbint_day_cb"}, true);
    expectEnabled({"arbint_week_cb"}, false);
    put({{"arb_chk", "0"}});
    expectEnabled({"arbint_week_cb", "arbint_day_cb", "arb_int_0"}, false);
    menu->ctl_state(CtlGroup::AutoRestart, 1);  // as an activation does: the cycle's list only
    expectEnabled({"arbint_day_cb", "arb_int_0"}, true);
    expectEnabled({"arbint_week_cb"}, false);
}

TEST_F(MenuControls, PageChangeSetsTheHelpTopic) {
    start();
    const std::pair<int, int> steps[] = {{8, 2},  {9, 3}, {10, 4}, {11, 5},
                                         {12, 5}, {3, 1}, {12, 1}};
    for (auto [tab, topic] : steps) {
        menu->SSTab1->setCurrentIndex(tab);
        EXPECT_EQ(menu->helpContextId(), topic) << "tab " << tab;
    }
}

// The dialog opens at the folder the field names; the browsed pair never becomes the tab the
// next activation shows.
TEST_F(MenuControls, BrowseFillsTheChosenSideAndCancelChangesNothing) {
    start();
    be.folderAnswers.push_back("/picked/dir");
    find<QPushButton>("refsrc_bt_5")->click();
    EXPECT_EQ(be.dialogTitles, std::vector<std::string>{"フォルダの選択"});
    EXPECT_EQ(shown("dstfld_txt_2"), "/picked/dir");
    EXPECT_EQ(m.Dst_fld[2], "/picked/dir");
    EXPECT_EQ((std::vector<int>{m.Fld_no, m.Ref_fld_no, m.Ref_kind}), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(m.Chg_flg, 1);

    m.Chg_flg = 0;
    find<QPushButton>("refsrc_bt_5")->click();  // cancelled
    find<QPushButton>("refsrc_bt_8")->click();  // cancelled
    EXPECT_EQ(be.folderDialogStarts, (std::vector<std::string>{"", "/picked/dir", ""}));
    EXPECT_EQ(shown("dstfld_txt_2"), "/picked/dir");
    EXPECT_EQ(shown("srcfld_txt_4"), "");
    EXPECT_EQ(m.Src_fld[4], "");
    EXPECT_EQ((std::vector<int>{m.Fld_no, m.Ref_fld_no, m.Ref_kind}), (std::vector<int>{1, 4, 0}));
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuControls, ClearEmptiesOnlyItsOwnPairAndShowHistoryOpensTheFile) {
    start(with({{15, "/s"}, {16, "/s"}, {23, "/d"}, {24, "/d"}, {39, "1"}, {40, "1"}},
               defaultRecords()));
    find<QPushButton>("set_clr_bt_0")->click();
    const Entries after = {{"srcfld_txt_0", ""}, {"dstfld_txt_0", ""},   {"subfld_chk_0", "0"},
                           {"skip_chk_0", "0"},  {"srcfld_txt_1", "/s"}, {"subfld_chk_1", "1"},
                           {"skip_chk_1", "1"}};
    for (const auto& [name, value] : after) EXPECT_EQ(shown(name), value) << name.toStdString();
    EXPECT_EQ(m.Src_fld[0], "/s") << "variables change only on saving";
    EXPECT_EQ(m.Chg_flg, 1);

    QSignalSpy history(menu.get(), &Menu::historyRequested);
    find<QPushButton>("recedit_bt")->click();
    EXPECT_EQ(history.count(), 1);
}

// The record table's boxes and the settings window agree on every name and page.
TEST_F(MenuControls, EveryTypedRecordNamesItsBoxOnItsPage) {
    start();
    const std::vector<ControlRef> buttons = {
        {Control::subfld_chk, 7}, {Control::copy_op, 1}, {Control::sdown, 2}, {Control::rec_op, 0},
        {Control::arb_int, 2},    {Control::WOL_chk, 4}, {Control::asd_chk}};
    std::vector<ControlRef> controls = buttons;
    for (int i = 0; i < kSysdatRecords; ++i) {
        if (const auto f = textFieldOf(i)) controls.push_back(f->control);
    }
    for (const ControlRef& c : controls) {
        const QString name = QString::fromStdString(controlName(c));
        auto* w = menu->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr) << name.toStdString();
        EXPECT_TRUE(menu->SSTab1->widget(tabIndex(*controlTab(c)))->isAncestorOf(w))
            << name.toStdString();
    }
    EXPECT_EQ(controls.size(), buttons.size() + 75);
    EXPECT_EQ(controlTab({Control::mini_bt}), std::nullopt);
    EXPECT_NE(menu->findChild<QWidget*>("mini_bt"), nullptr);
}

}  // namespace
}  // namespace vornel::test
