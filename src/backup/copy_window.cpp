#include "backup/copy_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace vornel {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// A value label: a long path must not widen the window, and the user may copy it.
QLabel* makeValue(QWidget* parent, const char* name) {
    QLabel* label = makeLabel(parent, name);
    label->setMinimumWidth(360);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

CopyWindow::CopyWindow(Module1& m, QWidget* parent) : QWidget(parent, Qt::Window), m_(m) {
    setObjectName("copydlg");
    setWindowTitle(QStringLiteral("Tamsel  バックアップ中 ．．．"));

    srcfld = makeValue(this, "srcfld");
    dstfld = makeValue(this, "dstfld");
    subfld = makeValue(this, "subfld");
    cpfname = makeValue(this, "cpfname");
    filesize = makeValue(this, "filesize");
    copyccl_bt = new QPushButton(QStringLiteral("中　止"), this);
    copyccl_bt->setObjectName("copyccl_bt");
    connect(copyccl_bt, &QPushButton::clicked, this, &CopyWindow::copyccl_bt_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(this, "srcfld_lbl", QStringLiteral("コピー元フォルダ")));
    layout->addWidget(srcfld);
    layout->addWidget(makeLabel(this, "dstfld_lbl", QStringLiteral("コピー先フォルダ")));
    layout->addWidget(dstfld);
    layout->addWidget(makeLabel(this, "subfld_lbl", QStringLiteral("<サブフォルダ>")));
    layout->addWidget(subfld);
    auto* file = new QGridLayout;
    file->addWidget(makeLabel(this, "cpinfo_lvl", QStringLiteral("ファイル名")), 0, 0);
    file->addWidget(cpfname, 0, 1);
    file->addWidget(makeLabel(this, "filesize_lbl", QStringLiteral("ファイルサイズ")), 1, 0);
    file->addWidget(filesize, 1, 1);
    file->setColumnStretch(1, 1);
    layout->addLayout(file);
    layout->addWidget(copyccl_bt, 0, Qt::AlignHCenter);
}

void CopyWindow::showWindow() {
    if (!placed_) {
        centreOnScreen();
        placed_ = true;
    }
    show();
    raise();
}

void CopyWindow::hideWindow() { hide(); }

void CopyWindow::set_srcfld(const std::string& text) {
    srcfld->setText(QString::fromStdString(text));
}
void CopyWindow::set_dstfld(const std::string& text) {
    dstfld->setText(QString::fromStdString(text));
}
void CopyWindow::set_subfld(const std::string& text) {
    subfld->setText(QString::fromStdString(text));
}
void CopyWindow::set_cpfname(const std::string& text) {
    cpfname->setText(QString::fromStdString(text));
}
void CopyWindow::set_filesize(const std::string& text) {
    filesize->setText(QString::fromStdString(text));
}

void CopyWindow::copyccl_bt_Click() { m_.Cancel_flg = 1; }

void CopyWindow::closeEvent(QCloseEvent* event) {
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    event->ignore();
    copyccl_bt_Click();
}

void CopyWindow::centreOnScreen() {
    adjustSize();
    const QScreen* s = screen();
    if (!s) return;
    const QRect area = s->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

}  // namespace vornel
