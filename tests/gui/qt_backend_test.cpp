// The Qt backend's clock, system facts, event pumping, windows and shell opener.
#include "app/platform/qt_backend.h"

#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

#include "common/kvcmn15.h"
#include "qt_printers.h"

namespace vornel {
namespace {

TEST(QtBackendClock, DateAndWeekdayAgree) {
    QtBackend be;
    const WallClock c = be.wallClock();
    using namespace std::chrono;
    const year_month_day ymd{year{c.year}, month{static_cast<unsigned>(c.month)},
                             day{static_cast<unsigned>(c.day)}};
    ASSERT_TRUE(ymd.ok());
    EXPECT_EQ(c.weekday, static_cast<int>(weekday{sys_days{ymd}}.c_encoding()) + 1);
    EXPECT_GE(c.secondsOfDay, 0.0);
    EXPECT_LT(c.secondsOfDay, 86400.0);
    const double m0 = be.monotonicSeconds();
    EXPECT_GE(be.monotonicSeconds(), m0);
}

TEST(QtBackendSystem, ReportsTheKernelVersionUnnamed) {
    QtBackend be;
    KvCmn15 k(be);
    struct utsname u {};
    ASSERT_EQ(::uname(&u), 0);
    int major = -1, minor = -1;
    ASSERT_EQ(std::sscanf(u.release, "%d.%d", &major, &minor), 2);
    EXPECT_EQ(k.OSVerID, std::to_string(major) + "." + std::to_string(minor));
    EXPECT_EQ(k.OSPlatformID, "2");
    EXPECT_EQ(k.OSVerName, "");
}

TEST(QtBackendEvents, PumpingRunsPendingEvents) {
    QtBackend be;
    for (int maxWaitMs : {0, 5}) {
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        be.processEvents(maxWaitMs);
        EXPECT_TRUE(ran) << maxWaitMs;
    }
}

TEST(QtBackendWindows, HandlesFindRaiseAndCloseTheProgramsOwnWindows) {
    QtBackend be;
    KvCmn15 k(be);
    auto* w = new QWidget;
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(QStringLiteral("Vornelnet"));
    w->show();
    const WindowHandle h = be.handleFor(w);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(be.handleFor(w), h);
    EXPECT_EQ(be.widgetFor(h), w);
    EXPECT_EQ(k.Find_Window("Vornelnet"), h);
    EXPECT_EQ(k.Find_Window("vornelnet"), 0u);
    k.WindowTopMost(h);
    EXPECT_TRUE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    k.WindowTopMostRst(h);
    EXPECT_FALSE(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(k.AppClose("Vornelnet"), -1);
    // The window is gone: its handle leads nowhere and its title is not found again.
    EXPECT_TRUE(QTest::qWaitFor([&] { return be.widgetFor(h) == nullptr; }, 5000));
    EXPECT_EQ(k.Find_Window("Vornelnet"), 0u);
    EXPECT_EQ(k.AppClose("Vornelnet"), 0);
}

// Puts a stand-in xdg-open first on PATH for the life of the object.
class FakeOpener {
  public:
    explicit FakeOpener(const QString& script) : oldPath_(qgetenv("PATH")) {
        QFile f(dir_.filePath(QStringLiteral("xdg-open")));
        f.open(QIODevice::WriteOnly);
        f.write(("#!/bin/sh\n" + script + "\n").toUtf8());
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("PATH", dir_.path().toUtf8() + ":/usr/bin:/bin");
    }
    ~FakeOpener() { qputenv("PATH", oldPath_); }
    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

  private:
    QTemporaryDir dir_;
    QByteArray oldPath_;
};

bool noOpenerRunning() { return qApp->findChildren<QProcess*>().isEmpty(); }

TEST(QtBackendShell, OpensAnExistingFileWithXdgOpen) {
    FakeOpener opener(QStringLiteral("printf '%s' \"$1\" > \"$(dirname \"$0\")/opened\""));
    QtBackend be;
    const std::string file = opener.path("history.txt").toStdString();
    QFile(opener.path("history.txt")).open(QIODevice::WriteOnly);
    bool lateFailure = false;
    EXPECT_TRUE(be.shellOpen(file, [&] { lateFailure = true; }));
    ASSERT_TRUE(QTest::qWaitFor(noOpenerRunning, 10000));
    QFile opened(opener.path("opened"));
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().toStdString(), file);
    EXPECT_FALSE(lateFailure);
}

TEST(QtBackendShell, AnOpenerThatFailsLaterIsReported) {
    FakeOpener opener(QStringLiteral("exit 3"));  // no tool for this kind of file
    QtBackend be;
    QFile(opener.path("a.txt")).open(QIODevice::WriteOnly);
    bool lateFailure = false;
    EXPECT_TRUE(be.shellOpen(opener.path("a.txt").toStdString(), [&] { lateFailure = true; }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return lateFailure; }, 10000));
}

TEST(QtBackendShell, AMissingFileOrOpenerFailsAtOnce) {
    FakeOpener opener(QStringLiteral("exit 0"));
    QtBackend be;
    EXPECT_FALSE(be.shellOpen(opener.path("missing.txt").toStdString(), nullptr));
    QFile(opener.path("a.txt")).open(QIODevice::WriteOnly);
    QFile::remove(opener.path("xdg-open"));
    qputenv("PATH", opener.path("").toUtf8());
    EXPECT_FALSE(be.shellOpen(opener.path("a.txt").toStdString(), nullptr));
    EXPECT_TRUE(QTest::qWaitFor(noOpenerRunning, 5000));
}

}  // namespace
}  // namespace vornel
