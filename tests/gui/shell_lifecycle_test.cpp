// The life of the main window: load, activation, show and hide, the ways to quit, the close
// request and the end of the session, help and About; one running copy per program folder.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>

#include "app/pages/folder_pair_page.h"
#include "app/pages/start_events_page.h"
#include "app/shell/menu_shell.h"
#include "app/shell/session_end.h"
#include "app/shell/single_instance.h"
#include "support/program_state.h"
#include "support/settings_file.h"

namespace vornel {
namespace {

using Lines = std::vector<std::string>;
const std::string kChangedQuestion = "システムデータが変更されています\r更新しますか？";

// Records the order in which watched windows close. The main window is recorded when it
// hides: its close request runs inside its close event, which filters see first.
class CloseRecorder : public QObject {
  public:
    std::vector<std::string> order;
    void watch(QWidget* w) { w->installEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        const bool isMenu = o->objectName() == QLatin1String("Menu");
        if (e->type() == (isMenu ? QEvent::Hide : QEvent::Close))
            order.push_back(o->objectName().toStdString());
        return false;
    }
};

struct Shell : ::testing::Test, test::ProgramState<> {
    std::unique_ptr<MenuShell> shell;
    // Backup calls as "<origin>", with " tray" while the icon is there and " stup" while
    // Stup_sdown is set (which the run then clears, as the engine does).
    Lines runs;

    void SetUp() override {
        shell = std::make_unique<MenuShell>(m, be, tmp.str());
        shell->backup = [this](HistOrigin origin) { recordRun(origin); };
    }
    void recordRun(HistOrigin origin) {
        runs.push_back(std::to_string(static_cast<int>(origin)) + (be.trayPresent ? " tray" : "") +
                       (m.Stup_sdown ? " stup" : ""));
        m.Stup_sdown = false;
    }
    // Loads with a settings file of default values, some records changed.
    void load(const std::map<int, std::string>& changes = {}) {
        if (!changes.empty()) test::writeSettingsFile(tmp / "system.dat", changes);
        shell->Form_Load();
        ASSERT_FALSE(shell->loading());
    }
    Menu& menu() { return shell->menu(); }
    // Edits folder pair 1 to two folders that exist, so that a save accepts it.
    std::string editFirstSource() {
        std::filesystem::create_directories(tmp / "src");
        std::filesystem::create_directories(tmp / "dst");
        menu().folderPage(0)->srcfld_txt->setText(QString::fromStdString(tmp / "src"));
        menu().folderPage(0)->dstfld_txt->setText(QString::fromStdString(tmp / "dst"));
        EXPECT_EQ(m.Chg_flg, 1);
        return tmp / "src";
    }
    std::string storedFirstSource() {
        return trimTrailingBlanks(readSysdatFile(tmp / "system.dat").text[15]);
    }
    // The tray calls made, as "add delete".
    std::string trayOps() const {
        std::string ops;
        for (const auto& c : be.trayCalls) ops += (ops.empty() ? "" : " ") + c.op;
        return ops;
    }
};

// The splash shows while the load waits two seconds; a key closes it early, the wait stays.
class Load : public Shell, public ::testing::WithParamInterface<bool> {};  // a key is pressed

TEST_P(Load, ShowsTheSplashTwoSecondsThenAddsTheIconAndHides) {
    const double start = be.monotonicSeconds();
    bool splashSeen = false, trayDuringSplash = false;
    double closedAt = -1;
    be.onPump = [&](int n) {
        if (GetParam() && n == 3) QTest::keyClick(shell->splash(), Qt::Key_Space);
        splashSeen = splashSeen || (shell->splash() && shell->splash()->isVisible());
        if (closedAt < 0 && shell->splash() && !shell->splash()->isVisible())
            closedAt = be.monotonicSeconds() - start;
        trayDuringSplash = trayDuringSplash || !be.trayCalls.empty();
    };
    load();
    be.onPump = nullptr;
    EXPECT_TRUE(splashSeen);
    EXPECT_FALSE(trayDuringSplash);
    EXPECT_GE(be.monotonicSeconds() - start, 2.0);
    EXPECT_TRUE(!shell->splash() || !shell->splash()->isVisible());
    if (GetParam()) {
        EXPECT_GE(closedAt, 0);
        EXPECT_LT(closedAt, 0.5);
    }

    ASSERT_EQ(trayOps(), "add");
    EXPECT_EQ(be.trayCalls[0].owner, menu().hWnd());
    shell->checkTrayArea();  // with a notification area the window stays hidden, without a note
    EXPECT_FALSE(menu().isVisible());
    EXPECT_TRUE(shell->notray_lbl->isHidden());
    EXPECT_FALSE(std::filesystem::exists(tmp / "history.txt"));
}

INSTANTIATE_TEST_SUITE_P(SplashClosedByAKey, Load, ::testing::Bool());

// Start_flg and End_bkup both set to the same value.
class StartAndCloseBackups : public Shell, public ::testing::WithParamInterface<std::string> {};

TEST_P(StartAndCloseBackups, RunOnlyForExactlyOneWhileTheIconIsThere) {
    load({{1, GetParam()}, {2, GetParam()}});
    shell->prog_end();
    EXPECT_EQ(runs, (GetParam() == "1" ? Lines{"0 tray stup", "1 tray"} : Lines{}));
    EXPECT_FALSE(m.Stup_sdown);
}

INSTANTIATE_TEST_SUITE_P(Values, StartAndCloseBackups,
                         ::testing::Values("1", "0", "", " 1", "01", "2"));

TEST_F(Shell, ActivationChoosesTheTabAndBringsTheDependentControlsInLine) {
    load({{1, "0"}});
    // Selectors 1 to 4 choose their folder pages; any other keeps the page shown.
    const std::pair<int, int> pages[] = {{1, 0},  {2, 1},  {3, 2},  {4, 3},
                                         {0, 10}, {5, 10}, {7, 10}, {-1, 10}};
    for (auto [selector, tab] : pages) {
        menu().SSTab1->setCurrentIndex(10);
        m.Fld_no = static_cast<std::int16_t>(selector);
        shell->Form_Activate();
        EXPECT_EQ(menu().SSTab1->currentIndex(), tab) << selector;
    }
    StartEventsPage* page = menu().startPage();
    page->start_chk->setChecked(true);
    page->st_sdown->setEnabled(false);
    page->hour_txt[0]->setEnabled(true);
    shell->Form_Activate();
    EXPECT_TRUE(page->st_sdown->isEnabled());
    EXPECT_EQ(page->hour_txt[0]->isEnabled(), page->timer_chk->isChecked());
}

TEST_F(Shell, ResizeGivesTheFolderPagesHelpContext) {
    load();
    shell->mnuset_Click();
    menu().setHelpContextId(4);
    menu().resize(menu().size() + QSize(10, 10));
    EXPECT_EQ(menu().helpContextId(), 1);
}

// The ways to hide or quit the window with unsaved edits (or none), and the answer given.
struct QuitCase {
    const char* name;
    void (*gesture)(MenuShell&);
    bool edited;
    int answer;
    BoxButtons buttons;
    bool saved;
    bool closes;
};

void PrintTo(const QuitCase& c, std::ostream* os) { *os << c.name; }

void hide(MenuShell& s) { QTest::mouseClick(s.menu().mini_bt, Qt::LeftButton); }
void trayQuit(MenuShell& s) { s.tray().mnuend->trigger(); }
void quitButton(MenuShell& s) { QTest::mouseClick(s.menu().close_bt, Qt::LeftButton); }
void closeBox(MenuShell& s) { s.menu().close(); }

const QuitCase kQuitCases[] = {
    {"HideAnsweredNo", hide, true, kAnsNo, BoxButtons::YesNo, false, false},
    {"HideAnsweredYes", hide, true, kAnsYes, BoxButtons::YesNo, true, false},
    {"TrayQuitOneOkQuestion", trayQuit, true, kAnsOk, BoxButtons::Ok, true, true},
    {"TrayQuitWithoutEdits", trayQuit, false, 0, BoxButtons::Ok, false, true},
    {"QuitButtonAnsweredNo", quitButton, true, kAnsNo, BoxButtons::YesNo, false, true},
    {"CloseBoxAnsweredYes", closeBox, true, kAnsYes, BoxButtons::YesNo, true, true},
};

class Quit : public Shell, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(Quit, AsksOnceAboutEditsAndKeepsOrSavesThem) {
    const QuitCase& c = GetParam();
    load();
    shell->mnuset_Click();
    EXPECT_TRUE(menu().isVisible());
    const std::string src = c.edited ? editFirstSource() : "";
    if (c.edited) be.answerNextBox(c.answer);
    QSignalSpy finished(shell.get(), &MenuShell::finished);
    c.gesture(*shell);

    ASSERT_EQ(be.boxes.size(), c.edited ? 1u : 0u);
    if (c.edited) {
        EXPECT_EQ(be.boxes[0].text, kChangedQuestion);
        EXPECT_EQ(be.boxes[0].buttons, c.buttons);
        EXPECT_EQ(be.boxes[0].icon, BoxIcon::Question);
        EXPECT_EQ(m.Msg_ans, c.answer);
    }
    EXPECT_EQ(storedFirstSource(), c.saved ? src : "");
    EXPECT_FALSE(menu().isVisible());
    EXPECT_EQ(shell->closed(), c.closes);
    EXPECT_EQ(trayOps(), c.closes ? "add delete" : "add");
    if (c.closes) {
        EXPECT_TRUE(finished.count() == 1 || finished.wait(1000));
    } else {  // shown again with the contents it had
        shell->mnuset_Click();
        EXPECT_EQ(menu().folderPage(0)->srcfld_txt->text(), QString::fromStdString(src));
    }
}

INSTANTIATE_TEST_SUITE_P(Gestures, Quit, ::testing::ValuesIn(kQuitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Shell, CloseRequestRunsTheCloseBackupBeforeTheIconGoesThenClosesInOrder) {
    load({{2, "1"}});
    CloseRecorder rec;
    QWidget others[3];
    const std::pair<MenuShell::OtherWindow, const char*> names[] = {
        {MenuShell::OtherWindow::copydlg, "copydlg"},
        {MenuShell::OtherWindow::frmErrLog, "frmErrLog"},
        {MenuShell::OtherWindow::ShutDownDialog, "ShutDownDialog"}};
    for (int i = 0; i < 3; ++i) {
        others[i].setObjectName(QString::fromLatin1(names[i].second));
        others[i].show();
        rec.watch(&others[i]);
        shell->registerWindow(names[i].first, &others[i]);
    }
    shell->about_show_Click();
    rec.watch(shell->about());
    shell->history_show();
    rec.watch(shell->history());
    shell->mnuset_Click();
    rec.watch(&menu());

    bool aboutOpenDuringRun = false;
    shell->backup = [&](HistOrigin origin) {
        recordRun(origin);
        aboutOpenDuringRun = shell->about() && shell->about()->isVisible();
        // Second requests while the run lets events through.
        shell->requestClose();
        menu().close();
    };
    shell->close_bt_Click();
    shell->requestClose();
    EXPECT_EQ(runs, Lines{"1 tray"}) << "the close-time run runs once";
    EXPECT_TRUE(aboutOpenDuringRun);
    EXPECT_EQ(rec.order, (std::vector<std::string>{"frmAbout", "copydlg", "frmErrLog", "frmHistory",
                                                   "ShutDownDialog", "Menu"}));
    for (QWidget& w : others) EXPECT_FALSE(w.isVisible());
}

TEST_F(Shell, EndOfSessionDuringTheLoadWaitsForItsEnd) {
    be.onPump = [&](int n) {
        if (n == 2) shell->requestClose();
    };
    load({{2, "1"}});
    be.onPump = nullptr;
    EXPECT_TRUE(shell->closed());
    EXPECT_EQ(runs, Lines{"1 tray"});
}

// A box open when the session ends is closed by the backend; the close waits until the code
// that asked has its answer, then goes on as usual.
TEST_F(Shell, TheEndOfTheSessionDuringABoxClosesOnceTheBoxHasAnswered) {
    load({{2, "1"}});
    int ends = 0;
    be.onEndSession = [&] { return ++ends == 1; };
    QSignalSpy finished(shell.get(), &MenuShell::finished);
    shell->requestClose();
    EXPECT_FALSE(shell->closed());
    EXPECT_TRUE(finished.wait(5000));
    EXPECT_EQ(runs, Lines{"1 tray"});
}

class SessionSignal : public Shell, public ::testing::WithParamInterface<int> {};

TEST_P(SessionSignal, ReachesTheCloseRequestThroughTheEventLoop) {
    load({{2, "1"}});
    SessionEnd end;
    ASSERT_TRUE(end.install());
    SessionEnd second;
    EXPECT_FALSE(second.install()) << "only one instance holds the handlers";
    QObject::connect(&end, &SessionEnd::endRequested, shell.get(), &MenuShell::requestClose);
    QSignalSpy finished(shell.get(), &MenuShell::finished);
    ASSERT_EQ(std::raise(GetParam()), 0);
    EXPECT_TRUE(runs.empty()) << "nothing may happen inside the signal handler";
    EXPECT_TRUE(finished.wait(5000));
    EXPECT_EQ(runs, Lines{"1 tray"});
}

INSTANTIATE_TEST_SUITE_P(TermHupInt, SessionSignal, ::testing::Values(SIGTERM, SIGHUP, SIGINT));

TEST_F(Shell, AboutOpensOnceFromEveryGesture) {
    load();
    shell->mnuset_Click();
    shell->tray().about_show->trigger();
    QPointer<frmAbout> first = shell->about();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->lbl_ver->text(), QStringLiteral("Ver1.10"));
    shell->about_show_Click();
    EXPECT_EQ(shell->about(), first.data());
    auto closeAbout = [&] {
        shell->about()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(shell->about());
    };
    closeAbout();
    QTest::mouseDClick(menu().SSTab1->tabBar(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(shell->about());
    closeAbout();
    QTest::mouseDClick(menu().ok_bt, Qt::LeftButton);
    EXPECT_FALSE(shell->about()) << "a double-click on a button is not one on the background";
    QTest::mouseDClick(&menu(), Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(shell->about());
}

TEST_F(Shell, TrayItemsReachHelpAndHistory) {
    load();
    shell->tray().help_show->trigger();
    ASSERT_EQ(be.helpCalls.size(), 1u);
    EXPECT_EQ(be.helpCalls[0].file, tmp / "Vornel_Net1.chm");

    shell->tray().History_Disp->trigger();
    QPointer<HistoryWindow> viewer = shell->history();
    ASSERT_TRUE(viewer);
    EXPECT_TRUE(viewer->isVisible());
    viewer->edit_bt->click();
    EXPECT_EQ(be.shellOpened, std::vector<std::string>{tmp / "history.txt"});
    menu().recedit_bt_Click();
    EXPECT_EQ(shell->history(), viewer.data()) << "one viewer at a time";
}

TEST_F(Shell, WithoutANotificationAreaTheWindowIsShownAndMinimizesInsteadOfHiding) {
    be.trayArea = false;
    shell->trayWaitMs = 0;
    load();
    EXPECT_FALSE(menu().isVisible()) << "the desktop gets its moment to offer one";
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu().isVisible(); }, 5000));
    EXPECT_FALSE(shell->notray_lbl->isHidden());
    shell->mini_bt_Click();
    EXPECT_TRUE(menu().isVisible());
    EXPECT_TRUE(menu().isMinimized());
    be.trayArea = true;  // a panel has started and taken the icon
    shell->checkTrayArea();
    EXPECT_TRUE(shell->notray_lbl->isHidden());
    shell->mnuset_Click();
    shell->mini_bt_Click();
    EXPECT_FALSE(menu().isVisible());
}

// What makes the main window "activated" (the page chosen by the activation tab selector):
// being shown from the tray, or another window of the program handing it back. Message boxes,
// dialogs and other applications never do.
class Activation : public Shell {
  protected:
    void SetUp() override {
        Shell::SetUp();
        load();
        shell->mnuset_Click();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&menu()));
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
};

TEST_F(Activation, OnlyTheTrayAndTheProgramsOwnWindowsActivateIt) {
    // What is visited, how the main window is left and got back to, whether that activates it.
    const std::tuple<const char*, std::function<void(MenuShell&)>, bool> sources[] = {
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
        // Browsing for a folder changes neither the page nor the one a later activation shows.
        {"folder browsed and cancelled",
         [](MenuShell& s) {
             QTest::mouseClick(s.menu().findChild<QPushButton*>(QStringLiteral("refsrc_bt_5")),
                               Qt::LeftButton);  // the fake dialog is cancelled
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
    for (const auto& [name, visitAndReturn, activates] : sources) {
        SCOPED_TRACE(name);
        menu().SSTab1->setCurrentIndex(2);  // the page of the pair browsed
        visitAndReturn(*shell);
        menu().activateWindow();  // as the desktop does when a window closes
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return QGuiApplication::focusWindow() == menu().windowHandle(); }, 5000));
        QCoreApplication::processEvents();
        EXPECT_EQ(menu().SSTab1->currentIndex(), activates ? 0 : 2);
    }
}

// Browsing for a folder does not change the page a later activation shows.
TEST(SingleInstance, OneCopyPerFolderWhateverPathLeadsToItAndTheSecondShowsTheFirst) {
    test::TempDir dir, elsewhere;
    const QString folder = QString::fromStdString(dir.str());
    {
        SingleInstance first(folder);
        ASSERT_TRUE(first.claim());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        SingleInstance second(QString::fromStdString(dir.str() + "/./"));
        EXPECT_FALSE(second.claim());
        EXPECT_TRUE(shown.wait(5000));
        EXPECT_EQ(shown.count(), 1);
        SingleInstance other(QString::fromStdString(elsewhere.str()));
        EXPECT_TRUE(other.claim());
    }
    SingleInstance next(folder);
    EXPECT_TRUE(next.claim());
}

}  // namespace
}  // namespace vornel
