#include "app/pages/folder_pair_page.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/pages/control_naming.h"

namespace vornel {

FolderPairPage::FolderPairPage(int k, QWidget* parent) : SettingsPage(parent), k_(k) {
    const QString pair = QStringLiteral("フォルダ設定%1 ").arg(k + 1);
    auto* srcLabel = new QLabel(QStringLiteral("コピー元フォルダ"), this);
    auto* dstLabel = new QLabel(QStringLiteral("コピー先フォルダ"), this);
    srcfld_txt = controlNamed(new QLineEdit(this), QStringLiteral("srcfld_txt"), k,
                              pair + QStringLiteral("コピー元フォルダ"));
    dstfld_txt = controlNamed(new QLineEdit(this), QStringLiteral("dstfld_txt"), k,
                              pair + QStringLiteral("コピー先フォルダ"));
    srcLabel->setBuddy(srcfld_txt);
    dstLabel->setBuddy(dstfld_txt);
    refsrc_src =
        controlNamed(new QPushButton(QStringLiteral("参照"), this), QStringLiteral("refsrc_bt"),
                     2 * k, pair + QStringLiteral("コピー元フォルダの参照"));
    refsrc_dst =
        controlNamed(new QPushButton(QStringLiteral("参照"), this), QStringLiteral("refsrc_bt"),
                     2 * k + 1, pair + QStringLiteral("コピー先フォルダの参照"));
    subfld_chk = controlNamed(new QCheckBox(QStringLiteral("サブフォルダもコピーする"), this),
                              QStringLiteral("subfld_chk"), k,
                              pair + QStringLiteral("サブフォルダもコピーする"));
    skip_chk = controlNamed(new QCheckBox(QStringLiteral("この設定をスキップする"), this),
                            QStringLiteral("skip_chk"), k,
                            pair + QStringLiteral("この設定をスキップする"));
    set_clr_bt = controlNamed(new QPushButton(QStringLiteral("設定ｸﾘｱ"), this),
                              QStringLiteral("set_clr_bt"), k, pair + QStringLiteral("設定ｸﾘｱ"));

    auto* grid = new QGridLayout;
    grid->addWidget(srcLabel, 0, 0, 1, 2);
    grid->addWidget(srcfld_txt, 1, 0);
    grid->addWidget(refsrc_src, 1, 1);
    grid->addWidget(dstLabel, 2, 0, 1, 2);
    grid->addWidget(dstfld_txt, 3, 0);
    grid->addWidget(refsrc_dst, 3, 1);
    grid->setVerticalSpacing(6);

    auto* options = new QHBoxLayout;
    options->addWidget(subfld_chk);
    options->addSpacing(24);
    options->addWidget(skip_chk);
    options->addStretch();
    options->addWidget(set_clr_bt);

    tabOrder({srcfld_txt, refsrc_src, dstfld_txt, refsrc_dst, subfld_chk, skip_chk, set_clr_bt});

    auto* top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addSpacing(16);
    top->addLayout(options);
    top->addStretch();

    watchText(srcfld_txt);
    watchText(dstfld_txt);
    watchCheck(subfld_chk);
    watchCheck(skip_chk);
    connect(refsrc_src, &QPushButton::clicked, this, [this] { emit browseRequested(2 * k_); });
    connect(refsrc_dst, &QPushButton::clicked, this, [this] { emit browseRequested(2 * k_ + 1); });
    connect(set_clr_bt, &QPushButton::clicked, this, &FolderPairPage::set_clr_bt_Click);
}

void FolderPairPage::set_clr_bt_Click() {
    srcfld_txt->setText(QString());
    dstfld_txt->setText(QString());
    subfld_chk->setCheckState(Qt::Unchecked);
    skip_chk->setCheckState(Qt::Unchecked);
}

}  // namespace vornel
