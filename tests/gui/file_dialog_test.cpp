// The Qt backend's file and folder dialogs under the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "app/platform/qt_backend.h"
#include "common/kvcmn15.h"
#include "qt_printers.h"

namespace vornel {
namespace {

// Once the dialog is up: records its title, then `act` picks a file or cancels.
void onDialog(QString& title, std::function<void(QFileDialog*)> act) {
    QTimer::singleShot(0, [&title, act = std::move(act)] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        title = dialog->windowTitle();
        act(dialog);
    });
}

class FileDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("バックアップ")));
        QFile f(dir.filePath(QStringLiteral("バックアップ/記録.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir;
    QtBackend backend;
    KvCmn15 k{backend};
};

TEST_F(FileDialogTest, OpenDialogGivesThePathAndTheFileNameLength) {
    const QString file = dir.filePath(QStringLiteral("バックアップ/記録.txt"));
    QString title;
    onDialog(title, [&](QFileDialog* d) {
        d->selectFile(file);
        static_cast<QDialog*>(d)->accept();  // as the dialog's own button does
    });
    const std::string path = k.OpenDialog(0, "Text (*.txt)", dir.path().toStdString());
    EXPECT_EQ(path, file.toStdString());
    EXPECT_EQ(title, QStringLiteral("ファイルを開く"));
    EXPECT_EQ(k.OpenFileLen, static_cast<int>(std::string("記録.txt").size()));
}

TEST_F(FileDialogTest, CancelledDialogsGiveEmptyText) {
    QString title;
    onDialog(title, [](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(k.OpenDialog(0, "", dir.path().toStdString()), "");
    EXPECT_EQ(k.OpenFileLen, 0);
    onDialog(title, [](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(k.SaveDialog(0, "", dir.path().toStdString(), "a.ini"), "");
    EXPECT_EQ(title, QStringLiteral("ファイルを保存する"));
    onDialog(title, [](QFileDialog* d) { d->reject(); });
    EXPECT_EQ(k.FolderDialog(0), "");
    EXPECT_EQ(title, QStringLiteral("フォルダの選択"));
}

TEST_F(FileDialogTest, FolderDialogGivesTheChosenFolder) {
    const QString folder = dir.filePath(QStringLiteral("バックアップ"));
    QString title;
    onDialog(title, [&](QFileDialog* d) {
        d->setDirectory(folder);
        static_cast<QDialog*>(d)->accept();  // as the dialog's own button does
    });
    EXPECT_EQ(k.FolderDialog(0), folder.toStdString());
}

}  // namespace
}  // namespace vornel
