// The history viewer on real files, following them through real change notifications.
#include "history/history_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "common/cp932.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::writeFile;

struct Viewer : ::testing::Test {
    test::TempDir dir;
    std::string path = dir / "history.txt";
    QPointer<HistoryWindow> window;

    void open() {
        window = new HistoryWindow(QString::fromStdString(path), [] {});
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override { delete window.data(); }
    QString text() const { return window->hist_txt->toPlainText(); }
    QString status() const { return window->status_lbl->text(); }
    // Waits for the window to have heard of a change on disk and shown it.
    bool shows(const QString& wanted) {
        return QTest::qWaitFor([&] { return window && text() == wanted; }, 10000);
    }
    void append(const QString& line) {
        writeFile(path, test::readFile(path) + cp932::encode(line.toStdString()).bytes + "\r\n");
    }
};

TEST_F(Viewer, ShowsTheDecodedFileAsPlainTextScrolledToTheNewestLine) {
    QStringList lines;
    for (int i = 0; i < 300; ++i) lines << QStringLiteral("%1 [Success] /データ/<U+1F600>").arg(i);
    lines << "<b>not bold</b>";
    for (const QString& line : lines) append(line);
    open();
    EXPECT_EQ(text(), lines.join('\n'));
    const QScrollBar* bar = window->hist_txt->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(status().endsWith("（301 行）")) << status().toStdString();
}

TEST_F(Viewer, TheFilterKeepsTheLinesHoldingItsTextAndEscapeCloses) {
    for (const char* line : {"1 [Start]", "2 [Fail] 作業PC", "3 [Success]", "4 [Fail] 作業PC"})
        append(line);
    open();
    window->filter_txt->setText("[fail]");
    EXPECT_EQ(text(), "2 [Fail] 作業PC\n4 [Fail] 作業PC");
    EXPECT_TRUE(status().endsWith("（2 / 4 行）"));
    append("5 [Success]");
    append("6 [Fail] 作業PC");
    EXPECT_TRUE(shows("2 [Fail] 作業PC\n4 [Fail] 作業PC\n6 [Fail] 作業PC"));
    window->filter_txt->clear();
    EXPECT_EQ(text().count('\n'), 5);
    window->filter_txt->setFocus();
    QTest::keyClick(window->filter_txt, Qt::Key_Escape);
    EXPECT_TRUE(window.isNull() || !window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "a closed viewer is deleted";
}

TEST_F(Viewer, FollowsTheFileThroughAppendClearReplaceAndRemoval) {
    open();
    EXPECT_EQ(status(), "履歴ファイルはまだありません：" + QString::fromStdString(path));
    append("one");
    ASSERT_TRUE(shows("one"));
    append("two");
    EXPECT_TRUE(shows("one\ntwo"));
    writeFile(path, "\r\n");  // as clearing the history leaves it
    EXPECT_TRUE(shows(""));
    append("三");
    EXPECT_TRUE(shows("\n三"));
    writeFile(path + ".new", "replaced\r\n");
    std::filesystem::rename(path + ".new", path);
    EXPECT_TRUE(shows("replaced"));
    append("after the replacement");
    EXPECT_TRUE(shows("replaced\nafter the replacement"));
    std::filesystem::remove(path);
    EXPECT_TRUE(shows(""));
    EXPECT_TRUE(status().startsWith("履歴ファイルはまだありません"));
}

}  // namespace
}  // namespace vornel
