#include "app/pages/start_events_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/pages/check_value.h"
#include "app/pages/control_naming.h"

namespace vornel {

StartEventsPage::StartEventsPage(QWidget* parent) : SettingsPage(parent) {
    auto* startFrame = new QGroupBox(QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ起動時に開始"), this);
    start_chk = controlNamed(new QCheckBox(QStringLiteral(" 起動時ﾊﾞｯｸｱｯﾌﾟ有効"), startFrame),
                             QStringLiteral("start_chk"), -1, QStringLiteral("起動時ﾊﾞｯｸｱｯﾌﾟ有効"));
    st_sdown =
        controlNamed(new QCheckBox(QStringLiteral("起動時完了後Shut Down"), startFrame),
                     QStringLiteral("st_sdown"), -1, QStringLiteral("起動時完了後Shut Down"));
    auto* startLayout = new QHBoxLayout(startFrame);
    startLayout->addWidget(start_chk);
    startLayout->addSpacing(24);
    startLayout->addWidget(st_sdown);
    startLayout->addStretch();

    auto* timerFrame = new QGroupBox(QStringLiteral("指定時刻に開始"), this);
    timer_chk = controlNamed(new QCheckBox(QStringLiteral("ﾀｲﾏｰﾊﾞｯｸｱｯﾌﾟ有効"), timerFrame),
                             QStringLiteral("timer_chk"), -1, QStringLiteral("ﾀｲﾏｰﾊﾞｯｸｱｯﾌﾟ有効"));
    const QString settingNames[] = {QStringLiteral("設定１"), QStringLiteral("設定２"),
                                    QStringLiteral("設定３")};
    for (int i = 0; i < 10; ++i) {
        QString text = i < 3   ? settingNames[i]
                       : i < 6 ? QStringLiteral("時")
                       : i < 9 ? QStringLiteral("分")
                               : QStringLiteral("ﾊﾞｯｸｱｯﾌﾟ後 PCｼｬｯﾄﾀﾞｳﾝ");
        tb_lbl[static_cast<std::size_t>(i)] =
            controlNamed(new QLabel(text, timerFrame), QStringLiteral("tb_lbl"), i, text);
    }
    auto* grid = new QGridLayout;
    grid->addWidget(tb_lbl[9], 0, 5);
    for (int k = 0; k < 3; ++k) {
        const auto u = static_cast<std::size_t>(k);
        hour_txt[u] = controlNamed(new QLineEdit(timerFrame), QStringLiteral("hour_txt"), k,
                                   settingNames[k] + QStringLiteral(" 時"));
        hour_txt[u]->setToolTip(QStringLiteral("24時間制で入力"));
        min_txt[u] = controlNamed(new QLineEdit(timerFrame), QStringLiteral("min_txt"), k,
                                  settingNames[k] + QStringLiteral(" 分"));
        sdown[u] = controlNamed(new QCheckBox(timerFrame), QStringLiteral("sdown"), k,
                                settingNames[k] + QStringLiteral(" ﾊﾞｯｸｱｯﾌﾟ後 PCｼｬｯﾄﾀﾞｳﾝ"));
        hour_txt[u]->setFixedWidth(56);
        min_txt[u]->setFixedWidth(56);
        grid->addWidget(tb_lbl[u], k + 1, 0);
        grid->addWidget(hour_txt[u], k + 1, 1);
        grid->addWidget(tb_lbl[u + 3], k + 1, 2);
        grid->addWidget(min_txt[u], k + 1, 3);
        grid->addWidget(tb_lbl[u + 6], k + 1, 4);
        grid->addWidget(sdown[u], k + 1, 5, Qt::AlignHCenter);
    }
    grid->setColumnMinimumWidth(4, 40);
    grid->setColumnStretch(6, 1);
    auto* timerLayout = new QVBoxLayout(timerFrame);
    timerLayout->addWidget(timer_chk);
    timerLayout->addLayout(grid);

    stackFrames({startFrame, timerFrame});
    wire();
}

void StartEventsPage::wire() {
    watchSwitch(start_chk, [this](int on) { emit startSwitched(on); });
    watchCheck(st_sdown);
    watchSwitch(timer_chk, [this](int on) { emit timerSwitched(on); });
    for (std::size_t k = 0; k < 3; ++k) {
        watchText(hour_txt[k]);
        watchText(min_txt[k]);
        watchCheck(sdown[k]);
        watchLeaving(hour_txt[k], BoxKind::Hour);
        watchLeaving(min_txt[k], BoxKind::Minute);
    }
}

void StartEventsPage::enableStartShutdown(bool on) { st_sdown->setEnabled(on); }

void StartEventsPage::enableTimes(bool on) {
    for (std::size_t k = 0; k < 3; ++k) {
        hour_txt[k]->setEnabled(on);
        min_txt[k]->setEnabled(on);
        sdown[k]->setEnabled(on);
    }
    for (QLabel* l : tb_lbl) l->setEnabled(on);
}

}  // namespace vornel
