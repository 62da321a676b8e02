#include "app/pages/pc_functions_page.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/pages/check_value.h"
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
    r.on = controlNamed(new QCheckBox(QStringLiteral("有効"), frame),
                        prefix + QStringLiteral("_chk"), -1, what + QStringLiteral(" 有効"));
    r.hour = controlNamed(new QLineEdit(frame), prefix + QStringLiteral("_hour_txt"), -1,
                          what + QStringLiteral(" 時"));
    r.minute = controlNamed(new QLineEdit(frame), prefix + QStringLiteral("_min_txt"), -1,
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
    return controlNamed(new QLabel(text, frame), name, index, text);
}

}  // namespace

PcFunctionsPage::PcFunctionsPage(QWidget* parent) : SettingsPage(parent) {
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
            controlNamed(new QRadioButton(cycles[i], arbFrame), QStringLiteral("arb_int"), i,
                         arbName + cycles[i]);
        group->addButton(arb_int[static_cast<std::size_t>(i)], i);
    }
    arbint_week_cb = controlNamed(typedCombo(arbFrame), QStringLiteral("arbint_week_cb"), -1,
                                  arbName + QStringLiteral(" 曜日"));
    arbint_day_cb = controlNamed(typedCombo(arbFrame), QStringLiteral("arbint_day_cb"), -1,
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

    stackFrames({asdFrame, arbFrame});
    wire();
}

void PcFunctionsPage::wire() {
    watchSwitch(asd_chk, [this](int on) { emit shutdownSwitched(on); });
    watchSwitch(arb_chk, [this](int on) { emit restartSwitched(on); });
    for (QLineEdit* box : {asd_hour_txt, asd_min_txt, arb_hour_txt, arb_min_txt}) watchText(box);
    watchLeaving(asd_hour_txt, BoxKind::Hour);
    watchLeaving(asd_min_txt, BoxKind::Minute);
    watchLeaving(arb_hour_txt, BoxKind::Hour);
    watchLeaving(arb_min_txt, BoxKind::Minute);
    for (int i = 0; i < 3; ++i) {
        QRadioButton* option = arb_int[static_cast<std::size_t>(i)];
        watchOption(option);
        connect(option, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) emit cycleChosen(i);
        });
    }
    watchCombo(arbint_week_cb);
    watchCombo(arbint_day_cb);
}

void PcFunctionsPage::fillLists() {
    fillKeepingText(
        arbint_week_cb,
        {QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
         QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土")});
    QStringList days;
    for (int d = 1; d <= 31; ++d) days << QString::number(d);
    fillKeepingText(arbint_day_cb, days);
}

void PcFunctionsPage::enableShutdown(bool on) {
    asd_hour_txt->setEnabled(on);
    asd_min_txt->setEnabled(on);
    for (QLabel* l : asd_lbl) l->setEnabled(on);
}

void PcFunctionsPage::enableRestart(bool on) {
    arb_hour_txt->setEnabled(on);
    arb_min_txt->setEnabled(on);
    for (QRadioButton* o : arb_int) o->setEnabled(on);
    for (QLabel* l : arb_lbl) l->setEnabled(on);
    enableCycleLists(-1);
}

void PcFunctionsPage::enableCycleLists(int cycle) {
    arbint_week_cb->setEnabled(cycle == 1);
    arbint_day_cb->setEnabled(cycle == 2);
}

}  // namespace vornel
