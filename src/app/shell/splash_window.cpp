#include "app/shell/splash_window.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/app_resources.h"

namespace vornel {

frmSplash::frmSplash(const QString& appVer, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), appVer_(appVer) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral(" "));
    setWindowIcon(programIcon());
    setFocusPolicy(Qt::StrongFocus);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("splashFrame"));
    frame->setStyleSheet(
        QStringLiteral("QFrame#splashFrame { background: #f4f7fc; border: 2px solid #1f4fb0; }"));

    imgLogo = namedLabel(frame, "imgLogo");
    imgLogo->setPixmap(programLogo(QSize(200, 120)));
    lblProductName = namedLabel(frame, "lblProductName", {}, 20);
    lblPlatform =
        namedLabel(frame, "lblPlatform", QStringLiteral("for Win 98/Me/NT4/2000/XP/2003"));
    lblEdition = namedLabel(frame, "lblEdition", kEditionText);
    lblCompany = namedLabel(frame, "lblCompany", kMakerText);

    auto* texts = new QVBoxLayout;
    texts->addStretch();
    texts->addWidget(lblProductName);
    texts->addWidget(lblPlatform);
    texts->addSpacing(16);
    texts->addWidget(lblEdition);
    texts->addWidget(lblCompany);
    texts->addStretch();

    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(24, 24, 32, 24);
    row->setSpacing(24);
    row->addWidget(imgLogo);
    row->addLayout(texts);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    Form_Activate();
    adjustSize();
    centreOnScreen(*this);
}

void frmSplash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Take the keyboard so that a key press can dismiss the splash.
    activateWindow();
    setFocus();
    Form_Activate();
}

bool frmSplash::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) Form_Activate();
    return QWidget::event(event);
}

void frmSplash::keyPressEvent(QKeyEvent*) { close(); }

void frmSplash::Form_Activate() {
    centreOnScreen(*this);
    lblProductName->setText(QStringLiteral(" Vornelnet ") + appVer_ + QStringLiteral(" "));
}

}  // namespace vornel
