#include <QFocusEvent>
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
    // Empties a box that holds a refused value and moves the focus off it, as a user gives up
    // on a value; an empty box passes when it is left.
    void giveUp(QLineEdit* box) {
        box->setText(QString());
        menu->SSTab1->setCurrentIndex(0);
        menu->SSTab1->setFocus();
    }
};

// Screen readers announce every control the user can reach by the words it is known by.
TEST_F(MenuControls, EveryControlTheUserCanReachHasAnAccessibleName) {
    start();
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

// The record table's boxes and the settings window agree on every name and page, and every
// control marks the settings changed when it is edited.
TEST_F(MenuControls, EveryControlSitsOnItsPageAndItsEditMarksTheSettingsChanged) {
    start();
    // One of each kind of button, each an option not selected in a new installation.
    const std::vector<ControlRef> buttons = {
        {Control::subfld_chk, 7}, {Control::skip_chk, 6}, {Control::copy_op, 0},
        {Control::cp_skip, 1},    {Control::start_chk},   {Control::st_sdown},
        {Control::timer_chk},     {Control::sdown, 2},    {Control::rec_op, 0},
        {Control::asd_chk},       {Control::arb_chk},     {Control::arb_int, 2},
        {Control::WOL_chk, 4}};
    std::vector<ControlRef> controls = buttons;
    for (int i = 0; i < kSysdatRecords; ++i) {
        if (const auto f = textFieldOf(i)) controls.push_back(f->control);
    }
    EXPECT_EQ(controls.size(), buttons.size() + 75);
    for (const ControlRef& c : controls) {
        const QString name = QString::fromStdString(controlName(c));
        SCOPED_TRACE(name.toStdString());
        auto* w = menu->findChild<QWidget*>(name);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(menu->SSTab1->widget(tabIndex(*controlTab(c)))->isAncestorOf(w));
        m.Chg_flg = 0;
        if (auto* box = qobject_cast<QLineEdit*>(w)) box->setText(box->text() + "1");
        if (auto* cb = qobject_cast<QComboBox*>(w)) cb->setEditText(cb->currentText() + "1");
        if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(!b->isChecked());
        EXPECT_EQ(m.Chg_flg, 1);
    }
}

const char* const kHour = "入力された時間が範囲外です！";
const char* const kMinute = "入力された分が範囲外です！";
const char* const kMac = "MACアドレスの文字数が違います！";

struct FieldCase {
    const char* field;
    QString typed;
    QString shown;
    const char* message;  // nullptr: accepted
    int tab;              // page shown for a refused value, -1: not checked
};

TEST_F(MenuControls, LeavingABoxWritesItsValueOutOrRefusesIt) {
    const FieldCase cases[] = {
        {"hour_txt_1", "7", "07", nullptr, 0},      {"hour_txt_1", "-1", "-01", nullptr, 0},
        {"hour_txt_1", "23", "23", nullptr, 0},     {"hour_txt_1", "00", "00", nullptr, 0},
        {"hour_txt_1", " 9 ", "09", nullptr, 0},    {"hour_txt_1", "", "", nullptr, 0},
        {"hour_txt_1", "24", "24", kHour, 9},       {"hour_txt_1", "abc", "abc", kHour, 9},
        {"hour_txt_1", "99999", "99999", kHour, 9}, {"min_txt_2", "5", "05", nullptr, 0},
        {"min_txt_2", "60", "60", kMinute, 9},      {"asd_hour_txt", "23", "23", nullptr, 0},
        {"asd_hour_txt", "24", "24", kHour, 11},    {"asd_min_txt", "59", "59", nullptr, 0},
        {"asd_min_txt", "60", "60", kMinute, 11},   {"arb_hour_txt", "24", "24", kHour, 11},
        {"arb_min_txt", "59", "59", nullptr, 0},    {"arb_min_txt", "60", "60", kMinute, 11},
        {"WOL_MAC3_txt_4", "a5", "A5", nullptr, 0}, {"WOL_MAC3_txt_4", "G1", "G1", nullptr, 0},
        {"WOL_MAC3_txt_4", "", "", nullptr, 0},     {"WOL_MAC3_txt_4", "ｆ", "Ｆ", nullptr, 0},
        {"WOL_MAC3_txt_4", "5", "5", kMac, -1},     {"WOL_MAC3_txt_4", "abc", "ABC", kMac, -1},
    };
    start();
    for (const FieldCase& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.typed.toStdString());
        QLineEdit* box = edit(c.field);
        box->setText(c.typed);
        m.Chg_flg = 0;
        if (c.message) be.answerNextBox(kAnsOk);
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &leaving);
        QCoreApplication::processEvents();  // a refusal is told once the focus change is over
        EXPECT_EQ(box->text(), c.shown);
        if (c.message) {
            EXPECT_EQ(onlyBox(), c.message);
            if (c.tab >= 0) {
                EXPECT_EQ(menu->SSTab1->currentIndex(), c.tab);
            }
            EXPECT_EQ(focusName(), c.field);
            giveUp(box);
        } else {
            EXPECT_TRUE(be.boxes.empty());
            EXPECT_EQ(m.Chg_flg, c.shown != c.typed ? 1 : 0) << "rewriting counts as an edit";
        }
    }
}

}  // namespace
}  // namespace vornel::test
