// The life of the main window: load, activation, show and hide, the ways to quit, the close
// request, help and About.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <csignal>
#include <filesystem>
#include <map>

#include "app/menu_shell.h"
#include "app/pages/folder_pair_page.h"
#include "app/pages/pc_functions_page.h"
#include "app/pages/start_events_page.h"
#include "app/session_end.h"
#include "support/fake_backend.h"
#include "support/settings_file.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::FakeBackend;

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

struct Shell : ::testing::Test {
    FakeBackend be;
    KvCmn15 module{be};
    Module1 m{module};
    test::TempDir dir;
    std::unique_ptr<MenuShell> shell;
    struct Run {
        int origin;
        bool trayPresent;
        bool stupSdown;
    };
    std::vector<Run> runs;

    void SetUp() override {
        shell = std::make_unique<MenuShell>(m, ShellPlatform{be, {}, {}}, dir.str());
        shell->backup = [this](int origin) {
            runs.push_back({origin, be.trayPresent, m.Stup_sdown});
        };
    }

    // A settings file of default values with some records changed.
    void writeSettings(const std::map<int, std::string>& changes) {
        test::writeSettingsFile(dir / "system.dat", changes);
    }

    void load() {
        shell->Form_Load();
        ASSERT_FALSE(shell->loading());
    }

    Menu& menu() { return shell->menu(); }
    void activate() {
        QEvent e(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&menu(), &e);
    }
    // Edits folder pair 1 to two folders that exist, so that a save accepts it.
    std::string editFirstSource() {
        const std::string src = dir / "src";
        std::filesystem::create_directories(src);
        std::filesystem::create_directories(dir / "dst");
        menu().folderPage(0)->srcfld_txt->setText(QString::fromStdString(src));
        menu().folderPage(0)->dstfld_txt->setText(QString::fromStdString(dir / "dst"));
        EXPECT_EQ(m.Chg_flg, 1);
        return src;
    }
    std::string storedFirstSource() {
        return trimTrailingBlanks(readSysdatFile(dir / "system.dat").text[15]);
    }
    bool trayDeleted() const { return !be.trayCalls.empty() && be.trayCalls.back().op == "delete"; }
};

TEST(AppVersion, MajorDotMinorAndRevisionWithoutSeparator) {
    EXPECT_EQ(appVersionText(1, 1, 0), "Ver1.10");
    EXPECT_EQ(appVersionText(2, 0, 15), "Ver2.015");
}

TEST_F(Shell, LoadShowsTheSplashTwoSecondsThenAddsTheIconAndHides) {
    const double start = be.monotonicSeconds();
    bool splashSeen = false;
    bool trayDuringSplash = false;
    be.onPump = [&](int) {
        if (shell->splash() && shell->splash()->isVisible()) splashSeen = true;
        if (!be.trayCalls.empty()) trayDuringSplash = true;
    };
    load();
    be.onPump = nullptr;
    EXPECT_TRUE(splashSeen);
    EXPECT_FALSE(trayDuringSplash);
    EXPECT_GE(be.monotonicSeconds() - start, 2.0);
    EXPECT_TRUE(!shell->splash() || !shell->splash()->isVisible());

    EXPECT_EQ(m.App_ver, "Ver1.10");
    EXPECT_EQ(m.App_path, dir.str());
    EXPECT_EQ(m.Sysdat_path, dir / "system.dat");
    EXPECT_EQ(m.Hist_path, dir / "history.txt");
    ASSERT_EQ(be.trayCalls.size(), 1u);
    EXPECT_EQ(be.trayCalls[0].op, "add");
    EXPECT_EQ(be.trayCalls[0].owner, menu().hWnd());
    EXPECT_EQ(be.trayCalls[0].tip, "左-Menu:右-Help");
    EXPECT_FALSE(menu().isVisible());
    EXPECT_EQ(m.Fld_no, 1);
    EXPECT_EQ(m.App_title, "Vornelnet");
    EXPECT_EQ(menu().pcPage()->arbint_day_cb->count(), 31);
    EXPECT_EQ(menu().pcPage()->arbint_week_cb->itemText(0), QStringLiteral("日"));

    // The settings were read: a first start writes the default file and loads it.
    EXPECT_TRUE(std::filesystem::exists(dir / "system.dat"));
    EXPECT_EQ(m.Copy_op, "1");
    EXPECT_EQ(m.Chg_flg, 0);
    EXPECT_TRUE(runs.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "history.txt"));
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(Shell, KeyClosesTheSplashEarlyWhileTheLoadStillWaits) {
    const double start = be.monotonicSeconds();
    double closedAt = -1;
    be.onPump = [&](int n) {
        if (n == 3) QTest::keyClick(shell->splash(), Qt::Key_Space);
        if (closedAt < 0 && shell->splash() && !shell->splash()->isVisible())
            closedAt = be.monotonicSeconds() - start;
    };
    load();
    be.onPump = nullptr;
    ASSERT_GE(closedAt, 0);
    EXPECT_LT(closedAt, 0.5);
    EXPECT_GE(be.monotonicSeconds() - start, 2.0);
    EXPECT_EQ(be.trayCalls.size(), 1u);
}

class StartUpBackup : public Shell, public ::testing::WithParamInterface<std::string> {};

TEST_P(StartUpBackup, RunsOnlyForExactlyOne) {
    writeSettings({{1, GetParam()}});
    load();
    if (GetParam() == "1") {
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].origin, 0);
        EXPECT_TRUE(runs[0].stupSdown);
        EXPECT_TRUE(runs[0].trayPresent);
    } else {
        EXPECT_TRUE(runs.empty());
        EXPECT_FALSE(m.Stup_sdown);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, StartUpBackup, ::testing::Values("1", "0", "", " 1", "01", "2"));

TEST_F(Shell, ActivationChoosesTheTabFromTheSelector) {
    load();
    menu().SSTab1->setCurrentIndex(6);
    activate();
    EXPECT_EQ(menu().SSTab1->currentIndex(), 0);
    for (int selector : {2, 3, 4}) {
        m.Fld_no = static_cast<std::int16_t>(selector);
        activate();
        EXPECT_EQ(menu().SSTab1->currentIndex(), selector - 1);
    }
    for (int selector : {0, 5, 7, -1}) {
        menu().SSTab1->setCurrentIndex(10);
        m.Fld_no = static_cast<std::int16_t>(selector);
        activate();
        EXPECT_EQ(menu().SSTab1->currentIndex(), 10) << selector;
    }
}

TEST_F(Shell, ActivationBringsTheDependentControlsInLine) {
    writeSettings({{1, "0"}});
    load();
    StartEventsPage* page = menu().startPage();
    page->start_chk->setChecked(true);
    page->st_sdown->setEnabled(false);
    page->hour_txt[0]->setEnabled(true);
    activate();
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

TEST_F(Shell, HideAndShowKeepTheContentsAndTheIcon) {
    load();
    shell->mnuset_Click();
    EXPECT_TRUE(menu().isVisible());
    const std::string src = editFirstSource();
    be.answerNextBox(kAnsNo);
    QTest::mouseClick(menu().mini_bt, Qt::LeftButton);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, kChangedQuestion);
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_FALSE(menu().isVisible());
    EXPECT_FALSE(trayDeleted());
    EXPECT_FALSE(shell->closed());
    shell->mnuset_Click();
    EXPECT_EQ(menu().folderPage(0)->srcfld_txt->text(), QString::fromStdString(src));
    EXPECT_EQ(storedFirstSource(), "");
}

TEST_F(Shell, HideWithSaveStoresTheEdits) {
    load();
    shell->mnuset_Click();
    const std::string src = editFirstSource();
    be.answerNextBox(kAnsYes);
    shell->mini_bt_Click();
    EXPECT_FALSE(menu().isVisible());
    EXPECT_EQ(storedFirstSource(), src);
    EXPECT_EQ(m.Chg_flg, 0);
}

TEST_F(Shell, TrayQuitWithEditsShowsOneOkQuestionSavesAndAsksNothingMore) {
    load();
    const std::string src = editFirstSource();
    be.answerNextBox(kAnsOk);
    shell->tray().mnuend->trigger();
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text, kChangedQuestion);
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(be.boxes[0].icon, BoxIcon::Question);
    EXPECT_EQ(m.Msg_ans, 1);
    EXPECT_EQ(storedFirstSource(), src);
    EXPECT_TRUE(shell->closed());
    EXPECT_TRUE(trayDeleted());
}

TEST_F(Shell, TrayQuitWithoutEditsAsksNothing) {
    load();
    shell->mnuend_Click();
    EXPECT_TRUE(be.boxes.empty());
    EXPECT_TRUE(shell->closed());
    EXPECT_TRUE(trayDeleted());
}

TEST_F(Shell, QuitButtonAsksYesNoAndNoLeavesTheFileAlone) {
    load();
    shell->mnuset_Click();
    editFirstSource();
    be.answerNextBox(kAnsNo);
    QSignalSpy finished(shell.get(), &MenuShell::finished);
    QTest::mouseClick(menu().close_bt, Qt::LeftButton);
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].buttons, BoxButtons::YesNo);
    EXPECT_EQ(storedFirstSource(), "");
    EXPECT_TRUE(shell->closed());
    EXPECT_FALSE(menu().isVisible());
    EXPECT_TRUE(finished.wait(1000));
}

TEST_F(Shell, CloseBoxWithEditsOffersToSave) {
    load();
    shell->mnuset_Click();
    const std::string src = editFirstSource();
    be.answerNextBox(kAnsYes);
    menu().close();
    EXPECT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(storedFirstSource(), src);
    EXPECT_TRUE(shell->closed());
}

TEST_F(Shell, CloseRequestRunsTheCloseBackupBeforeTheIconGoesThenClosesInOrder) {
    writeSettings({{2, "1"}});
    load();
    CloseRecorder rec;
    QWidget copydlg;
    copydlg.setObjectName(QStringLiteral("copydlg"));
    QWidget errlog;
    errlog.setObjectName(QStringLiteral("frmErrLog"));
    QWidget countdown;
    countdown.setObjectName(QStringLiteral("ShutDownDialog"));
    for (QWidget* w : {&copydlg, &errlog, &countdown}) {
        w->show();
        rec.watch(w);
    }
    shell->registerWindow(MenuShell::OtherWindow::copydlg, &copydlg);
    shell->registerWindow(MenuShell::OtherWindow::frmErrLog, &errlog);
    shell->registerWindow(MenuShell::OtherWindow::ShutDownDialog, &countdown);
    shell->about_show_Click();
    rec.watch(shell->about());
    shell->mnuset_Click();
    rec.watch(&menu());

    bool aboutOpenDuringRun = false;
    shell->backup = [&](int origin) {
        runs.push_back({origin, be.trayPresent, m.Stup_sdown});
        aboutOpenDuringRun = shell->about() && shell->about()->isVisible();
    };
    shell->close_bt_Click();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].origin, 1);
    EXPECT_TRUE(runs[0].trayPresent);
    EXPECT_TRUE(aboutOpenDuringRun);
    EXPECT_TRUE(trayDeleted());
    EXPECT_EQ(rec.order, (std::vector<std::string>{"frmAbout", "copydlg", "frmErrLog",
                                                   "ShutDownDialog", "Menu"}));
    for (QWidget* w : {&copydlg, &errlog, &countdown}) EXPECT_FALSE(w->isVisible());
}

TEST_F(Shell, NoCloseBackupUnlessExactlyOne) {
    for (const char* value : {"0", " 1", ""}) {
        SCOPED_TRACE(value);
        runs.clear();
        be.trayCalls.clear();
        shell = std::make_unique<MenuShell>(m, ShellPlatform{be, {}, {}}, dir.str());
        shell->backup = [this](int origin) { runs.push_back({origin, be.trayPresent, false}); };
        writeSettings({{2, value}});
        load();
        shell->prog_end();
        EXPECT_TRUE(runs.empty());
        EXPECT_TRUE(trayDeleted());
    }
}

TEST_F(Shell, CloseRequestRunsOnce) {
    writeSettings({{2, "1"}});
    load();
    shell->backup = [this](int origin) {
        runs.push_back({origin, be.trayPresent, false});
        // A second request arriving while the close-time run lets events through.
        shell->requestClose();
        menu().close();
    };
    shell->requestClose();
    EXPECT_EQ(runs.size(), 1u);
    EXPECT_EQ(std::count_if(be.trayCalls.begin(), be.trayCalls.end(),
                            [](const auto& c) { return c.op == "delete"; }),
              1);
    shell->requestClose();
    EXPECT_EQ(runs.size(), 1u);
}

TEST_F(Shell, EndOfSessionDuringTheLoadWaitsForItsEnd) {
    be.onPump = [&](int n) {
        if (n == 2) shell->requestClose();
    };
    writeSettings({{2, "1"}});
    load();
    be.onPump = nullptr;
    EXPECT_TRUE(shell->closed());
    ASSERT_EQ(be.trayCalls.size(), 2u);
    EXPECT_EQ(be.trayCalls[0].op, "add");
    EXPECT_EQ(be.trayCalls[1].op, "delete");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].origin, 1);
}

TEST_F(Shell, SigtermReachesTheCloseRequest) {
    writeSettings({{2, "1"}});
    load();
    SessionEnd end;
    ASSERT_TRUE(end.install());
    QObject::connect(&end, &SessionEnd::endRequested, shell.get(), &MenuShell::requestClose);
    QSignalSpy finished(shell.get(), &MenuShell::finished);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_TRUE(finished.wait(5000));
    EXPECT_TRUE(shell->closed());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].origin, 1);
    EXPECT_TRUE(trayDeleted());
}

TEST_F(Shell, AboutOpensOnceFromEveryGesture) {
    load();
    shell->mnuset_Click();
    shell->tray().about_show->trigger();
    QPointer<frmAbout> first = shell->about();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->lbl_ver->text(), QStringLiteral("Ver1.10"));
    shell->about_show_Click();
    EXPECT_EQ(shell->about(), first.data());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(shell->about());

    QTest::mouseDClick(menu().SSTab1->tabBar(), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(shell->about());
    shell->about()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QTest::mouseDClick(menu().ok_bt, Qt::LeftButton);
    EXPECT_FALSE(shell->about()) << "a double-click on a button is not one on the background";
    QTest::mouseDClick(&menu(), Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(shell->about());
}

TEST_F(Shell, HelpOpensTheProgramsHelpFileOnItsContents) {
    load();
    shell->tray().help_show->trigger();
    ASSERT_EQ(be.helpCalls.size(), 1u);
    EXPECT_EQ(be.helpCalls[0].file, dir / "Vornel_Net1.chm");
    EXPECT_EQ(be.helpCalls[0].command, 1);
    EXPECT_EQ(be.helpCalls[0].context, 0);
    EXPECT_EQ(be.helpCalls[0].owner, menu().hWnd());

    be.helpResult = false;
    be.answerNextBox(kAnsOk);
    shell->help_show_Click();
    ASSERT_EQ(be.boxes.size(), 1u);
    EXPECT_EQ(be.boxes[0].text,
              "Help File = " + (dir / "Vornel_Net1.chm") + " を開けませんでした！");
}

TEST_F(Shell, TrayItemsReachTheirCommands) {
    load();
    shell->tray().History_Disp->trigger();
    EXPECT_EQ(be.shellOpened, std::vector<std::string>{dir / "history.txt"});
    shell->tray().mnuset->trigger();
    EXPECT_TRUE(menu().isVisible());
    emit menu().wolCaptionChanged(1, QStringLiteral("SERVER起動"));
    EXPECT_EQ(shell->tray().pc_wol(1)->text(), QStringLiteral("SERVER起動"));
}

TEST_F(Shell, IconDeleteOnAFreshWindowInstanceFails) {
    EXPECT_EQ(menu().cmn().TrayDelIcon(), KvCmn15::kFalse);
    EXPECT_TRUE(be.trayCalls.empty());
}

}  // namespace
}  // namespace vornel
