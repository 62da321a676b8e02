#include "schedule/shutdown_dialog.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace vornel {

ShutDownDialog::ShutDownDialog(PlatformBackend& backend, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      cmn_(backend) {
    setObjectName(QStringLiteral("ShutDownDialog"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Shut Down"));

    Label1 = new QLabel(QStringLiteral("30秒後に自動シャットダウンします！"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    time_lbl = new QLabel(QStringLiteral("30 sec"), this);
    time_lbl->setObjectName(QStringLiteral("time_lbl"));
    time_lbl->setAlignment(Qt::AlignCenter);
    QFont big = time_lbl->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    time_lbl->setFont(big);
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    // Enter or the space bar cancels too: the safe answer is the one under the finger.
    CancelButton->setDefault(true);
    CancelButton->setFocus(Qt::OtherFocusReason);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(time_lbl);
    layout->addWidget(CancelButton, 0, Qt::AlignHCenter);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(10);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(CancelButton, &QPushButton::clicked, this, &ShutDownDialog::CancelButton_Click);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &ShutDownDialog::Timer1_Timer);
    Timer1->start(1000);
}

void ShutDownDialog::Timer1_Timer() {
    if (closed_) return;
    --Sd_count;
    time_lbl->setText(QString::number(Sd_count) + QStringLiteral("sec"));
    if (Sd_count < 1) {
        Timer1->stop();
        cmn_.ExitWindows(cmn_.ExwShutdown);
        close();
    }
}

void ShutDownDialog::CancelButton_Click() { close(); }

void ShutDownDialog::closeEvent(QCloseEvent* event) {
    closed_ = true;
    Timer1->stop();
    QWidget::closeEvent(event);
}

}  // namespace vornel
