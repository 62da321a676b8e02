#include "menu_fixture.h"

namespace vornel::test {
namespace {

class MenuFieldChecks : public MenuTest {
  public:
    // Empties a box that holds a refused value and moves the focus off it, as a user gives up
    // on a value; an empty box passes when it is left.
    void giveUp(QLineEdit* box) {
        box->setText(QString());
        menu->SSTab1->setCurrentIndex(0);
        menu->SSTab1->setFocus();
    }
};

struct TimeCase {
    std::string typed;
    std::string shown;  // empty with a message: the text stays as typed
    bool refused;
};

TEST_F(MenuFieldChecks, HoursAreWrittenWithTwoDigitsOrRefused) {
    start();
    const std::vector<TimeCase> cases = {
        {"7", "07", false},  {"-1", "-01", false}, {"23", "23", false},
        {"00", "00", false}, {" 9 ", "09", false}, {"", "", false},
        {"24", "24", true},  {"abc", "abc", true}, {"99999", "99999", true}};
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(c.typed);
        QLineEdit* box = edit("hour_txt_1");
        giveUp(box);
        box->setText(QString::fromStdString(c.typed));
        m.Chg_flg = 0;
        if (c.refused) be.answerNextBox(kAnsOk);
        menu->hour_txt_LostFocus(1);
        EXPECT_EQ(box->text().toStdString(), c.shown);
        if (c.refused) {
            EXPECT_EQ(onlyBox(), "入力された時間が範囲外です！");
            EXPECT_EQ(menu->SSTab1->currentIndex(), 9);
            EXPECT_EQ(focusName(), "hour_txt_1");
        } else {
            EXPECT_TRUE(be.boxes.empty());
            EXPECT_EQ(m.Chg_flg, c.shown != c.typed ? 1 : 0) << "rewriting counts as an edit";
        }
    }
}

TEST_F(MenuFieldChecks, MinutesAndTheOtherTimesUseTheirOwnLimitAndPage) {
    start();
    struct Field {
        const char* name;
        void (Menu::*check)();
        const char* message;
        int tab;
        const char* largest;
        const char* over;
    };
    const Field fields[] = {
        {"asd_hour_txt", &Menu::asd_hour_txt_LostFocus, "入力された時間が範囲外です！", 11, "23",
         "24"},
        {"asd_min_txt", &Menu::asd_min_txt_LostFocus, "入力された分が範囲外です！", 11, "59", "60"},
        {"arb_hour_txt", &Menu::arb_hour_txt_LostFocus, "入力された時間が範囲外です！", 11, "23",
         "24"},
        {"arb_min_txt", &Menu::arb_min_txt_LostFocus, "入力された分が範囲外です！", 11, "59", "60"},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.name);
        QLineEdit* box = edit(f.name);
        box->setText(f.largest);
        (menu.get()->*f.check)();
        EXPECT_TRUE(be.boxes.empty());
        box->setText(f.over);
        menu->SSTab1->setCurrentIndex(0);
        be.answerNextBox(kAnsOk);
        (menu.get()->*f.check)();
        EXPECT_EQ(onlyBox(), f.message);
        EXPECT_EQ(menu->SSTab1->currentIndex(), f.tab);
        EXPECT_EQ(focusName(), f.name);
        giveUp(box);
    }
    edit("min_txt_2")->setText("5");
    menu->min_txt_LostFocus(2);
    EXPECT_EQ(edit("min_txt_2")->text(), "05");
    edit("min_txt_2")->setText("60");
    be.answerNextBox(kAnsOk);
    menu->min_txt_LostFocus(2);
    EXPECT_EQ(onlyBox(), "入力された分が範囲外です！");
    EXPECT_EQ(focusName(), "min_txt_2");
    giveUp(edit("min_txt_2"));
}

TEST_F(MenuFieldChecks, LeavingATimeBoxForAnotherControlRunsTheCheck) {
    start();
    menu->SSTab1->setCurrentIndex(9);
    check("timer_chk")->setChecked(true);
    QLineEdit* hour = edit("hour_txt_0");
    hour->setFocus(Qt::TabFocusReason);
    hour->setText("7");
    edit("min_txt_0")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(hour->text(), "07");

    hour->setFocus(Qt::TabFocusReason);
    hour->setText("31");
    be.answerNextBox(kAnsOk);
    edit("min_txt_0")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(onlyBox(), "入力された時間が範囲外です！");
    EXPECT_EQ(focusName(), "hour_txt_0");
    EXPECT_EQ(hour->text(), "31");
    giveUp(hour);
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(MenuFieldChecks, MacBytesAreUpperCaseAndTwoBytesLong) {
    start();
    const std::vector<std::pair<QString, bool>> cases = {
        {"a5", false}, {"G1", false}, {"", false}, {"ｆ", false}, {"5", true}, {"ABC", true}};
    for (const auto& [typed, refused] : cases) {
        SCOPED_TRACE(typed.toStdString());
        QLineEdit* box = edit("WOL_MAC3_txt_4");
        giveUp(box);
        box->setText(typed);
        if (refused) be.answerNextBox(kAnsOk);
        menu->WOL_MAC_txt_LostFocus(3, 4);
        EXPECT_EQ(box->text(), typed.toUpper());
        if (refused) {
            EXPECT_EQ(onlyBox(), "MACアドレスの文字数が違います！");
            EXPECT_EQ(focusName(), "WOL_MAC3_txt_4");
        } else {
            EXPECT_TRUE(be.boxes.empty());
        }
    }
    giveUp(edit("WOL_MAC3_txt_4"));
}

}  // namespace
}  // namespace vornel::test
