#include <QFocusEvent>

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

TEST_F(MenuFieldChecks, LeavingABoxWritesItsValueOutOrRefusesIt) {
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
