// Wake-on-LAN in the program: the tray items, the notice window and how it meets the user's
// work and the main window's life.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include "app/pages/wol_page.h"
#include "app/wol_commands.h"
#include "shell_fixture.h"
#include "support/loopback_receiver.h"

namespace vornel::test {
namespace {

class WolTest : public ShellTest {
  protected:
    WolTest() {
        // Entry 0 complete and not enabled; entry 1 has everything but its name.
        std::map<int, std::string> entries = {
            {58, "3"}, {61, "事務所PC"}, {62, "127.0.0.1"}, {72, "127.0.0.1"}};
        entries[57] = std::to_string(rx.port());
        for (int j = 0; j < 6; ++j) entries[63 + j] = entries[73 + j] = "0" + std::to_string(j);
        load(entries);
        be.setClock(2026, 3, 4, 7 * 3600 + 5 * 60 + 9.75);
    }
    // Moves the clock on and lets the notice's timer look at it.
    void after(double seconds) {
        be.advance(seconds);
        if (wol->notice()) wol->notice()->Timer1_Timer();
    }

    LoopbackReceiver rx;
    std::unique_ptr<WolCommands> wol = std::make_unique<WolCommands>(m, *shell);
};

// The load names the tray item after the entry; the item wakes what was saved.
TEST_F(WolTest, TheTrayItemIsNamedAfterTheSavedEntryWakesItAndRecordsItByteExact) {
    EXPECT_EQ(shell->tray().pc_wol(0)->text(), "事務所PC起動");
    shell->menu().findChild<WolPage*>()->WOL_IPtxt[0]->setText("127.0.0.2");  // not saved
    shell->tray().pc_wol(0)->trigger();
    EXPECT_EQ(rx.take().size(), 3u);
    EXPECT_EQ(readFile(m.Hist_path),
              "2026/03/04 7:05:09 [Success] \x8e\x96\x96\xb1\x8f\x8aPC [WakeOnLan]\r\n");
    EXPECT_EQ(be.sounds, std::vector<int>{64}) << "the notice opened with its sound";
}

TEST_F(WolTest, AnIncompleteEntryOnlyAnswersWithTheMessage) {
    be.answerNextBox(kAnsOk);
    shell->tray().pc_wol(1)->trigger();
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, "この設定は無効です！\r\n設定を全て入力して下さい");
    EXPECT_TRUE(rx.take().empty());
    EXPECT_FALSE(std::filesystem::exists(m.Hist_path));
}

// A name is shown as the user typed it, never read as markup. The close sequence leaves the
// notice to close itself.
TEST_F(WolTest, TheNoticeLivesFiveSecondsFromItsFirstOpeningEvenPastTheCloseAndEndsEmpty) {
    wol->open("PC1");
    WOL_Dialog* notice = wol->notice();
    ASSERT_TRUE(notice && notice->Timer1->isActive());
    after(3);
    wol->open("<b>PC2</b>");
    EXPECT_EQ(wol->notice(), notice) << "a second wake reuses the open notice";
    EXPECT_EQ(notice->Label1->text(), "<b>PC2</b>を起動しました！");
    EXPECT_EQ(notice->Label1->textFormat(), Qt::PlainText);
    shell->prog_end();
    ASSERT_TRUE(shell->closed());
    after(1.9);
    EXPECT_TRUE(notice->isVisible());
    QLabel* label = notice->Label1;
    after(0.1);
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(label->text(), "");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(wol->notice());
}

TEST_F(WolTest, TheNoticeLeavesTheFocusWhereTheUserIsTyping) {
    shell->mnuset_Click();
    Menu& menu = shell->menu();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&menu));
    auto* page = menu.findChild<WolPage*>();
    menu.SSTab1->setCurrentWidget(page);
    QLineEdit* typing = page->WOL_PCtxt[2];
    typing->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), typing);
    wol->open("PC1");
    // The offscreen platform activates every window it shows, as some desktops do.
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &menu);
    EXPECT_EQ(QApplication::focusWidget(), typing);
    EXPECT_EQ(menu.SSTab1->currentWidget(), page);
}

TEST_F(WolTest, TheNoticeKeepsClearOfTheSettingsTabStrip) {
    shell->mnuset_Click();
    Menu& menu = shell->menu();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // Wherever the user has put the settings window, the strip stays readable.
    for (const QPoint& corner :
         {area.topLeft(), area.topRight(), area.bottomLeft(), area.bottomRight(), area.center()}) {
        menu.move(corner - QPoint(menu.width() / 2, menu.height() / 2));
        wol->open("PC1");
        const QTabBar* strip = menu.SSTab1->tabBar();
        const QRect stripRect(strip->mapToGlobal(QPoint(0, 0)), strip->size());
        EXPECT_FALSE(wol->notice()->frameGeometry().intersects(stripRect))
            << "settings window at " << menu.x() << "," << menu.y();
    }
}

}  // namespace
}  // namespace vornel::test
