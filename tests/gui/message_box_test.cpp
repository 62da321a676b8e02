// Real message boxes of the Qt backend under the offscreen platform, answered by clicking.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "app/platform/qt_backend.h"
#include "common/kvcmn15.h"
#include "qt_printers.h"

namespace vornel {
namespace {

struct SeenBox {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;  // captions, sorted
    bool onTop = false;
    bool found = false;
};

class MessageBoxTest : public ::testing::Test {
  protected:
    // Shows a box through `show` and, once it is up, records it and presses the button whose
    // role is `press` (or Escape when `press` is NoButton).
    int answerBox(QMessageBox::StandardButton press, const std::function<int()>& show) {
        QTimer::singleShot(0, [this, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = {box->windowTitle(),
                    box->text(),
                    box->textFormat(),
                    box->icon(),
                    {},
                    box->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                    true};
            for (QAbstractButton* b : box->buttons()) seen.buttons.append(b->text());
            seen.buttons.sort();
            if (press == QMessageBox::NoButton) {
                box->reject();
            } else if (QAbstractButton* b = box->button(press)) {
                b->click();
            } else {
                box->done(-1);
            }
        });
        seen = {};
        return show();
    }
    SeenBox seen;
    QtBackend backend;
    KvCmn15 k{backend};
};

TEST_F(MessageBoxTest, ShowsTheLinesAsPlainTextWithTheKindsButtons) {
    const int answer = answerBox(
        QMessageBox::No, [&] { return k.Msg_Box(k.KindYnc, "一行目\r二行目\r\n三行目 <b>x</b>"); });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(seen.text, QStringLiteral("一行目\n二行目\n三行目 <b>x</b>"));
    EXPECT_EQ(seen.format, Qt::PlainText);
    QStringList expected{"はい(&Y)", "いいえ(&N)", "キャンセル"};
    expected.sort();
    EXPECT_EQ(seen.buttons, expected);
    EXPECT_FALSE(seen.onTop);
}

TEST_F(MessageBoxTest, EachKindHasItsIconAndTitleAndEachButtonItsAnswer) {
    struct Click {
        const char* kind;
        QMessageBox::StandardButton press;  // NoButton: Escape
        int answer;
        QMessageBox::Icon icon;
        const char* title;
    };
    const Click clicks[] = {
        {"err", QMessageBox::Ok, 1, QMessageBox::Critical, "Error"},
        {"chk", QMessageBox::Ok, 1, QMessageBox::Question, "確認"},
        {"info", QMessageBox::Ok, 1, QMessageBox::Information, "情報"},
        {"info", QMessageBox::NoButton, 1, QMessageBox::Information, "情報"},
        {"okc", QMessageBox::Ok, 1, QMessageBox::Question, "確認"},
        {"okc", QMessageBox::Cancel, 2, QMessageBox::Question, "確認"},
        {"okc", QMessageBox::NoButton, 2, QMessageBox::Question, "確認"},
        {"yn", QMessageBox::Yes, 6, QMessageBox::Question, "確認"},
        {"yn", QMessageBox::No, 7, QMessageBox::Question, "確認"},
        {"ync", QMessageBox::Yes, 6, QMessageBox::Question, "確認"},
        {"ync", QMessageBox::Cancel, 2, QMessageBox::Question, "確認"},
        {"rc", QMessageBox::Retry, 4, QMessageBox::Question, "再試行"},
        {"rc", QMessageBox::Cancel, 2, QMessageBox::Question, "再試行"},
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(std::string(c.kind) + " " + std::to_string(c.press));
        EXPECT_EQ(answerBox(c.press, [&] { return k.Msg_Box(c.kind, "?"); }), c.answer);
        EXPECT_TRUE(seen.found);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.title, QString::fromUtf8(c.title));
    }
}

TEST_F(MessageBoxTest, ErrorReportStaysOnTopWithTheStopIcon) {
    answerBox(QMessageBox::Ok, [&] {
        k.Err_Msg("Sysdat_read", VbError(kErrDeviceIo));
        return 0;
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, QStringLiteral("予期せぬエラー"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_TRUE(seen.onTop);
    EXPECT_EQ(
        seen.text,
        QStringLiteral("エラー番号57 デバイス I/O エラーです。\n\nプロシージャ名 = [Sysdat_read]"));
    EXPECT_EQ(seen.buttons, QStringList({"OK"}));
}

}  // namespace
}  // namespace vornel
