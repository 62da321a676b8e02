// A refused time or MAC value met by real focus changes and real message boxes: the page change
// that interrupted it ends with the box's page shown and the box focused, and nothing refused
// is ever saved.
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/platform/qt_backend.h"
#include "menu_fixture.h"

namespace vornel::test {
namespace {

const QString kHour = QStringLiteral("入力された時間が範囲外です！");
const QString kMac = QStringLiteral("MACアドレスの文字数が違います！");

class RealFocus : public MenuTest {
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
        QLineEdit* box = edit(QString::fromLatin1(name));
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

struct Gesture {
    const char* name;
    std::function<void(Menu&)> act;
};

TEST_F(RealFocus, LeavingARefusedValueShowsOneMessageAndReturnsToItsPage) {
    const Gesture gestures[] = {
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
        for (const Gesture& g : gestures) {
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
