// The tray menus, the icon events and the tray members of the utility class.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/shell/tray_menus.h"
#include "common/kvcmn15.h"
#include "qt_printers.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

// The items of a menu as "name=text" ("name" alone for a separator).
QStringList items(const QMenu& menu) {
    QStringList list;
    for (QAction* a : menu.actions())
        list << a->objectName() + (a->isSeparator() ? QString() : "=" + a->text());
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

TEST_F(TrayFixture, MenusHoldTheirItemsInOrderWithSeparators) {
    tray.setWolCaption(1, QStringLiteral("R&D起動"));  // the user's "&" is a character
    tray.setWolCaption(5, QStringLiteral("ignored"));
    tray.setWolCaption(-1, QStringLiteral("ignored"));
    EXPECT_EQ(
        items(*tray.mnumain()),
        (QStringList{"L1", "L2", "pc_wol0=- WOL1無効 -", "pc_wol1=R&&D起動", "pc_wol2=- WOL3無効 -",
                     "pc_wol3=- WOL4無効 -", "pc_wol4=- WOL5無効 -", "L3", "mnuset=設定",
                     "History_Disp=履歴表示", "L4", "mnuend=Tamsel終了"}));
    EXPECT_TRUE(tray.mnumain()->separatorsCollapsible());
    for (QAction* a : tray.mnumain()->actions()) EXPECT_TRUE(a->isEnabled());
    EXPECT_EQ(items(*tray.help()), (QStringList{"help_show=ﾍﾙﾌﾟ", "about_show=About"}));
    EXPECT_EQ(tray.help()->title(), QStringLiteral("ﾍﾙﾌﾟ"));
    EXPECT_EQ(tray.mnumain()->title(), QStringLiteral("ﾒﾆｭｰ"));
}

TEST_F(TrayFixture, LaterItemsGoIntoTheirGroups) {
    QAction actions[4];
    const std::pair<TrayMenus::Group, const char*> added[] = {
        {TrayMenus::Group::Power, "exit_win"},
        {TrayMenus::Group::BackupRun, "bkup_exitwin"},
        {TrayMenus::Group::Power, "reboot_win"},
        {TrayMenus::Group::BackupRun, "start_bkup"}};
    for (int i = 0; i < 4; ++i) {
        actions[i].setObjectName(QString::fromLatin1(added[i].second));
        tray.addToGroup(added[i].first, &actions[i]);
    }
    EXPECT_EQ(items(*tray.mnumain()).mid(0, 6), (QStringList{"bkup_exitwin=", "start_bkup=", "L1",
                                                             "exit_win=", "reboot_win=", "L2"}));
}

TEST_F(TrayFixture, PressesRaiseTheWindowThenPumpThenOpenTheirMenu) {
    QSignalSpy shown(&tray, &TrayMenus::menuShown);
    for (auto [message, menu] : {std::pair{cmn.WM_LBUTTONDOWN, tray.mnumain()},
                                 std::pair{cmn.WM_RBUTTONDOWN, tray.help()}}) {
        SCOPED_TRACE(message);
        std::vector<std::string> order;
        be.raisedWindows.clear();
        be.onPump = [&](int) { order.push_back(be.raisedWindows.empty() ? "early" : "pump"); };
        tray.iconEvent(message);
        EXPECT_EQ(be.raisedWindows, std::vector<WindowHandle>{kMenu});
        EXPECT_EQ(order, std::vector<std::string>{"pump"}) << "pumped before the raise";
        ASSERT_FALSE(shown.isEmpty());
        EXPECT_EQ(shown.takeLast().at(0).value<QMenu*>(), menu);
        EXPECT_TRUE(menu->isVisible());
        EXPECT_EQ(tray.mnumain()->isVisible() + tray.help()->isVisible(), 1);
        menu->hide();
    }
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

TEST_F(TrayFixture, AnAttachedIconMapsItsActivationsToPresses) {
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::Trigger), cmn.WM_LBUTTONDOWN);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::Context), cmn.WM_RBUTTONDOWN);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::DoubleClick), cmn.WM_LBUTTONDBLCLK);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::MiddleClick), 0);
    EXPECT_EQ(tray.messageFor(QSystemTrayIcon::Unknown), 0);

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

// What the utility class's own tray tests leave out: a fresh instance deletes no icon (not
// even another instance's), and a changed tip is cut to the field like a new one.
TEST(TrayTip, AFreshInstanceDeletesNothingAndAChangedTipIsCutToTheField) {
    FakeBackend be;
    be.trayPresent = true;  // an icon of some other instance
    KvCmn15 cmn(be);
    EXPECT_EQ(cmn.TrayDelIcon(), KvCmn15::kFalse);
    EXPECT_TRUE(be.trayCalls.empty());
    EXPECT_TRUE(be.trayPresent);
    EXPECT_EQ(cmn.TrayAddIcon(3, 0, "0123456789"), KvCmn15::kTrue);
    EXPECT_EQ(cmn.TrayModifyIcon(0, std::string(70, 'x')), KvCmn15::kTrue);
    EXPECT_EQ(be.trayCalls.back().tip, std::string(64, 'x'));
}

}  // namespace
}  // namespace vornel
