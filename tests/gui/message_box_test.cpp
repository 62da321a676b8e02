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
    QStringList buttons;  // captions, in the box's order
    bool onTop = false;
    bool found = false;
};

// Shows a box through `show` and, once it is up, records it and presses the button whose
// role is `press` (or Escape when `press` is NoButton).
int answerBox(SeenBox& seen, QMessageBox::StandardButton press, const std::function<int()>& show) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.format = box->textFormat();
        seen.icon = box->icon();
        seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
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
    return show();
}

class MessageBoxTest : public ::testing::Test {
  protected:
    QtBackend backend;
    KvCmn15 k{backend};
};

TEST_F(MessageBoxTest, ShowsTitleIconButtonsAndLinesOfTheKind) {
    SeenBox seen;
    const int answer = answerBox(seen, QMessageBox::No, [&] {
        return k.Msg_Box(k.KindYnc, "一行目\r二行目\r\n三行目 <b>x</b>");
    });
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(answer, 7);
    EXPECT_EQ(seen.title, QStringLiteral("確認"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.text, QStringLiteral("一行目\n二行目\n三行目 <b>x</b>"));
    EXPECT_EQ(seen.format, Qt::PlainText);
    QStringList expected{"はい(&Y)", "いいえ(&N)", "キャンセル"};
    expected.sort();
    EXPECT_EQ(seen.buttons, expected);
    EXPECT_FALSE(seen.onTop);
}

struct Click {
    const char* kind;
    QMessageBox::StandardButton press;
    int answer;
};

TEST_F(MessageBoxTest, EachButtonGivesItsAnswerCode) {
    const Click clicks[] = {
        {"err", QMessageBox::Ok, 1},     {"chk", QMessageBox::Ok, 1},
        {"info", QMessageBox::Ok, 1},    {"okc", QMessageBox::Ok, 1},
        {"okc", QMessageBox::Cancel, 2}, {"yn", QMessageBox::Yes, 6},
        {"yn", QMessageBox::No, 7},      {"ync", QMessageBox::Yes, 6},
        {"ync", QMessageBox::Cancel, 2}, {"rc", QMessageBox::Retry, 4},
        {"rc", QMessageBox::Cancel, 2},
    };
    for (const Click& c : clicks) {
        SeenBox seen;
        EXPECT_EQ(answerBox(seen, c.press, [&] { return k.Msg_Box(c.kind, "?"); }), c.answer)
            << c.kind << " " << c.press;
        EXPECT_TRUE(seen.found);
    }
}

TEST_F(MessageBoxTest, IconsAndTitlesFollowTheKind) {
    const std::tuple<const char*, QMessageBox::Icon, const char*> kinds[] = {
        {"err", QMessageBox::Critical, "Error"},
        {"info", QMessageBox::Information, "情報"},
        {"rc", QMessageBox::Question, "再試行"},
    };
    for (const auto& [kind, icon, title] : kinds) {
        SeenBox seen;
        answerBox(seen, QMessageBox::Cancel, [&] { return k.Msg_Box(kind, "?"); });
        ASSERT_TRUE(seen.found) << kind;
        EXPECT_EQ(seen.icon, icon) << kind;
        EXPECT_EQ(seen.title, QString::fromUtf8(title)) << kind;
    }
}

TEST_F(MessageBoxTest, EscapeGivesCancelWhereThereIsOne) {
    SeenBox seen;
    EXPECT_EQ(answerBox(seen, QMessageBox::NoButton, [&] { return k.Msg_Box(k.KindOkc, "?"); }), 2);
    SeenBox single;
    EXPECT_EQ(answerBox(single, QMessageBox::NoButton, [&] { return k.Msg_Box(k.KindInfo, "?"); }),
              1);
}

TEST_F(MessageBoxTest, ErrorReportStaysOnTopWithTheStopIcon) {
    SeenBox seen;
    answerBox(seen, QMessageBox::Ok, [&] {
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
