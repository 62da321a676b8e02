// The tray menus, the icon events and the tray members of the utility class.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/tray_menus.h"
#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

QStringList names(const QMenu& menu) {
    QStringList list;
    for (QAction* a : menu.actions()) list << a->objectName();
    return list;
}

struct TrayFixture : ::testing::Test {
    FakeBackend be;
    KvCmn15 cmn{be};
    static constexpr WindowHandle kMenu = 7;
    TrayMenus tray{cmn, kMenu};

    void TearDown() override {
        tray.mnumain()->hide();
        tray.help()->hide();
    }
};

TEST_F(TrayFixture, MainMenuItemsInOrderWithSeparators) {
    EXPECT_EQ(names(*tray.mnumain()),
              (QStringList{"L1", "L2", "pc_wol0", "pc_wol1", "pc_wol2", "pc_wol3", "pc_wol4", "L3",
                           "mnuset", "History_Disp", "L4", "mnuend"}));
    EXPECT_EQ(tray.mnuset->text(), QStringLiteral("設定"));
    EXPECT_EQ(tray.History_Disp->text(), QStringLiteral("履歴表示"));
    EXPECT_EQ(tray.mnuend->text(), QStringLiteral("Tamsel終了"));
    EXPECT_EQ(tray.pc_wol(1)->text(), QStringLiteral("- WOL2無効 -"));
    EXPECT_TRUE(tray.mnumain()->separatorsCollapsible());
    for (QAction* a : tray.mnumain()->actions()) EXPECT_TRUE(a->isEnabled());
}

TEST_F(TrayFixture, HelpMenuItems) {
    EXPECT_EQ(names(*tray.help()), (QStringList{"help_show", "about_show"}));
    EXPECT_EQ(tray.help_show->text(), QStringLiteral("ﾍﾙﾌﾟ"));
    EXPECT_EQ(tray.about_show->text(), QStringLiteral("About"));
    EXPECT_EQ(tray.help()->title(), QStringLiteral("ﾍﾙﾌﾟ"));
    EXPECT_EQ(tray.mnumain()->title(), QStringLiteral("ﾒﾆｭｰ"));
}

TEST_F(TrayFixture, LaterItemsGoIntoTheirGroups) {
    QAction power1(QStringLiteral("Windows終了"));
    power1.setObjectName(QStringLiteral("exit_win"));
    QAction backup1(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ後Windows終了"));
    backup1.setObjectName(QStringLiteral("bkup_exitwin"));
    QAction power2(QStringLiteral("Windows再起動"));
    power2.setObjectName(QStringLiteral("reboot_win"));
    QAction backup2(QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ実行"));
    backup2.setObjectName(QStringLiteral("start_bkup"));
    tray.addToGroup(TrayMenus::Group::Power, &power1);
    tray.addToGroup(TrayMenus::Group::BackupRun, &backup1);
    tray.addToGroup(TrayMenus::Group::Power, &power2);
    tray.addToGroup(TrayMenus::Group::BackupRun, &backup2);
    EXPECT_EQ(names(*tray.mnumain()).mid(0, 6),
              (QStringList{"bkup_exitwin", "start_bkup", "L1", "exit_win", "reboot_win", "L2"}));
}

TEST_F(TrayFixture, WolCaptionsAreSetByIndex) {
    tray.setWolCaption(1, QStringLiteral("SERVER起動"));
    tray.setWolCaption(5, QStringLiteral("ignored"));
    tray.setWolCaption(-1, QStringLiteral("ignored"));
    EXPECT_EQ(tray.pc_wol(1)->text(), QStringLiteral("SERVER起動"));
    EXPECT_EQ(tray.pc_wol(0)->text(), QStringLiteral("- WOL1無効 -"));
    EXPECT_EQ(tray.pc_wol(4)->text(), QStringLiteral("- WOL5無効 -"));
}

TEST_F(TrayFixture, LeftPressRaisesThenPumpsThenShowsMainMenu) {
    QSignalSpy shown(&tray, &TrayMenus::menuShown);
    std::vector<std::string> order;
    be.onPump = [&](int) {
        order.push_back(be.raisedWindows.empty() ? "pump-before-raise" : "pump-after-raise");
    };
    tray.iconEvent(cmn.WM_LBUTTONDOWN);
    EXPECT_EQ(be.raisedWindows, std::vector<WindowHandle>{kMenu});
    EXPECT_EQ(order, std::vector<std::string>{"pump-after-raise"});
    ASSERT_EQ(shown.count(), 1);
    EXPECT_EQ(shown.at(0).at(0).value<QMenu*>(), tray.mnumain());
    EXPECT_TRUE(tray.mnumain()->isVisible());
    EXPECT_FALSE(tray.help()->isVisible());
}

TEST_F(TrayFixture, RightPressShowsHelpMenu) {
    tray.iconEvent(cmn.WM_RBUTTONDOWN);
    EXPECT_EQ(be.raisedWindows, std::vector<WindowHandle>{kMenu});
    EXPECT_TRUE(tray.help()->isVisible());
    EXPECT_FALSE(tray.mnumain()->isVisible());
}

TEST_F(TrayFixture, HelpMenuAlreadyOpenedByTheTrayHostIsNotOpenedAgain) {
    QSignalSpy about(tray.help(), &QMenu::aboutToShow);
    tray.help()->popup(QPoint(10, 10));
    ASSERT_EQ(about.count(), 1);
    tray.iconEvent(cmn.WM_RBUTTONDOWN);
    EXPECT_EQ(about.count(), 1);
    EXPECT_TRUE(tray.help()->isVisible());
}

TEST_F(TrayFixture, OtherMessagesDoNothing) {
    for (int m : {cmn.WM_MOUSEMOVE, cmn.WM_LBUTTONUP, cmn.WM_LBUTTONDBLCLK, cmn.WM_RBUTTONUP,
                  cmn.WM_RBUTTONDBLCLK, 0, 0x207, 0x1234}) {
        tray.iconEvent(m);
    }
    EXPECT_TRUE(be.raisedWindows.empty());
    EXPECT_EQ(be.pumpCount, 0);
    EXPECT_FALSE(tray.mnumain()->isVisible());
    EXPECT_FALSE(tray.help()->isVisible());
}

TEST_F(TrayFixture, ActivationReasonsMapToPresses) {
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::Trigger), cmn.WM_LBUTTONDOWN);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::Context), cmn.WM_RBUTTONDOWN);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::DoubleClick), cmn.WM_LBUTTONDBLCLK);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::MiddleClick), 0);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::Unknown), 0);
}

TEST_F(TrayFixture, AttachedIconUsesHelpAsContextMenuAndTriggerOpensMain) {
    QSystemTrayIcon icon;
    tray.attach(&icon);
    EXPECT_EQ(icon.contextMenu(), tray.help());
    emit icon.activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(tray.mnumain()->isVisible());
    tray.mnumain()->hide();
    emit icon.activated(QSystemTrayIcon::DoubleClick);
    EXPECT_FALSE(tray.mnumain()->isVisible());
    EXPECT_EQ(be.raisedWindows.size(), 1u);
}

TEST(TrayTip, TenCharactersShowInFullSeventyAreCutToTheField) {
    FakeBackend be;
    KvCmn15 cmn(be);
    EXPECT_EQ(cmn.TrayAddIcon(3, 0, "0123456789"), KvCmn15::kTrue);
    ASSERT_EQ(be.trayCalls.size(), 1u);
    EXPECT_EQ(be.trayCalls[0].op, "add");
    EXPECT_EQ(be.trayCalls[0].owner, 3u);
    EXPECT_EQ(be.trayCalls[0].tip, "0123456789");

    const std::string seventy(70, 'x');
    EXPECT_EQ(cmn.TrayModifyIcon(0, seventy), KvCmn15::kTrue);
    EXPECT_EQ(be.trayCalls.back().tip, std::string(64, 'x'));

    // The program's own tip: two double-byte characters count two places each.
    EXPECT_EQ(tipFieldText("左-Menu:右-Help"), "左-Menu:右-Help");
}

TEST(TrayTip, DeleteOnAFreshInstanceFailsAndTouchesNothing) {
    FakeBackend be;
    be.trayPresent = true;  // an icon of some other instance
    KvCmn15 cmn(be);
    EXPECT_EQ(cmn.TrayDelIcon(), KvCmn15::kFalse);
    EXPECT_TRUE(be.trayCalls.empty());
    EXPECT_TRUE(be.trayPresent);
}

}  // namespace
}  // namespace vornel
