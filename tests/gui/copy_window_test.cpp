#include "backup/copy_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTextDocument>
#include <QtTest/QTest>
#include <filesystem>
#include <tuple>

#include "backup/backup_engine.h"
#include "backup/engine_fixture.h"
#include "history/errlog_window.h"
#include "qt_printers.h"

namespace vornel::test {
namespace {

// The copy window of a run of the first pair, on the fake desktop.
class CopyWindowTest : public EngineTest {
  protected:
    CopyWindowTest() { usePair(0); }
    QLabel* label(const char* name) { return w.findChild<QLabel*>(name); }

    CopyWindow w{m};
    BackupEngine windowRun{m, w, errlog, BackupHooks{}};
};

// Names come from the disk and the settings: each label shows its value as plain text on one
// line, and a long one cut in the middle with the whole in its tip.
TEST_F(CopyWindowTest, EachValueGoesToItsOwnLabelAsPlainTextAndLongOnesAreCutInTheMiddle) {
    using Setter = void (CopyProgressSink::*)(const std::string&);
    const std::tuple<Setter, const char*, const char*, QString> labels[] = {
        {&CopyProgressSink::set_srcfld, "srcfld", "/home/u/資料", QStringLiteral("/home/u/資料")},
        {&CopyProgressSink::set_dstfld, "dstfld", "a &amp; b", QStringLiteral("a &amp; b")},
        {&CopyProgressSink::set_subfld, "subfld", "/<b>x</b>", QStringLiteral("/<b>x</b>")},
        {&CopyProgressSink::set_cpfname, "cpfname", "一行目\n二行目\t",
         QStringLiteral("一行目\u240a二行目\u2409")},
        {&CopyProgressSink::set_filesize, "filesize", "1,234 byte", QStringLiteral("1,234 byte")}};
    CopyProgressSink& sink = w;
    for (const auto& [set, name, text, shown] : labels) (sink.*set)(text);
    w.refresh();
    for (const auto& [set, name, text, shown] : labels) {
        SCOPED_TRACE(name);
        EXPECT_EQ(label(name)->text(), shown);
        EXPECT_EQ(label(name)->textFormat(), Qt::PlainText);
        EXPECT_TRUE(label(name)->toolTip().isEmpty()) << "a value that fits needs no tip";
    }

    w.showWindow();
    std::string deep = "/home/u";
    for (int i = 0; i < 40; ++i) deep += "/フォルダ" + std::to_string(i);
    w.set_srcfld(deep + "/<b>x</b>");
    w.refresh();
    QLabel* srcfld = label("srcfld");
    EXPECT_TRUE(srcfld->text().startsWith(QStringLiteral("/home/u/")));
    EXPECT_TRUE(srcfld->text().endsWith(QStringLiteral("<b>x</b>")));
    EXPECT_TRUE(srcfld->text().contains(QChar(0x2026)));
    EXPECT_LE(srcfld->fontMetrics().horizontalAdvance(srcfld->text()), srcfld->width());
    EXPECT_EQ(srcfld->toolTip(),
              Qt::convertFromPlainText(QString::fromStdString(deep + "/<b>x</b>")));
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
}

// A run names thousands of files a second; the window shows at most one state per interval,
// and the last file named before the run ends.
TEST_F(CopyWindowTest, OneIntervalGivesAHandfulOfUpdatesAndTheLastFileIsShown) {
    std::vector<TreeEntry> files;
    for (int i = 0; i < 1000; ++i)
        files.push_back(file(QString::asprintf("f%04d.txt", i).toStdString(), "x"));
    makeTree(src(0), files);
    for (const auto& [secondsPerPump, minShown, maxShown] :
         {std::tuple{0.0, 0, 2}, std::tuple{0.06, 1000, 1000}}) {
        SCOPED_TRACE(secondsPerPump);
        QStringList shown;
        be.secondsPerPump = secondsPerPump;
        be.onPump = [&](int) {
            const QString now = label("cpfname")->text();
            if (!now.isEmpty() && (shown.isEmpty() || shown.back() != now)) shown << now;
        };
        windowRun.backup(HistOrigin::Manual);
        EXPECT_GE(shown.size(), minShown);
        EXPECT_LE(shown.size(), maxShown);
        // Shown during the run, or at its end when the run ended within the interval.
        EXPECT_TRUE(shown.endsWith(QStringLiteral("f0999.txt")) ||
                    label("cpfname")->text() == QStringLiteral("f0999.txt"));
    }
}

// New, unreadable and unchanged files in one run: the progress line counts what was looked at
// and what was copied; a big file shows a bar of its own progress while it is copied.
TEST_F(CopyWindowTest, TheProgressLineCountsTheRunAndABigFileGetsABar) {
    makeTree(src(0), {file("a.txt", "12345", kT), file("b.txt", "unreadable", kT),
                      file("c.txt", "same", kT)});
    makeTree(dst(0), {file("c.txt", "same", kT)});
    int opened = 0;
    windowRun.copyFault = [&](CopyStage s) {
        return s == CopyStage::OpenSource && ++opened == 2 ? EACCES : 0;
    };
    windowRun.backup(HistOrigin::Manual);
    be.advance(3725);  // the line is read an hour, two minutes and five seconds in
    w.refresh();
    EXPECT_EQ(label("runcount")->text(),
              QStringLiteral("コピー済み 1 / 確認済み 3 ファイル　5 byte　経過 1:02:05"));

    auto* bar = w.findChild<QProgressBar*>("filebar");
    w.showWindow();
    for (const auto& [size, withBar] : {std::pair{CopyWindow::kBarFileSize - 1, false},
                                        std::pair{4 * CopyWindow::kBarFileSize, true}}) {
        w.set_cpfname("big.bin");
        w.set_fileProgress(size / 4, size);
        w.refresh();
        EXPECT_EQ(bar->isVisible(), withBar) << size;
        EXPECT_TRUE(!withBar || bar->value() == 250) << bar->value();
    }
    w.set_cpfname("");
    w.refresh();
    EXPECT_FALSE(bar->isVisible());
}

TEST(ErrLogWindowTest, EntriesCollectUntilClearedAndAClosedLogStartsAfresh) {
    ErrLogWindowSink sink;
    sink.append("2026/12/06 /a <b>x</b> &amp;\r\n\t  [コピー元フォルダが見つかりません]\r\n");
    sink.append("2026/12/06 /b\r\n\t  [コピー先フォルダが見つかりません]\r\n");
    ErrLogWindow* first = sink.window();
    ASSERT_TRUE(first && first->isVisible());
    EXPECT_EQ(
        first->logText(),
        QStringLiteral("2026/12/06 /a <b>x</b> &amp;\n\t  [コピー元フォルダが見つかりません]\n"
                       "2026/12/06 /b\n\t  [コピー先フォルダが見つかりません]\n"));
    auto* clear = first->findChild<QPushButton*>("LogClr");
    ASSERT_NE(clear, nullptr);
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

}  // namespace
}  // namespace vornel::test
