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
    EXPECT_EQ(items(*tray.help()), (QStringList{"help_show=ﾍﾙﾌﾟ", "about_show=About"}));
}

// A click raises the window, lets events through, then opens its menu; the other activations
// open nothing.
TEST_F(TrayFixture, AnAttachedIconOpensTheMenuOfEachPressAfterRaisingAndPumping) {
    QSystemTrayIcon icon;
    tray.attach(&icon);
    EXPECT_EQ(icon.contextMenu(), tray.help());
    QSignalSpy shown(&tray, &TrayMenus::menuShown);
    const std::pair<QSystemTrayIcon::ActivationReason, QMenu*> cases[] = {
        {QSystemTrayIcon::Trigger, tray.mnumain()}, {QSystemTrayIcon::Context, tray.help()},
        {QSystemTrayIcon::DoubleClick, nullptr},    {QSystemTrayIcon::MiddleClick, nullptr},
        {QSystemTrayIcon::Unknown, nullptr},
    };
    for (auto [reason, menu] : cases) {
        SCOPED_TRACE(reason);
        std::vector<std::string> order;
        be.raisedWindows.clear();
        be.onPump = [&](int) { order.push_back(be.raisedWindows.empty() ? "early" : "pump"); };
        emit icon.activated(reason);
        EXPECT_EQ(be.raisedWindows,
                  menu ? std::vector<WindowHandle>{kMenu} : std::vector<WindowHandle>{});
        EXPECT_EQ(order, menu ? std::vector<std::string>{"pump"} : std::vector<std::string>{})
            << "pumped before the raise";
        EXPECT_EQ(shown.isEmpty() ? nullptr : shown.takeLast().at(0).value<QMenu*>(), menu);
        EXPECT_EQ(tray.mnumain()->isVisible(), menu == tray.mnumain());
        EXPECT_EQ(tray.help()->isVisible(), menu == tray.help());
        if (menu) menu->hide();
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
