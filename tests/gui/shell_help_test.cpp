// The help file, its reader and the help window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>

#include "app/chm_archive.h"
#include "app/help_contents.h"
#include "app/help_viewer.h"
#include "app/platform/qt_backend.h"
#include "common/kvcmn15.h"
#include "support/temp_dir.h"

namespace vornel {
namespace {

const QString kHelpFile = QStringLiteral(VORNEL_SOURCE_DIR "/help/Vornel_Net1.chm");

TEST(HelpFile, CommittedFileOpensOnItsContents) {
    auto chm = ChmArchive::open(kHelpFile);
    ASSERT_TRUE(chm) << "help/Vornel_Net1.chm must be a readable help file";
    EXPECT_EQ(chm->defaultTopic(), QStringLiteral("/index.html"));
    EXPECT_EQ(chm->contentsFile(), QStringLiteral("/toc.hhc"));
    EXPECT_EQ(chm->title(), QStringLiteral("Vornelnet ヘルプ"));
    const auto index = chm->read(QStringLiteral("/index.html"));
    ASSERT_TRUE(index);
    EXPECT_TRUE(
        QString::fromUtf8(*index).contains(QStringLiteral("ファイルバックアップユーティリティー")));
    EXPECT_FALSE(chm->read(QStringLiteral("/missing.html")));
}

TEST(HelpFile, EveryContentsEntryAndEveryLinkedPageIsInTheFile) {
    auto chm = ChmArchive::open(kHelpFile);
    ASSERT_TRUE(chm);
    const auto toc = chm->read(chm->contentsFile());
    ASSERT_TRUE(toc);
    const std::vector<HelpTopic> topics = parseHelpContents(*toc);
    ASSERT_GE(topics.size(), 9u);
    for (const HelpTopic& t : topics) {
        EXPECT_TRUE(chm->read(t.local)) << t.local.toStdString();
    }
    // One page for each kind of settings tab, the tray menus and the files.
    for (const char* page : {"/folder.html", "/copy.html", "/start.html", "/history.html",
                             "/pcfunc.html", "/wol.html", "/tray.html", "/files.html"}) {
        EXPECT_TRUE(chm->read(QString::fromLatin1(page))) << page;
    }
    const auto files = QString::fromUtf8(*chm->read(QStringLiteral("/files.html")));
    EXPECT_TRUE(files.contains(QStringLiteral("system.dat")));
    EXPECT_TRUE(files.contains(QStringLiteral("history.txt")));
    EXPECT_TRUE(files.contains(QStringLiteral("logind")));
}

TEST(HelpFile, MissingOrForeignFilesDoNotOpen) {
    test::TempDir dir;
    EXPECT_FALSE(ChmArchive::open(QString::fromStdString(dir / "none.chm")));
    test::writeFile(dir / "text.chm", "not a help file at all");
    EXPECT_FALSE(ChmArchive::open(QString::fromStdString(dir / "text.chm")));
    EXPECT_FALSE(ChmArchive::open(QString::fromStdString(dir.str())));
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
    const std::vector<HelpTopic> topics = parseHelpContents(sitemap);
    ASSERT_EQ(topics.size(), 3u);
    EXPECT_EQ(topics[0].name, QStringLiteral("Top & more"));
    EXPECT_EQ(topics[0].local, QStringLiteral("a.html"));
    EXPECT_EQ(topics[0].level, 0);
    EXPECT_EQ(topics[1].name, QStringLiteral("子"));
    EXPECT_EQ(topics[1].local, QStringLiteral("b.html"));
    EXPECT_EQ(topics[1].level, 1);
    EXPECT_EQ(topics[2].name, QStringLiteral("Next"));
    EXPECT_TRUE(topics[2].local.isEmpty());
    EXPECT_EQ(topics[2].level, 0);
}

TEST(HelpWindow, OpensOnTheContentsAndFollowsLinksAndShowsImages) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.open(nullptr, kHelpFile.toStdString(), 1, 0));
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

    // A second request reuses the window and goes back to the start page.
    ASSERT_TRUE(viewer.open(nullptr, kHelpFile.toStdString(), 1, 0));
    EXPECT_EQ(viewer.window(), w);
    EXPECT_EQ(w->browser()->source().path(), QStringLiteral("/index.html"));
    w->close();
}

TEST(HelpWindow, ContentsEntryOpensItsPage) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.open(nullptr, kHelpFile.toStdString(), 1, 0));
    HelpWindow* w = viewer.window();
    QTreeWidgetItem* first = w->contents()->topLevelItem(0)->child(0);
    ASSERT_NE(first, nullptr);
    emit w->contents()->itemActivated(first, 0);
    EXPECT_EQ(w->browser()->source().path(),
              QStringLiteral("/") + first->data(0, Qt::UserRole).toString());
    w->close();
}

// The real message box: a missing help file is reported by the utility class.
TEST(HelpWindow, MissingFileIsReportedWithTheProgramsMessage) {
    QtBackend backend;
    HelpViewer viewer;
    backend.helpOpener = [&viewer](QWidget* owner, const std::string& f, int c, int x) {
        return viewer.open(owner, f, c, x);
    };
    KvCmn15 cmn(backend);
    std::string msg;
    cmn.bindMessageText(&msg);
    QString seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(cmn.HtmlHelp_open(0, "/nonexistent/Vornel_Net1.chm", cmn.HH_DISPLAY_TREE, 0),
              KvCmn15::kFalse);
    EXPECT_EQ(seen,
              QStringLiteral("Help File = /nonexistent/Vornel_Net1.chm を開けませんでした！"));
    EXPECT_EQ(viewer.window(), nullptr);
}

}  // namespace
}  // namespace vornel
