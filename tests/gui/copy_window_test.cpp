#include "backup/copy_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QtTest/QTest>

#include "backup/backup_engine.h"
#include "history/errlog_window.h"
#include "qt_printers.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

QString labelText(QWidget& w, const char* name) {
    auto* label = w.findChild<QLabel*>(name);
    return label ? label->text() : QStringLiteral("<missing %1>").arg(name);
}

class CopyWindowTest : public ::testing::Test {
  protected:
    test::FakeBackend be;
    KvCmn15 cmn{be};
    Module1 m{cmn};
    CopyWindow w{m};
};

TEST_F(CopyWindowTest, CaptionLabelsAndButtonCarryTheirTextsAndTheRunWritesTheValues) {
    EXPECT_EQ(w.objectName(), "copydlg");
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tamsel  バックアップ中 ．．．"));
    auto* button = w.findChild<QPushButton*>("copyccl_bt");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("中　止"));
    CopyProgressSink& sink = w;
    sink.set_srcfld("/home/u/資料");
    sink.set_dstfld("/mnt/backup");
    sink.set_subfld("/a/b");
    sink.set_cpfname("x.txt");
    sink.set_filesize("1,234 byte");
    const std::pair<const char*, const char*> labels[] = {{"srcfld_lbl", "コピー元フォルダ"},
                                                          {"dstfld_lbl", "コピー先フォルダ"},
                                                          {"subfld_lbl", "<サブフォルダ>"},
                                                          {"cpinfo_lvl", "ファイル名"},
                                                          {"filesize_lbl", "ファイルサイズ"},
                                                          {"srcfld", "/home/u/資料"},
                                                          {"dstfld", "/mnt/backup"},
                                                          {"subfld", "/a/b"},
                                                          {"cpfname", "x.txt"},
                                                          {"filesize", "1,234 byte"}};
    for (const auto& [name, text] : labels) EXPECT_EQ(labelText(w, name), QString::fromUtf8(text));
}

TEST_F(CopyWindowTest, OpensCentredAndTheStopButtonOnlyRaisesTheFlag) {
    w.showWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const QRect screen = w.screen()->geometry();
    EXPECT_NEAR(w.x(), screen.x() + (screen.width() - w.width()) / 2, 1);
    EXPECT_NEAR(w.y(), screen.y() + (screen.height() - w.height()) / 2, 1);
    QTest::mouseClick(w.findChild<QPushButton*>("copyccl_bt"), Qt::LeftButton);
    EXPECT_EQ(m.Cancel_flg, 1);
    EXPECT_TRUE(w.isVisible());
    w.hideWindow();
    EXPECT_FALSE(w.isVisible());
}

TEST(ErrLogWindowTest, EntriesCollectUntilClearedAndAClosedLogStartsAfresh) {
    ErrLogWindowSink sink;
    sink.append("2026/12/06 /a\r\n\t  [コピー元フォルダが見つかりません]\r\n");
    sink.append("2026/12/06 /b\r\n\t  [コピー先フォルダが見つかりません]\r\n");
    ErrLogWindow* first = sink.window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->objectName(), "frmErrLog");
    EXPECT_EQ(first->windowTitle(), QStringLiteral("エラーLog"));
    EXPECT_EQ(first->logText(),
              QStringLiteral("2026/12/06 /a\n\t  [コピー元フォルダが見つかりません]\n"
                             "2026/12/06 /b\n\t  [コピー先フォルダが見つかりません]\n"));
    auto* clear = first->findChild<QPushButton*>("LogClr");
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(clear->text(), QStringLiteral("ログ・クリア"));
    QTest::mouseClick(clear, Qt::LeftButton);
    EXPECT_TRUE(first->logText().isEmpty());

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(sink.window(), nullptr);
    sink.append("2026/12/07 /c\r\n\t  [m]\r\n");
    ASSERT_NE(sink.window(), nullptr);
    EXPECT_EQ(sink.window()->logText(), QStringLiteral("2026/12/07 /c\n\t  [m]\n"));
}

// The log opens beside the main window, or over its middle below the page tabs when the
// screen has no room beside it; Escape closes it.
TEST(ErrLogWindowTest, OpensBesideTheMainWindowOrBelowItsTabsAndEscapeClosesIt) {
    QWidget main;
    auto* tabs = new QTabBar(&main);
    tabs->addTab(QStringLiteral("ﾌｫﾙﾀﾞ設定_1"));
    tabs->setGeometry(0, 0, 300, 30);
    const QRect screen = main.screen()->availableGeometry();
    for (const int width : {200, screen.width() - 40}) {
        SCOPED_TRACE(width);
        main.setGeometry(screen.left() + 20, screen.top() + 40, width, 400);
        main.show();
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        ErrLogWindowSink sink;
        sink.placeBeside(&main, tabs);
        sink.append("2026/12/06 /a\r\n\t  [コピー元フォルダが見つかりません]\r\n");
        QWidget* log = sink.window();
        ASSERT_TRUE(log && log->isVisible());
        const QRect frame = main.frameGeometry();
        const QRect placed = log->geometry();
        const int tabsBottom = tabs->mapToGlobal(QPoint(0, tabs->height())).y();
        EXPECT_TRUE(!placed.intersects(frame) || placed.top() >= tabsBottom) << "tabs hidden";
        EXPECT_TRUE(screen.contains(placed)) << "off the screen";
        EXPECT_EQ(placed.intersects(frame), width > 200) << "beside it when there is room";
        log->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(log));
        QTest::keyClick(log, Qt::Key_Escape);
        EXPECT_FALSE(log->isVisible());
    }
}

TEST(BackupWindows, ARunShowsItsProblemsInTheLogAndHidesTheCopyWindow) {
    test::TempDir tmp;
    test::FakeBackend be;
    KvCmn15 cmn(be);
    Module1 m(cmn);
    m.Hist_path = tmp / "history.txt";
    m.Rec_op = m.Copy_op = m.Cp_skip = "1";
    m.Skip_flg.fill("0");
    m.Src_fld[0] = tmp / "missing";
    m.Dst_fld[0] = tmp.str();
    CopyWindow copydlg(m);
    ErrLogWindowSink log;
    BackupEngine engine(m, copydlg, log, BackupHooks{});
    bool visibleDuringRun = false;
    be.onPump = [&](int) { visibleDuringRun = visibleDuringRun || copydlg.isVisible(); };
    engine.backup(3);
    EXPECT_TRUE(visibleDuringRun);
    EXPECT_FALSE(copydlg.isVisible());
    ASSERT_NE(log.window(), nullptr);
    EXPECT_TRUE(
        log.window()->logText().contains(QStringLiteral("コピー元フォルダが見つかりません")));
}

}  // namespace
}  // namespace vornel
