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

// The shared first row of both frames: the on box, then hour and minute with their labels.
struct TimeRow {
    QCheckBox* on;
    QLineEdit* hour;
    QLineEdit* minute;
    QHBoxLayout* layout;
};

TimeRow timeRow(QWidget* frame, const QString& what, const QString& prefix, QLabel* hourLabel,
                QLabel* minuteLabel) {
    TimeRow r;
    r.on = designNamed(new QCheckBox(QStringLiteral("有効"), frame),
                       prefix + QStringLiteral("_chk"), -1, what + QStringLiteral(" 有効"));
    r.hour = designNamed(new QLineEdit(frame), prefix + QStringLiteral("_hour_txt"), -1,
                         what + QStringLiteral(" 時"));
    r.minute = designNamed(new QLineEdit(frame), prefix + QStringLiteral("_min_txt"), -1,
                           what + QStringLiteral(" 分"));
    r.hour->setFixedWidth(56);
    r.minute->setFixedWidth(56);
    r.layout = new QHBoxLayout;
    r.layout->addWidget(r.on);
    r.layout->addSpacing(24);
    r.layout->addWidget(r.hour);
    r.layout->addWidget(hourLabel);
    r.layout->addWidget(r.minute);
    r.layout->addWidget(minuteLabel);
    r.layout->addStretch();
    return r;
}

QLabel* label(QWidget* frame, const QString& text, const QString& name, int index) {
    return designNamed(new QLabel(text, frame), name, index, text);
}

}  // namespace

PcFunctionsPage::PcFunctionsPage(QWidget* parent) : QWidget(parent) {
    const QString asdName = QStringLiteral("自動PCｼｬｯﾄﾀﾞｳﾝ");
    auto* asdFrame = new QGroupBox(asdName, this);
    asd_lbl[0] = label(asdFrame, QStringLiteral("時"), QStringLiteral("asd_lbl"), 0);
    asd_lbl[1] = label(asdFrame, QStringLiteral("分"), QStringLiteral("asd_lbl"), 1);
    const TimeRow asd = timeRow(asdFrame, asdName, QStringLiteral("asd"), asd_lbl[0], asd_lbl[1]);
    asd_chk = asd.on;
    asd_hour_txt = asd.hour;
    asd_min_txt = asd.minute;
    (new QHBoxLayout(asdFrame))->addLayout(asd.layout);

    const QString arbName = QStringLiteral("自動PC再起動");
    auto* arbFrame = new QGroupBox(arbName, this);
    const QString labels[] = {QStringLiteral("時"), QStringLiteral("分"), QStringLiteral("曜日"),
                              QStringLiteral("日")};
    for (int i = 0; i < 4; ++i) {
        arb_lbl[static_cast<std::size_t>(i)] =
            label(arbFrame, labels[i], QStringLiteral("arb_lbl"), i);
    }
    const TimeRow arb = timeRow(arbFrame, arbName, QStringLiteral("arb"), arb_lbl[0], arb_lbl[1]);
    arb_chk = arb.on;
    arb_hour_txt = arb.hour;
    arb_min_txt = arb.minute;
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

    tabOrder({arb_min_txt, arb_int[0], arb_int[1], arbint_week_cb, arb_int[2], arbint_day_cb});

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
    arbLayout->addLayout(arb.layout);
    arbLayout->addLayout(cycleGrid);

    auto* top = new QVBoxLayout(this);
    top->addWidget(asdFrame);
    top->addWidget(arbFrame);
    top->addStretch();
}

}  // namespace vornel
