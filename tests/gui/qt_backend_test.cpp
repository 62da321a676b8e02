// The Qt backend under the offscreen platform: clock, system facts, event pumping, windows, the
// shell opener, and real message boxes and file dialogs answered by clicking.
#include "app/platform/qt_backend.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <chrono>
#include <functional>

#include "app/platform/qt_translation.h"
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
};

// One backend on the offscreen desktop, with a folder holding a Japanese-named folder and file.
class QtBackendTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("バックアップ")));
        QFile f(dir.filePath(QStringLiteral("バックアップ/記録.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // Once the dialog is up: records its title, then `act` picks a file or cancels.
    void onDialog(std::function<void(QFileDialog*)> act) {
        QTimer::singleShot(0, [this, act = std::move(act)] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            title = dialog->windowTitle();
            act(dialog);
        });
    }
    // Shows a box through `show` and, once it is up, records it and presses the button whose
    // role is `press`.
    int answerBox(QMessageBox::StandardButton press, const std::function<int()>& show) {
        QTimer::singleShot(0, [this, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = {box->windowTitle(),
                    box->text(),
                    box->textFormat(),
                    box->icon(),
                    {},
                    box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)};
            for (QAbstractButton* b : box->buttons()) seen.buttons.append(b->text());
            seen.buttons.sort();
            if (QAbstractButton* b = box->button(press)) {
                b->click();
            } else {
                box->done(-1);
            }
        });
        seen = {};
        return show();
    }
    SeenBox seen;
    QString title;
    QTemporaryDir dir;
    QtBackend backend;
    KvCmn15 k{backend};
};

TEST_F(QtBackendTest, ClockDateAndWeekdayAgree) {
    const WallClock c = backend.wallClock();
    using namespace std::chrono;
    const year_month_day ymd{year{c.year}, month{static_cast<unsigned>(c.month)},
                             day{static_cast<unsigned>(c.day)}};
    ASSERT_TRUE(ymd.ok());
    EXPECT_EQ(c.weekday, static_cast<int>(weekday{sys_days{ymd}}.c_encoding()) + 1);
    EXPECT_GE(c.secondsOfDay, 0.0);
    EXPECT_LT(c.secondsOfDay, 86400.0);
}

TEST_F(QtBackendTest, SystemIsTheKernelVersionUnnamed) {
    struct utsname u {};
    ASSERT_EQ(::uname(&u), 0);
    int major = -1, minor = -1;
    ASSERT_EQ(std::sscanf(u.release, "%d.%d", &major, &minor), 2);
    EXPECT_EQ(k.OSVerID, std::to_string(major) + "." + std::to_string(minor));
    EXPECT_EQ(k.OSPlatformID, "2");
    EXPECT_EQ(k.OSVerName, "");
}

TEST_F(QtBackendTest, PumpingRunsPendingEvents) {
    for (int maxWaitMs : {0, 5}) {
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        backend.processEvents(maxWaitMs);
        EXPECT_TRUE(ran) << maxWaitMs;
    }
}

TEST_F(QtBackendTest, TrayTipsAreShownAsPlainText) {
    QWidget owner;
    const WindowHandle h = backend.handleFor(&owner);
    const std::pair<std::string, QString> tips[] = {
        {"左-Menu:右-Help", QStringLiteral("左-Menu:右-Help")},
        {"<b>x</b>", Qt::convertFromPlainText(QStringLiteral("<b>x</b>"))},
    };
    for (const auto& [tip, shown] : tips) {
        backend.trayAdd(h, 0, tip);
        EXPECT_EQ(backend.trayIcon(h)->toolTip(), shown);
    }
    backend.trayModify(h, 0, "<img src=/tmp/x>");
    EXPECT_FALSE(backend.trayIcon(h)->toolTip().contains(QStringLiteral("<img")));
    backend.trayDelete(h);
}

TEST_F(QtBackendTest, WindowHandlesFindRaiseAndCloseTheProgramsOwnWindows) {
    auto* w = new QWidget;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(QStringLiteral("Vornelnet"));
    w->show();
    const WindowHandle h = backend.handleFor(w);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(backend.handleFor(w), h);
    EXPECT_EQ(k.Find_Window("Vornelnet"), h);
    EXPECT_EQ(k.Find_Window("vornelnet"), 0u);
    k.WindowTopMost(h);
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    k.WindowTopMostRst(h);
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(k.AppClose("Vornelnet"), -1);
    // The window is gone: its handle leads nowhere and its title is not found again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return backend.widgetFor(h) == nullptr; }, 5000));
    EXPECT_EQ(k.Find_Window("Vornelnet"), 0u);
    EXPECT_EQ(k.AppClose("Vornelnet"), 0);
}

TEST(QtBackendSound, AMachineWithoutSoundStaysQuiet) {
    // A sound card that does not exist makes every device fail to open, sound or not.
    qputenv("ALSA_CARD", "VornelNoSuchCard");
    QtBackend be;
    testing::internal::CaptureStderr();
    for (int type : {0, 16, 32, 48, 64}) be.playSystemSound(type);
    be.playSoundFile("/nonexistent/sound.wav");
    qunsetenv("ALSA_CARD");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// xdg-open is started and never waited for: a missing file or opener fails at once, and a
// tool that fails later is reported through the late-failure call.
TEST_F(QtBackendTest, ShellOpensExistingFilesWithXdgOpenAndReportsEachFailure) {
    const char* const writesItsArgument = "printf '%s' \"$1\" > \"$(dirname \"$0\")/opened\"";
    // A null script: no opener on PATH. Then whether the file exists, the opener started, and it
    // failed later.
    const std::tuple<const char*, bool, bool, bool> cases[] = {
        {writesItsArgument, true, true, false},
        {"exit 3", true, true, true},  // no tool for this kind of file
        {"exit 0", false, false, false},
        {nullptr, true, false, false},
    };
    const auto restorePath = qScopeGuard([path = qgetenv("PATH")] { qputenv("PATH", path); });
    for (const auto& [script, fileExists, started, failsLater] : cases) {
        SCOPED_TRACE(script ? script : "no opener");
        QTemporaryDir bin;  // holds a stand-in xdg-open, put first on PATH
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        ASSERT_TRUE(opener.open(QIODevice::WriteOnly));
        opener.write(QByteArray("#!/bin/sh\n") + (script ? script : "") + "\n");
        opener.close();
        opener.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        qputenv("PATH", script ? bin.path().toUtf8() + ":/usr/bin:/bin" : "/nonexistent");
        const QString file = bin.filePath(QStringLiteral("history.txt"));
        if (fileExists) QFile(file).open(QIODevice::WriteOnly);
        bool lateFailure = false;
        EXPECT_EQ(backend.shellOpen(file.toStdString(), [&] { lateFailure = true; }), started);
        ASSERT_TRUE(
            QTest::qWaitFor([] { return qApp->findChildren<QProcess*>().isEmpty(); }, 10000));
        EXPECT_EQ(lateFailure, failsLater);
        QFile opened(bin.filePath(QStringLiteral("opened")));
        const bool wrote = script == writesItsArgument;
        EXPECT_EQ(opened.open(QIODevice::ReadOnly) ? opened.readAll() : "",
                  wrote ? file.toUtf8() : "");
    }
}

// Every kind shows its lines as plain text; only an error report stays on top. The last row's
// box shows the captions of all three buttons.
TEST_F(QtBackendTest, EachBoxKindShowsPlainTextWithItsIconAndTitleAndEachButtonItsAnswer) {
    const std::tuple<const char*, QMessageBox::StandardButton, int, QMessageBox::Icon, const char*>
        clicks[] = {
            {"err", QMessageBox::Ok, 1, QMessageBox::Critical, "Error"},
            {"chk", QMessageBox::Ok, 1, QMessageBox::Question, "確認"},
            {"info", QMessageBox::Ok, 1, QMessageBox::Information, "情報"},
            {"okc", QMessageBox::Ok, 1, QMessageBox::Question, "確認"},
            {"okc", QMessageBox::Cancel, 2, QMessageBox::Question, "確認"},
            {"yn", QMessageBox::Yes, 6, QMessageBox::Question, "確認"},
            {"rc", QMessageBox::Retry, 4, QMessageBox::Question, "再試行"},
            {"ync", QMessageBox::Yes, 6, QMessageBox::Question, "確認"},
            {"ync", QMessageBox::No, 7, QMessageBox::Question, "確認"},
        };
    for (const auto& [kind, press, answer, icon, title] : clicks) {
        SCOPED_TRACE(std::string(kind) + " " + std::to_string(press));
        EXPECT_EQ(answerBox(press, [&] { return k.Msg_Box(kind, "一行目\r二行目\r\n<b>x</b>"); }),
                  answer);
        EXPECT_EQ(seen.text, QStringLiteral("一行目\n二行目\n<b>x</b>"));
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_FALSE(seen.onTop);
        EXPECT_EQ(seen.icon, icon);
        EXPECT_EQ(seen.title, QString::fromUtf8(title));
    }
    QStringList expected{"はい(&Y)", "いいえ(&N)", "キャンセル"};
    expected.sort();
    EXPECT_EQ(seen.buttons, expected);
    answerBox(QMessageBox::Ok, [&] {
        k.Err_Msg("Sysdat_read", VbError(kErrDeviceIo));
        return 0;
    });
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_TRUE(seen.onTop);
}

// At the end of the session nobody answers: the open box closes with its cancel answer, and
// every later box gets that answer without being shown.
TEST(QtBackendSessionEnd, BoxesAreAnsweredAsTheirCancelButtonWould) {
    const std::pair<const char*, int> kinds[] = {
        {"err", 1}, {"okc", 2}, {"yn", 7}, {"ync", 2}, {"rc", 2}};
    for (const auto& [kind, answer] : kinds) {
        SCOPED_TRACE(kind);
        QtBackend ending;
        KvCmn15 cmn{ending};
        bool wasOpen = false;
        QTimer::singleShot(0, [&ending, &wasOpen] { wasOpen = ending.endSession(); });
        EXPECT_EQ(cmn.Msg_Box(kind, "?"), answer);
        EXPECT_TRUE(wasOpen);
        QTimer guard;
        bool shown = false;
        QObject::connect(&guard, &QTimer::timeout, [&shown] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = true;
                box->done(-1);
            }
        });
        guard.start(0);
        EXPECT_EQ(cmn.Msg_Box(kind, "?"), answer);
        EXPECT_FALSE(shown);
    }
}

// A folder dialog starts at the given folder, or at home when it names none.
TEST_F(QtBackendTest, DialogsStartWhereToldShowTheirTitlesAndGiveTheChoiceOrNothing) {
    const std::string start = dir.path().toStdString();
    const QString folder = dir.filePath(QStringLiteral("バックアップ"));
    const QString file = folder + QStringLiteral("/記録.txt");
    QString startedAt;
    const auto accept = [&](std::function<void(QFileDialog*)> choose) {
        onDialog([&, choose](QFileDialog* d) {
            startedAt = d->directory().absolutePath();
            choose(d);
            static_cast<QDialog*>(d)->accept();  // as the dialog's own button does
        });
    };
    accept([&](QFileDialog* d) { d->selectFile(file); });
    EXPECT_EQ(k.OpenDialog(0, "Text (*.txt)", start), file.toStdString());
    EXPECT_EQ(k.OpenFileLen, static_cast<int>(std::string("記録.txt").size()));
    accept([&](QFileDialog* d) { d->setDirectory(folder); });
    EXPECT_EQ(k.FolderDialog(0, start), folder.toStdString());
    EXPECT_EQ(startedAt, dir.path());
    const std::tuple<const char*, std::function<std::string()>, QString> cancelled[] = {
        {"フォルダの選択", [&] { return k.FolderDialog(0); }, QDir::homePath()},
        {"フォルダの選択", [&] { return k.FolderDialog(0, "バックアップ"); }, QDir::homePath()},
        {"フォルダの選択", [&] { return k.FolderDialog(0, "/no/such/folder"); }, QDir::homePath()},
        {"ファイルを保存する", [&] { return k.SaveDialog(0, "", start, "a.ini"); }, dir.path()},
        {"ファイルを開く", [&] { return k.OpenDialog(0, "", start); }, dir.path()},
    };
    for (const auto& [shownTitle, show, startFolder] : cancelled) {
        SCOPED_TRACE(shownTitle);
        onDialog([&](QFileDialog* d) {
            startedAt = d->directory().absolutePath();
            d->reject();
        });
        EXPECT_EQ(show(), "");
        EXPECT_EQ(title, QString::fromUtf8(shownTitle));
        EXPECT_EQ(startedAt, startFolder);
    }
    EXPECT_EQ(k.OpenFileLen, 0);
}

TEST_F(QtBackendTest, QtsOwnDialogTextsAreJapaneseWhateverTheLocale) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_TRUE(installQtJapanese(*qApp));
    QStringList dialogTexts;
    onDialog([&](QFileDialog* d) {
        for (QLabel* l : d->findChildren<QLabel*>()) dialogTexts << l->text();
        for (QAbstractButton* b : d->findChildren<QAbstractButton*>()) dialogTexts << b->text();
        d->reject();
    });
    k.FolderDialog(0);
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QLocale::setDefault(QLocale::system());
    // "Look in:" and "Choose" of the folder dialog.
    EXPECT_TRUE(dialogTexts.contains(QStringLiteral("アドレス:")))
        << dialogTexts.join('|').toStdString();
    EXPECT_TRUE(dialogTexts.contains(QStringLiteral("選択(&C)")))
        << dialogTexts.join('|').toStdString();
}

}  // namespace
}  // namespace vornel
