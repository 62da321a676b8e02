#include "app/pages/pc_functions_page.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/pages/control_naming.h"
#include "app/pages/typed_combo.h"

namespace vornel {
namespace {

QLineEdit* timeBox(QWidget* parent, const QString& name, const QString& accessible) {
    auto* box = designNamed(new QLineEdit(parent), name, -1, accessible);
    box->setFixedWidth(56);
    return box;
}

}  // namespace

PcFunctionsPage::PcFunctionsPage(QWidget* parent) : QWidget(parent) {
    const QString asdName = QStringLiteral("自動PCｼｬｯﾄﾀﾞｳﾝ");
    auto* asdFrame = new QGroupBox(asdName, this);
    asd_chk = designNamed(new QCheckBox(QStringLiteral("有効"), asdFrame),
                          QStringLiteral("asd_chk"), -1, asdName + QStringLiteral(" 有効"));
    asd_hour_txt =
        timeBox(asdFrame, QStringLiteral("asd_hour_txt"), asdName + QStringLiteral(" 時"));
    asd_min_txt = timeBox(asdFrame, QStringLiteral("asd_min_txt"), asdName + QStringLiteral(" 分"));
    asd_lbl[0] = designNamed(new QLabel(QStringLiteral("時"), asdFrame), QStringLiteral("asd_lbl"),
                             0, QStringLiteral("時"));
    asd_lbl[1] = designNamed(new QLabel(QStringLiteral("分"), asdFrame), QStringLiteral("asd_lbl"),
                             1, QStringLiteral("分"));
    auto* asdLayout = new QHBoxLayout(asdFrame);
    asdLayout->addWidget(asd_chk);
    asdLayout->addSpacing(24);
    asdLayout->addWidget(asd_hour_txt);
    asdLayout->addWidget(asd_lbl[0]);
    asdLayout->addWidget(asd_min_txt);
    asdLayout->addWidget(asd_lbl[1]);
    asdLayout->addStretch();

    const QString arbName = QStringLiteral("自動PC再起動");
    auto* arbFrame = new QGroupBox(arbName, this);
    arb_chk = designNamed(new QCheckBox(QStringLiteral("有効"), arbFrame),
                          QStringLiteral("arb_chk"), -1, arbName + QStringLiteral(" 有効"));
    arb_hour_txt =
        timeBox(arbFrame, QStringLiteral("arb_hour_txt"), arbName + QStringLiteral(" 時"));
    arb_min_txt = timeBox(arbFrame, QStringLiteral("arb_min_txt"), arbName + QStringLiteral(" 分"));
    const QString labels[] = {QStringLiteral("時"), QStringLiteral("分"), QStringLiteral("曜日"),
                              QStringLiteral("日")};
    for (int i = 0; i < 4; ++i) {
        arb_lbl[static_cast<std::size_t>(i)] =
            designNamed(new QLabel(labels[i], arbFrame), QStringLiteral("arb_lbl"), i, labels[i]);
    }
    const QString cycles[] = {QStringLiteral("毎日"), QStringLiteral("毎週"),
                              QStringLiteral("毎月")};
    auto* group = new QButtonGroup(arbFrame);
    for (int i = 0; i < 3; ++i) {
        arb_int[static_cast<std::size_t>(i)] =
            designNamed(new QRadioButton(cycles[i], arbFrame), QStringLiteral("arb_int"), i,
                        arbName + cycles[i]);
        group->addButton(arb_int[static_cast<std::size_t>(i)], i);
    }
    arbint_week_cb = designNamed(typedCombo(arbFrame), QStringLiteral("arbint_week_cb"), -1,
                                 arbName + QStringLiteral(" 曜日"));
    arbint_day_cb = designNamed(typedCombo(arbFrame), QStringLiteral("arbint_day_cb"), -1,
                                arbName + QStringLiteral(" 日"));

    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(arb_chk);
    timeRow->addSpacing(24);
    timeRow->addWidget(arb_hour_txt);
    timeRow->addWidget(arb_lbl[0]);
    timeRow->addWidget(arb_min_txt);
    timeRow->addWidget(arb_lbl[1]);
    timeRow->addStretch();
    auto* cycleGrid = new QGridLayout;
    cycleGrid->addWidget(arb_int[0], 0, 0);
    cycleGrid->addWidget(arb_int[1], 1, 0);
    cycleGrid->addWidget(arbint_week_cb, 1, 1);
    cycleGrid->addWidget(arb_lbl[2], 1, 2);
    cycleGrid->addWidget(arb_int[2], 2, 0);
    cycleGrid->addWidget(arbint_day_cb, 2, 1);
    cycleGrid->addWidget(arb_lbl[3], 2, 2);
    cycleGrid->setColumnStretch(3, 1);
    auto* arbLayout = new QVBoxLayout(arbFrame);
    arbLayout->addLayout(timeRow);
    arbLayout->addLayout(cycleGrid);

    auto* top = new QVBoxLayout(this);
    top->addWidget(asdFrame);
    top->addWidget(arbFrame);
    top->addStretch();
}

}  // namespace vornel
