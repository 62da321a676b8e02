// The program's own windows and menus: splash, About, the help file, its reader and the help
// window, and the tray menus with the icon events and the tray members of the utility class.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "app/about_window.h"
#include "app/help/chm_archive.h"
#include "app/help/help_contents.h"
#include "app/help/help_viewer.h"
#include "app/platform/qt_backend.h"
#include "app/shell/splash_window.h"
#include "app/shell/tray_menus.h"
#include "common/kvcmn15.h"
#include "qt_printers.h"
#include "support/fake_backend.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

void expectCentred(const QWidget& w) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = w.frameGeometry();
    EXPECT_EQ(frame.top(), screen.height() / 2 - frame.height() / 2);
    EXPECT_EQ(frame.left(), screen.width() / 2 - frame.width() / 2);
}

TEST(Splash, ShowsProductNameWithBlanksAndTheLogoCentred) {
    frmSplash splash(QStringLiteral("Ver1.10"));
    splash.show();
    EXPECT_EQ(splash.lblProductName->text(), QStringLiteral(" Vornelnet Ver1.10 "));
    ASSERT_FALSE(splash.imgLogo->pixmap().isNull()) << "the logo must render (SVG plugin)";
    expectCentred(splash);
}

TEST(About, ShowsTheIconCentredAndOkOrEscapeClosesAndFreesIt) {
    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Escape" : "OK");
        QPointer<frmAbout> about = new frmAbout(QStringLiteral("Ver1.10"));
        about->show();
        about->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(about));
        EXPECT_FALSE(about->picIcon->pixmap().isNull());
        expectCentred(*about);
        if (byEscape) {
            QTest::keyClick(about, Qt::Key_Escape);
        } else {
            QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(about.isNull());
    }
}

const QString kHelpFile = QStringLiteral(VORNEL_SOURCE_DIR "/help/Vornel_Net1.chm");

TEST(HelpFile, CommittedFileOpensOnItsContentsAndHoldsEveryPage) {
    auto chm = ChmArchive::open(kHelpFile);
    ASSERT_TRUE(chm) << "help/Vornel_Net1.chm must be a readable help file";
    EXPECT_EQ(chm->defaultTopic(), QStringLiteral("/index.html"));
    EXPECT_EQ(chm->title(), QStringLiteral("Vornelnet ヘルプ"));
    EXPECT_FALSE(chm->read(QStringLiteral("/missing.html")));
    const auto toc = chm->read(chm->contentsFile());
    ASSERT_TRUE(toc);
    const std::vector<HelpTopic> topics = parseHelpContents(*toc);
    EXPECT_GE(topics.size(), 9u);
    for (const HelpTopic& t : topics) EXPECT_TRUE(chm->read(t.local)) << t.local.toStdString();
    // One page for each kind of settings tab, the tray menus and the files.
    for (const char* page : {"/folder.html", "/copy.html", "/start.html", "/history.html",
                             "/pcfunc.html", "/wol.html", "/tray.html", "/files.html"}) {
        EXPECT_TRUE(chm->read(QString::fromLatin1(page))) << page;
    }
    const auto files = QString::fromUtf8(chm->read(QStringLiteral("/files.html")).value_or(""));
    for (const char* word : {"system.dat", "history.txt", "logind"})
        EXPECT_TRUE(files.contains(QLatin1String(word))) << word;
}

TEST(HelpFile, MissingOrForeignFilesDoNotOpen) {
    test::TempDir dir;
    test::writeFile(dir / "text.chm", "not a help file at all");
    for (const std::string& path : {dir / "none.chm", dir / "text.chm", dir.str()})
        EXPECT_FALSE(ChmArchive::open(QString::fromStdString(path))) << path;
}

TEST(HelpContents, NestedListsGiveLevelsAndEntitiesAreDecoded) {
    const QByteArray sitemap = R"(<html><body><UL>
        <LI><OBJECT type="text/sitemap"><param name="Name" value="Top &amp; more">
            <param name="Local" value="a.html"></OBJECT>
        <UL><LI><object type="text/sitemap"><param name="Name" value="子"><param name="Local"
            value='b.html'></object></UL>
        <LI><OBJECT type="text/site properties"><param name="Name" value="ignored"></OBJECT>
        <LI><OBJECT type="text/sitemap"><param name="Name" value="Next"></OBJECT>
        </UL></body></html>)";
    QStringList topics;
    for (const HelpTopic& t : parseHelpContents(sitemap))
        topics << QStringLiteral("%1 %2 %3").arg(t.level).arg(t.name, t.local);
    EXPECT_EQ(topics, (QStringList{"0 Top & more a.html", "1 子 b.html", "0 Next "}));
}

// Help requests reach the viewer through the backend; a missing file fails the request (for
// the utility class to report) and opens nothing.
TEST(HelpWindow, OpensOnTheContentsAndFollowsLinksAndEntriesAndShowsImages) {
    HelpViewer viewer;
    QtBackend backend({&viewer, nullptr, {}});
    EXPECT_FALSE(backend.openHelp(0, "/nonexistent/Vornel_Net1.chm", 1, 0));
    EXPECT_EQ(viewer.window(), nullptr);
    ASSERT_TRUE(backend.openHelp(0, kHelpFile.toStdString(), 1, 0));
    HelpWindow* w = viewer.window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Vornelnet ヘルプ"));
    ASSERT_EQ(w->contents()->topLevelItemCount(), 1);
    EXPECT_GE(w->contents()->topLevelItem(0)->childCount(), 3);
    EXPECT_EQ(w->browser()->source().path(), QStringLiteral("/index.html"));
    EXPECT_TRUE(w->browser()->toPlainText().contains(QStringLiteral("Vornelnet")));
    // The style sheet of the first page is found too: headings take its colour.
    const QTextFragment heading = w->browser()->document()->begin().begin().fragment();
    EXPECT_EQ(heading.charFormat().foreground().color(), QColor(QStringLiteral("#1f4fb0")));
    const QVariant img = w->browser()->loadResource(QTextDocument::ImageResource,
                                                    QUrl(QStringLiteral("images/logo.svg")));
    EXPECT_FALSE(QImage::fromData(img.toByteArray()).isNull());

    emit w->browser()->anchorClicked(QUrl(QStringLiteral("tray.html")));
    EXPECT_EQ(w->browser()->source().path(), QStringLiteral("/tray.html"));
    EXPECT_TRUE(w->browser()->toPlainText().contains(QStringLiteral("Tamsel終了")));
    QTreeWidgetItem* entry = w->contents()->topLevelItem(0)->child(0);
    emit w->contents()->itemActivated(entry, 0);
    EXPECT_EQ(w->browser()->source().path(),
              QStringLiteral("/") + entry->data(0, Qt::UserRole).toString());

    // A second request reuses the window and goes back to the start page.
    ASSERT_TRUE(backend.openHelp(0, kHelpFile.toStdString(), 1, 0));
    EXPECT_EQ(viewer.window(), w);
    EXPECT_EQ(w->browser()->source().path(), QStringLiteral("/index.html"));
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w->browser(), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible()) << "Escape closes it";
}

// The items of a menu as "name=text" ("name" alone for a separator).
QStringList items(const QMenu& menu) {
    QStringList list;
    for (QAction* a : menu.actions())
        list << a->objectName() + (a->isSeparator() ? QString() : "=" + a->text());
    return list;
}

struct TrayMenu : ::testing::Test {
    test::FakeBackend be;
    KvCmn15 cmn{be};
    static constexpr WindowHandle kMenu = 7;
    TrayMenus tray{cmn, kMenu};
};

TEST_F(TrayMenu, MenusHoldTheirItemsInOrderWithSeparators) {
    tray.setWolCaption(1, QStringLiteral("R&D起動"));  // the user's "&" is a character
    tray.setWolCaption(5, QStringLiteral("ignored"));
    tray.setWolCaption(-1, QStringLiteral("ignored"));
    EXPECT_EQ(
        items(*tray.mnumain()),
        (QStringList{"L1", "L2", "pc_wol0=- WOL1無効 -", "pc_wol1=R&&D起動", "pc_wol2=- WOL3無効 -",
                     "pc_wol3=- WOL4無効 -", "pc_wol4=- WOL5無効 -", "L3", "mnuset=設定",
                     "History_Disp=履歴表示", "L4", "mnuend=Tamsel終了"}));
    EXPECT_EQ(items(*tray.help()), (QStringList{"help_show=ﾍﾙﾌﾟ", "about_show=About"}));
}

// A click raises the window, lets events through, then opens its menu; the other activations
// open nothing.
TEST_F(TrayMenu, AnAttachedIconOpensTheMenuOfEachPressAfterRaisingAndPumping) {
    QSystemTrayIcon icon;
    tray.attach(&icon);
    EXPECT_EQ(icon.contextMenu(), tray.help());
    QSignalSpy shown(&tray, &TrayMenus::menuShown);
    const std::pair<QSystemTrayIcon::ActivationReason, QMenu*> cases[] = {
        {QSystemTrayIcon::Trigger, tray.mnumain()}, {QSystemTrayIcon::Context, tray.help()},
        {QSystemTrayIcon::DoubleClick, nullptr},    {QSystemTrayIcon::MiddleClick, nullptr},
        {QSystemTrayIcon::Unknown, nullptr},
    };
    for (auto [reason, menu] : cases) {
        SCOPED_TRACE(reason);
        std::vector<std::string> order;
        be.raisedWindows.clear();
        be.onPump = [&](int) { order.push_back(be.raisedWindows.empty() ? "early" : "pump"); };
        emit icon.activated(reason);
        EXPECT_EQ(be.raisedWindows,
                  menu ? std::vector<WindowHandle>{kMenu} : std::vector<WindowHandle>{});
        EXPECT_EQ(order, menu ? std::vector<std::string>{"pump"} : std::vector<std::string>{})
            << "pumped before the raise";
        EXPECT_EQ(shown.isEmpty() ? nullptr : shown.takeLast().at(0).value<QMenu*>(), menu);
        EXPECT_EQ(tray.mnumain()->isVisible(), menu == tray.mnumain());
        EXPECT_EQ(tray.help()->isVisible(), menu == tray.help());
        if (menu) menu->hide();
    }
}

TEST_F(TrayMenu, HelpMenuAlreadyOpenedByTheTrayHostIsNotOpenedAgain) {
    QSignalSpy about(tray.help(), &QMenu::aboutToShow);
    tray.help()->popup(QPoint(10, 10));
    ASSERT_EQ(about.count(), 1);
    tray.iconEvent(cmn.WM_RBUTTONDOWN);
    EXPECT_EQ(about.count(), 1);
    EXPECT_TRUE(tray.help()->isVisible());
}

}  // namespace
}  // namespace vornel
