#include "app/menu.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "app/platform/qt_backend.h"
#include "settings/sysdat_fields.h"
#include "settings/sysdat_file.h"
#include "support/program_state.h"
#include "support/sysdat_image.h"

namespace vornel::test {
namespace {

using C = Control;

// Control name and value, as `put` and `shown` take them.
using Entries = std::vector<std::pair<QString, QString>>;

// A settings window on the fake desktop, loaded from a hand-made system.dat in a fresh folder.
class MenuWindow : public ::testing::Test, public ProgramState<> {
  public:
    std::unique_ptr<Menu> menu;
    std::string image;

    // Opens the window over a file of `records`, with its boxes and dialogs on `desktop`
    // (the fake one when null).
    void start(const Records& records = defaultRecords(), PlatformBackend* desktop = nullptr) {
        m.Sysdat_path = tmp / "system.dat";
        image = handMadeSysdat(records);
        writeFile(m.Sysdat_path, image);
        menu = std::make_unique<Menu>(m, desktop ? *desktop : be);
        menu->fillLists();
        menu->Sysdat_read();
        menu->show();
        QApplication::setActiveWindow(menu.get());
    }

    template <class W>
    W* find(const QString& name) {
        W* w = menu->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    // What a control shows, written as the file stores it: a box's text, or "1", "0" and "2"
    // for a ticked, clear or grey button.
    QString shown(const QString& name) {
        QWidget* w = find<QWidget>(name);
        if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
        if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->currentText();
        if (auto* c = qobject_cast<QCheckBox*>(w)) {
            return c->checkState() == Qt::PartiallyChecked ? "2" : c->isChecked() ? "1" : "0";
        }
        if (auto* option = qobject_cast<QRadioButton*>(w)) return option->isChecked() ? "1" : "0";
        return QStringLiteral("?");
    }

    // Changes controls as a user would: types into a box, picks a list item when the list
    // holds the value (else types it), ticks ("1") or clears ("0") a button.
    void put(const Entries& entries) {
        for (const auto& [name, value] : entries) {
            QWidget* w = find<QWidget>(name);
            if (auto* box = qobject_cast<QLineEdit*>(w)) box->setText(value);
            if (auto* cb = qobject_cast<QComboBox*>(w)) {
                const int i = cb->findText(value);
                i >= 0 ? cb->setCurrentIndex(i) : cb->setEditText(value);
            }
            if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(value == "1");
        }
    }

    QString focusName() const {
        QWidget* f = menu->focusWidget();
        return f ? f->objectName() : QString();
    }
    std::string fileNow() const { return readFile(m.Sysdat_path); }

    void expectEnabled(const std::vector<const char*>& on, const std::vector<const char*>& off) {
        for (const char* n : on) EXPECT_TRUE(find<QWidget>(n)->isEnabled()) << n;
        for (const char* n : off) EXPECT_FALSE(find<QWidget>(n)->isEnabled()) << n;
    }
};

// Screen readers announce every control the user can reach by the words it is known by, and Tab
// walks every page row by row, left to right, as the page shows its controls.
TEST_F(MenuWindow, ReachableControlsHaveAccessibleNamesAndTabFollowsTheRowsOfEveryPage) {
    start();
    const auto reachable = [](QWidget* w) {
        const QString name = w->objectName();
        return !name.isEmpty() && !name.startsWith("qt_") && (w->focusPolicy() & Qt::TabFocus);
    };
    int controls = 0;
    for (QWidget* w : menu->findChildren<QWidget*>()) {
        if (!reachable(w)) continue;
        ++controls;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_GE(controls, 144) << "the controls of the thirteen pages and the five buttons";

    for (int t = 0; t < menu->SSTab1->count(); ++t) {
        menu->SSTab1->setCurrentIndex(t);
        QWidget* page = menu->SSTab1->widget(t);
        page->layout()->activate();
        std::vector<QWidget*> chain;
        for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
            if (page->isAncestorOf(w) && reachable(w)) chain.push_back(w);
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

TEST_F(MenuWindow, RefillingTheListsOrSettingAValueAlreadyShownRunsNoHandler) {
    start(with({{55, "\x90\x85"}}, defaultRecords()));  // restarts on Wednesdays
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
    EXPECT_EQ(shown("arbint_week_cb"), "水");
    // Setting what a control already shows is no edit either.
    put({{"WOL_Port_txt", "9"}, {"subfld_chk_0", "1"}, {"copy_op_1", "1"}});
    find<QComboBox>("arbint_week_cb")->setEditText("水");
    menu->setValue({C::WOL_chk, 0}, 0);
    EXPECT_EQ(m.Chg_flg, 0);
    m.Arb_int = "5";
    put({{"arb_int_0", "1"}});
    EXPECT_EQ(m.Arb_int, "5") << "the selected cycle was not clicked again";
}

TEST_F(MenuWindow, ControlGroupsFollowTheirBoxesAndGreyIsOnlyLoaded) {
    start(with({{80, "2"}}, defaultRecords()));
    auto* grey = find<QCheckBox>("WOL_chk_2");
    EXPECT_EQ(shown("WOL_chk_2"), "2");
    grey->click();
    EXPECT_EQ(shown("WOL_chk_2"), "1");
    grey->click();
    grey->click();
    EXPECT_EQ(shown("WOL_chk_2"), "1") << "the grey state is not offered to clicks";

    const std::vector<const char*> times = {"hour_txt_0", "min_txt_2", "sdown_1", "tb_lbl_9"};
    menu->ctl_state(CtlGroup::StartShutdown, 2);
    expectEnabled({}, {"st_sdown"});  // grey counts as clear
    put({{"timer_chk", "1"}});
    expectEnabled(times, {});
    menu->ctl_state(CtlGroup::Times, 2);
    expectEnabled({}, times);
    put({{"asd_chk", "1"}});
    expectEnabled({"asd_hour_txt", "asd_min_txt", "asd_lbl_1"}, {});
    put({{"asd_chk", "0"}});
    expectEnabled({}, {"asd_hour_txt", "asd_min_txt", "asd_lbl_0"});

    // The restart lists follow the cycle while the group is on, and stay off while it is not.
    put({{"arb_chk", "1"}});
    expectEnabled({"arb_int_2", "arb_lbl_3", "arb_hour_txt"},
                  {"arbint_week_cb", "arbint_day_cb"});  // daily
    put({{"arb_int_1", "1"}});
    EXPECT_EQ(m.Arb_int, "1");
    expectEnabled({"arbint_week_cb"}, {"arbint_day_cb"});
    put({{"arb_int_2", "1"}});
    expectEnabled({"arbint_day_cb"}, {"arbint_week_cb"});
    put({{"arb_chk", "0"}});
    expectEnabled({}, {"arbint_week_cb", "arbint_day_cb", "arb_int_0"});
    menu->ctl_state(CtlGroup::AutoRestart, 1);  // as an activation does: the cycle's list only
    expectEnabled({"arbint_day_cb", "arb_int_0"}, {"arbint_week_cb"});
}

TEST_F(MenuWindow, PageChangeSetsTheHelpTopic) {
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
TEST_F(MenuWindow, BrowseFillsTheChosenSideAndCancelChangesNothing) {
    start();
    be.folderAnswers.push_back("/picked/dir");
    find<QPushButton>("refsrc_bt_5")->click();
    EXPECT_EQ(shown("dstfld_txt_2"), "/picked/dir");
    EXPECT_EQ(m.Dst_fld[2], "/picked/dir");
    EXPECT_EQ(m.Fld_no, 1);
    EXPECT_EQ(m.Chg_flg, 1);

    m.Chg_flg = 0;
    find<QPushButton>("refsrc_bt_5")->click();  // cancelled
    find<QPushButton>("refsrc_bt_8")->click();  // cancelled
    EXPECT_EQ(be.folderDialogStarts, (std::vector<std::string>{"", "/picked/dir", ""}));
    EXPECT_EQ(shown("dstfld_txt_2"), "/picked/dir");
    EXPECT_EQ(shown("srcfld_txt_4"), "");
    EXPECT_EQ(m.Src_fld[4], "");
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(MenuWindow, ClearEmptiesOnlyItsOwnPairAndShowHistoryOpensTheFile) {
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
TEST_F(MenuWindow, EveryControlSitsOnItsPageAndItsEditMarksTheSettingsChanged) {
    start();
    // One of each kind of button, each an option not selected in a new installation.
    const std::vector<ControlRef> buttons = {
        {C::subfld_chk, 7}, {C::skip_chk, 6}, {C::copy_op, 0}, {C::cp_skip, 1}, {C::start_chk},
        {C::st_sdown},      {C::timer_chk},   {C::sdown, 2},   {C::rec_op, 0},  {C::asd_chk},
        {C::arb_chk},       {C::arb_int, 2},  {C::WOL_chk, 4}};
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

TEST_F(MenuWindow, LeavingABoxWritesItsValueOutOrRefusesIt) {
    const struct {
        const char* field;
        QString typed;
        QString shown;
        const char* message;  // nullptr: accepted
        int tab;              // page shown for a refused value
    } cases[] = {
        {"hour_txt_1", "7", "07", nullptr, 0},      {"hour_txt_1", "-1", "-01", nullptr, 0},
        {"hour_txt_1", "23", "23", nullptr, 0},     {"hour_txt_1", "00", "00", nullptr, 0},
        {"hour_txt_1", " 9 ", "09", nullptr, 0},    {"hour_txt_1", "", "", nullptr, 0},
        {"hour_txt_1", "abc", "abc", kHour, 9},     {"hour_txt_1", "99999", "99999", kHour, 9},
        {"min_txt_2", "5", "05", nullptr, 0},       {"min_txt_2", "60", "60", kMinute, 9},
        {"asd_hour_txt", "24", "24", kHour, 11},    {"asd_min_txt", "59", "59", nullptr, 0},
        {"asd_min_txt", "60", "60", kMinute, 11},   {"arb_hour_txt", "24", "24", kHour, 11},
        {"arb_min_txt", "60", "60", kMinute, 11},   {"WOL_MAC3_txt_4", "a5", "A5", nullptr, 0},
        {"WOL_MAC3_txt_4", "G1", "G1", nullptr, 0}, {"WOL_MAC3_txt_4", "", "", nullptr, 0},
        {"WOL_MAC3_txt_4", "ｆ", "Ｆ", nullptr, 0}, {"WOL_MAC3_txt_4", "abc", "ABC", kMac, 12},
    };
    start();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.typed.toStdString());
        auto* box = find<QLineEdit>(c.field);
        box->setText(c.typed);
        m.Chg_flg = 0;
        if (c.message) be.answerNextBox(kAnsOk);
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &leaving);
        QCoreApplication::processEvents();  // a refusal is told once the focus change is over
        EXPECT_EQ(box->text(), c.shown);
        if (c.message) {
            ASSERT_EQ(be.boxes.size(), 1u);
            EXPECT_EQ(be.boxes[0].text, c.message);
            be.boxes.clear();
            EXPECT_EQ(menu->SSTab1->currentIndex(), c.tab);
            EXPECT_EQ(focusName(), c.field);
            // The user gives up on the value: an empty box passes when it is left.
            box->setText(QString());
            menu->SSTab1->setCurrentIndex(0);
            menu->SSTab1->setFocus();
        } else {  // the fake desktop fails the test on any box it was not told to expect
            EXPECT_EQ(m.Chg_flg, c.shown != c.typed ? 1 : 0) << "rewriting counts as an edit";
        }
    }
}

// Missing folders are told pair by pair: a missing source only told, and saved; a missing
// destination made on OK, or kept on Cancel with its pair shown.
TEST_F(MenuWindow, AMissingSourceIsToldAndAMissingDestinationMadeOnOkOrKeptOnCancel) {
    start();
    const std::string made = tmp / "made", later1 = tmp / "later1", later2 = tmp / "later2";
    for (const auto& [k, dst] : {std::pair(0, made), std::pair(2, later1), std::pair(5, later2)}) {
        put({{QStringLiteral("srcfld_txt_%1").arg(k), QString::fromStdString(tmp.str())},
             {QStringLiteral("dstfld_txt_%1").arg(k), QString::fromStdString(dst)}});
    }
    put({{"srcfld_txt_1", "/nonexist/a"}, {"dstfld_txt_1", QString::fromStdString(tmp.str())}});
    for (int answer : {kAnsOk, kAnsOk, kAnsCancel, kAnsCancel}) be.answerNextBox(answer);
    std::vector<int> tabsWhenAsked;
    be.onBox = [this, &tabsWhenAsked](const MessageBoxRequest&) {
        tabsWhenAsked.push_back(menu->SSTab1->currentIndex());
    };
    menu->ok_bt_Click();

    ASSERT_EQ(be.boxes.size(), 4u);
    const std::string question = "コピー先フォルダが見つかりません！\r";
    EXPECT_EQ(be.boxes[0].text, question + made + " を新規作成しますか？");
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(be.boxes[1].text, "コピー元フォルダが見つかりません！\r/nonexist/a\rLen = 11 byte");
    EXPECT_EQ(be.boxes[3].text, question + later2 + " を新規作成しますか？");
    EXPECT_EQ(tabsWhenAsked[3], 2) << "the first cancel showed pair 3";
    EXPECT_TRUE(std::filesystem::is_directory(made));
    EXPECT_FALSE(std::filesystem::exists(later1));
    EXPECT_EQ(menu->SSTab1->currentIndex(), 5);
    EXPECT_EQ(m.Dst_fld[5], later2);
    EXPECT_EQ(m.Chg_flg, 0);
    EXPECT_EQ(find<QLabel>("saved_lbl")->text(), "保存しました");
}

// A save refused while a backup runs, or stopped by a destination that cannot be made, writes
// nothing and does not say it saved.
TEST_F(MenuWindow, ARunningBackupOrAnUnmadeDestinationStopsTheSave) {
    start();
    put({{"srcfld_txt_0", QString::fromStdString(tmp.str())},
         {"dstfld_txt_0", QString::fromStdString(tmp / "no/such")}});
    m.copydlg_visible = [] { return true; };
    be.answerNextBox(kAnsOk);
    find<QPushButton>("ok_bt")->click();
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "バックアップ実行中です！\r終了後更新して下さい");

    m.copydlg_visible = [] { return false; };
    be.answerNextBox(kAnsOk);  // make the destination
    be.answerNextBox(kAnsOk);
    find<QPushButton>("ok_bt")->click();
    ASSERT_EQ(be.boxes.size(), 3u);
    EXPECT_NE(be.boxes[2].text.find("[ok_bt_Click]"), std::string::npos);
    EXPECT_TRUE(sameBytes(fileNow(), image));
    EXPECT_EQ(find<QLabel>("saved_lbl")->text(), "") << "nothing was saved";
}

// A hand-made file goes through the window and back: every kind of control gives back the value
// it was loaded with, and edits made in the window are stored record by record. (What each
// control shows is the load's own, in tests/settings.) Times may stay half filled while the
// timer is off.
TEST_F(MenuWindow, HandMadeFileIsStoredBackWithTheEditsRecordByRecord) {
    const Changes stored = {{0, "0"},   {2, "1"},  {3, "1"},   {4, "0"},  {9, "07"},    {12, "30"},
                            {15, "/"},  {23, "/"}, {33, "0"},  {41, "1"}, {51, "1"},    {52, "04"},
                            {53, "00"}, {54, "2"}, {56, "15"}, {60, "1"}, {69, "08:15"}};
    Records r = with(stored, defaultRecords());
    r[61] = "\x8E\x96\x96\xB1\x8F\x8A";  // 事務所
    r[62] = "127.0.0.1";
    for (std::size_t j = 0; j < 6; ++j) r[63 + j] = "0" + std::to_string(j);
    start(r);

    const Entries edits = {{"WOL_PCtxt_0", "ﾃｽﾄPC"},    {"arb_int_1", "1"},
                           {"arbint_week_cb", "水"},    {"subfld_chk_2", "1"},
                           {"timer_chk", "0"},          {"hour_txt_1", "08"},
                           {"WOL_IPtxt_1", "127.0.0.2"}};
    put(edits);
    menu->ok_bt_Click();
    EXPECT_EQ(focusName(), "mini_bt");
    // 水 in 55, ﾃｽﾄPC in 61.
    const Changes saved = {{3, "0"},         {10, "08"},       {33, "1"},
                           {54, "1"},        {55, "\x90\x85"}, {61, "\xC3\xBD\xC4PC"},
                           {72, "127.0.0.2"}};
    EXPECT_TRUE(sameBytes(fileNow(), handMadeSysdat(with(saved, r))));
}

// A refused time or MAC value met by real focus changes and real message boxes: the page change
// that interrupted it ends with the box's page shown and the box focused, and nothing refused
// is ever saved.

class RealFocus : public MenuWindow {
  protected:
    void SetUp() override {
        // Timed backups on, the first time and the second time's minute filled.
        start(with({{3, "1"}, {9, "07"}, {12, "00"}, {13, "00"}}, defaultRecords()), &desktop);
        menu->setHWnd(desktop.handleFor(menu.get()));
        menu->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(menu.get()));
        // Answers every message box as soon as it is up, as a user clicking OK.
        QObject::connect(&answerer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        answerer.start(0);
    }
    void TearDown() override { menu.reset(); }  // before the desktop it shows its boxes on

    // Types `text` into the named box on page `tab` as a user does.
    QLineEdit* typeInto(const char* name, int tab, const QString& text) {
        menu->SSTab1->setCurrentIndex(tab);
        auto* box = find<QLineEdit>(QString::fromLatin1(name));
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_EQ(QApplication::focusWidget(), box);
        QTest::keyClicks(box, text);
        return box;
    }
    // Waits for the message, then lets everything queued run (a second report included) and
    // hands the activation back to the window, as the desktop does when a box closes.
    void settle() {
        (void)QTest::qWaitFor([this] { return !boxes.isEmpty(); }, 2000);
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        menu->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(menu.get()));
    }
    void expectBackAt(QLineEdit* box, int tab) {
        EXPECT_EQ(menu->SSTab1->currentIndex(), tab);
        EXPECT_EQ(menu->SSTab1->tabBar()->currentIndex(), tab);
        EXPECT_TRUE(menu->SSTab1->widget(tab)->isVisible()) << "the strip and the page agree";
        EXPECT_EQ(QApplication::focusWidget(), box);
        EXPECT_FALSE(menu->ok_bt->isDown());
        EXPECT_TRUE(sameBytes(fileNow(), image)) << "nothing saved";
    }

    QtBackend desktop;
    QTimer answerer;
    QStringList boxes;
};

void clickTab(Menu& w, int tab) {
    QTabBar* bar = w.SSTab1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
}

TEST_F(RealFocus, LeavingARefusedValueShowsOneMessageAndReturnsToItsPage) {
    const struct {
        const char* name;
        std::function<void(Menu&)> act;
    } gestures[] = {
        {"tab click", [](Menu& w) { clickTab(w, 2); }},
        {"Ctrl+Tab",
         [](Menu&) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
         }},
        {"update button", [](Menu& w) { QTest::mouseClick(w.ok_bt, Qt::LeftButton); }},
    };
    const struct {
        const char* box;
        int tab;
        const char* typed;
        QString message;
    } fields[] = {{"hour_txt_2", 9, "24", kHour}, {"WOL_MAC2_txt_4", 12, "5", kMac}};
    for (const auto& f : fields) {
        for (const auto& g : gestures) {
            SCOPED_TRACE(std::string(f.box) + " " + g.name);
            QLineEdit* box = typeInto(f.box, f.tab, QString::fromLatin1(f.typed));
            boxes.clear();
            g.act(*menu);
            settle();
            EXPECT_EQ(boxes, QStringList{f.message});
            expectBackAt(box, f.tab);
            box->clear();
            clickTab(*menu, 0);
        }
    }
}

// Going to another window and back is not leaving the box; the value stays refused, and the
// save refuses it with the same message even when the focus never left the box.
TEST_F(RealFocus, AnotherWindowTakesNoCheckAndTheSaveRefusesTheValue) {
    QLineEdit* box = typeInto("hour_txt_1", 9, QStringLiteral("24"));
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    menu->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(menu.get()));
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), box);

    menu->SSTab1->setCurrentIndex(9);
    box->setFocus();
    boxes.clear();
    menu->ok_bt_Click();
    settle();
    EXPECT_EQ(boxes, QStringList{kHour});
    expectBackAt(box, 9);
}

}  // namespace
}  // namespace vornel::test
