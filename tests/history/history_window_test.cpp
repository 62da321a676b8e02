// The history viewer on real files, following them through real change notifications.
#include "history/history_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "common/cp932.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

using test::writeFile;

QString shownText(const HistoryWindow& w) { return w.hist_txt->toPlainText(); }

struct Viewer : ::testing::Test {
    test::TempDir dir;
    std::string path = dir / "history.txt";
    int editorOpened = 0;
    QPointer<HistoryWindow> window;

    void open() {
        window = new HistoryWindow(QString::fromStdString(path), [this] { ++editorOpened; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override { delete window.data(); }
    // Waits for the window to have heard of a change on disk and shown it.
    bool shows(const QString& text) {
        return QTest::qWaitFor([&] { return window && shownText(*window) == text; }, 10000);
    }
    void append(const std::string& utf8Line) {
        writeFile(path, test::readFile(path) + cp932::encode(utf8Line).bytes + "\r\n");
    }
};

TEST_F(Viewer, ShowsTheDecodedFileScrolledToTheNewestLine) {
    std::string bytes;
    QStringList lines;
    for (int i = 0; i < 300; ++i) {
        lines << QStringLiteral("2026/12/07 4:%1:00 [Success] /データ/<U+1F600>/<0xFF> [Manual]")
                     .arg(i % 60, 2, 10, QChar('0'));
        bytes += cp932::encode(lines.back().toStdString()).bytes + "\r\n";
    }
    writeFile(path, bytes + "<b>not bold</b>\r\n");
    lines << QStringLiteral("<b>not bold</b>");
    open();
    EXPECT_EQ(shownText(*window), lines.join('\n'));
    const QScrollBar* bar = window->hist_txt->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_TRUE(window->hist_txt->isReadOnly());
    EXPECT_TRUE(window->status_lbl->text().endsWith(QStringLiteral("（301 行）")))
        << window->status_lbl->text().toStdString();
}

TEST_F(Viewer, TheFilterKeepsTheLinesHoldingItsText) {
    const char* lines[] = {
        "2026/12/07 4:00:00 [Start]  [Manual]", "2026/12/07 4:00:01 [Fail] 作業PC [WakeOnLan]",
        "2026/12/07 4:00:02 [Success]  [Manual]", "2026/12/07 4:00:03 [Fail] 作業PC [WakeOnLan]"};
    for (const char* l : lines) append(l);
    open();
    window->filter_txt->setText(QStringLiteral("[fail]"));
    EXPECT_EQ(shownText(*window), QString::fromUtf8(lines[1]) + "\n" + QString::fromUtf8(lines[3]));
    EXPECT_TRUE(window->status_lbl->text().endsWith(QStringLiteral("（2 / 4 行）")));
    append("2026/12/07 4:00:04 [Success]  [Timer]");
    append("2026/12/07 4:00:05 [Fail] 作業PC [WakeOnLan]");
    EXPECT_TRUE(shows(QString::fromUtf8(lines[1]) + "\n" + QString::fromUtf8(lines[3]) + "\n" +
                      QStringLiteral("2026/12/07 4:00:05 [Fail] 作業PC [WakeOnLan]")));
    window->filter_txt->clear();
    EXPECT_EQ(shownText(*window).count('\n'), 5);
}

TEST_F(Viewer, FollowsTheFileThroughAppendClearReplaceAndRemoval) {
    open();
    EXPECT_EQ(window->status_lbl->text(),
              QStringLiteral("履歴ファイルはまだありません：") + QString::fromStdString(path));
    append("2026/12/07 4:00:00 [Start]  [Timer]");
    ASSERT_TRUE(shows(QStringLiteral("2026/12/07 4:00:00 [Start]  [Timer]")));
    append("2026/12/07 4:00:09 [Success]  [Timer]");
    EXPECT_TRUE(
        shows(QStringLiteral("2026/12/07 4:00:00 [Start]  [Timer]\n"
                             "2026/12/07 4:00:09 [Success]  [Timer]")));
    writeFile(path, "\r\n");  // as clearing the history leaves it
    EXPECT_TRUE(shows(QString()));
    append("2026/12/07 5:00:00 [Start]  [Manual]");
    EXPECT_TRUE(shows(QStringLiteral("\n2026/12/07 5:00:00 [Start]  [Manual]")));
    writeFile(path + ".new", "replaced\r\n");
    std::filesystem::rename(path + ".new", path);
    EXPECT_TRUE(shows(QStringLiteral("replaced")));
    append("after the replacement");
    EXPECT_TRUE(shows(QStringLiteral("replaced\nafter the replacement")));
    std::filesystem::remove(path);
    EXPECT_TRUE(shows(QString()));
    EXPECT_TRUE(
        window->status_lbl->text().startsWith(QStringLiteral("履歴ファイルはまだありません")));
}

TEST_F(Viewer, TheEditorButtonHandsTheFileOnAndEscapeCloses) {
    writeFile(path, "x\r\n");
    open();
    window->edit_bt->click();
    EXPECT_EQ(editorOpened, 1);
    window->filter_txt->setFocus();
    QTest::keyClick(window->filter_txt, Qt::Key_Escape);
    EXPECT_TRUE(window.isNull() || !window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull()) << "a closed viewer is deleted";
}

}  // namespace
}  // namespace vornel
