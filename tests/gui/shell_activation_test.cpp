// What makes the main window "activated" (the page chosen by the activation tab selector):
// being shown from the tray, or another window of the program handing it back. Message boxes,
// dialogs and other applications never do.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/shell/menu_shell.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

class Activation : public ::testing::Test {
  protected:
    void SetUp() override {
        shell = std::make_unique<MenuShell>(m, be, dir.str());
        shell->Form_Load();
        shell->mnuset_Click();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&menu()));
    }
    Menu& menu() { return shell->menu(); }
    bool menuActive() {
        return QTest::qWaitFor(
            [this] { return QGuiApplication::focusWindow() == menu().windowHandle(); }, 5000);
    }
    // Runs a modal window of the program's kind until it has the focus, then ends it.
    static void runModal(QDialog& dialog, std::function<void(QDialog&)> end) {
        QTimer::singleShot(0, [&dialog, end] {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return QGuiApplication::focusWindow() == dialog.windowHandle(); }, 5000));
            end(dialog);
        });
        dialog.exec();
    }

    test::FakeBackend be;
    KvCmn15 module{be};
    Module1 m{module};
    test::TempDir dir;
    std::unique_ptr<MenuShell> shell;
};

struct Source {
    const char* name;
    std::function<void(MenuShell&)> visitAndReturn;
    bool activates;
};

TEST_F(Activation, OnlyTheTrayAndTheProgramsOwnWindowsActivateIt) {
    const Source sources[] = {
        {"message box",
         [](MenuShell& s) {
             QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                             QStringLiteral("MACアドレスの文字数が違います！"), QMessageBox::Ok,
                             &s.menu());
             runModal(box, [](QDialog& d) { d.accept(); });
         },
         false},
        {"folder dialog",
         [](MenuShell& s) {
             QFileDialog dialog(&s.menu());
             dialog.setOption(QFileDialog::DontUseNativeDialog);
             runModal(dialog, [](QDialog& d) { d.reject(); });
         },
         false},
        {"another application",
         [](MenuShell&) {
             QWidget other;
             other.show();
             other.activateWindow();
             ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
             other.close();
         },
         false},
        {"About closed",
         [](MenuShell& s) {
             s.about_show_Click();
             ASSERT_TRUE(QTest::qWaitForWindowActive(s.about()));
             QTest::mouseClick(s.about()->cmdOK, Qt::LeftButton);
         },
         true},
        {"tray settings item", [](MenuShell& s) { s.tray().mnuset->trigger(); }, true},
    };
    for (const Source& s : sources) {
        SCOPED_TRACE(s.name);
        menu().SSTab1->setCurrentIndex(5);
        s.visitAndReturn(*shell);
        menu().activateWindow();  // as the desktop does when a window closes
        ASSERT_TRUE(menuActive());
        QCoreApplication::processEvents();
        EXPECT_EQ(menu().SSTab1->currentIndex(), s.activates ? 0 : 5);
    }
}

// Browsing for a folder does not change the page a later activation shows.
TEST_F(Activation, BrowsingAndCancellingKeepsThePage) {
    menu().SSTab1->setCurrentIndex(2);
    QTest::mouseClick(menu().findChild<QPushButton*>(QStringLiteral("refsrc_bt_5")),
                      Qt::LeftButton);  // the fake dialog is cancelled
    EXPECT_EQ(menu().SSTab1->currentIndex(), 2);
    shell->about_show_Click();
    ASSERT_TRUE(QTest::qWaitForWindowActive(shell->about()));
    shell->about()->close();
    menu().activateWindow();
    ASSERT_TRUE(menuActive());
    EXPECT_EQ(menu().SSTab1->currentIndex(), 0) << "the selector still reads 1";
}

}  // namespace
}  // namespace vornel
