// Splash and About windows.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "app/about_window.h"
#include "app/shell/splash_window.h"

namespace vornel {
namespace {

void expectCentred(const QWidget& w) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = w.frameGeometry();
    EXPECT_EQ(frame.top(), screen.height() / 2 - frame.height() / 2);
    EXPECT_EQ(frame.left(), screen.width() / 2 - frame.width() / 2);
}

TEST(Splash, ShowsProductNameWithBlanksAndPlatformsAndAnyKeyClosesIt) {
    frmSplash splash(QStringLiteral("Ver1.10"));
    splash.show();
    EXPECT_EQ(splash.lblProductName->text(), QStringLiteral(" Vornelnet Ver1.10 "));
    EXPECT_EQ(splash.lblPlatform->text(), QStringLiteral("for Win 98/Me/NT4/2000/XP/2003"));
    EXPECT_FALSE(splash.lblEdition->text().isEmpty());
    EXPECT_FALSE(splash.lblCompany->text().isEmpty());
    EXPECT_EQ(splash.windowTitle(), QStringLiteral(" "));
    ASSERT_FALSE(splash.imgLogo->pixmap().isNull()) << "the logo must render (SVG plugin)";
    expectCentred(splash);
    QTest::keyClick(&splash, Qt::Key_A);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_TRUE(splash.close()) << "closing twice does nothing";
}

TEST(About, CaptionVersionAndTextsAndOkClosesAndFreesIt) {
    QPointer<frmAbout> about = new frmAbout(QStringLiteral("Ver1.10"));
    about->show();
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Vornelのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about->lblTitle->text(), QStringLiteral("Vornelnet"));
    EXPECT_EQ(about->lbl_ver->text(), QStringLiteral("Ver1.10"));
    EXPECT_EQ(about->lblPlatform->text(), QStringLiteral("for Win98/Me/NT4/2000/XP/2003"));
    EXPECT_EQ(about->lblDescription->text(),
              QStringLiteral("ファイルバックアップユーティリティー"));
    EXPECT_EQ(about->cmdOK->text(), QStringLiteral("OK"));
    EXPECT_FALSE(about->picIcon->pixmap().isNull());
    expectCentred(*about);
    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());

    about = new frmAbout(QStringLiteral("Ver1.10"));
    about->show();
    about->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    QTest::keyClick(about, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull()) << "Escape closes it too";
}

}  // namespace
}  // namespace vornel
