#include "app/about_window.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/app_resources.h"

namespace vornel {

frmAbout::frmAbout(const QString& appVer, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    // The short product name comes first in the caption.
    setWindowTitle(QStringLiteral("Vornel") + QStringLiteral("のﾊﾞｰｼﾞｮﾝ情報"));
    makeLabels(appVer);
    makeOkButton();
    layOut();
    adjustSize();
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
    centreOnScreen(*this);
}

void frmAbout::makeLabels(const QString& appVer) {
    picIcon = namedLabel(this, "picIcon");
    picIcon->setPixmap(programIcon().pixmap(QSize(48, 48)));
    picIcon->setAlignment(Qt::AlignTop);
    lblTitle = namedLabel(this, "lblTitle", QStringLiteral("Vornelnet"), 16);
    lbl_ver = namedLabel(this, "lbl_ver", appVer);
    lblPlatform = namedLabel(this, "lblPlatform", QStringLiteral("for Win98/Me/NT4/2000/XP/2003"));
    lblDescription =
        namedLabel(this, "lblDescription", QStringLiteral("ファイルバックアップユーティリティー"));
    lblEdition = namedLabel(this, "lblEdition", kEditionText);
    lblLicence = namedLabel(this, "lblLicence", QStringLiteral("フリーソフトウェア"));
    lblCompany = namedLabel(this, "lblCompany", kMakerText);
}

void frmAbout::makeOkButton() {
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumWidth(88);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
}

// The icon on the left; the texts on the right, a rule between product and licence; OK below.
void frmAbout::layOut() {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lbl_ver);
    texts->addWidget(lblPlatform);
    texts->addSpacing(8);
    texts->addWidget(lblDescription);
    texts->addSpacing(8);
    texts->addWidget(line);
    texts->addWidget(lblEdition);
    texts->addWidget(lblLicence);
    texts->addWidget(lblCompany);

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(picIcon);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(20, 20, 20, 16);
    outer->addLayout(top);
    outer->addSpacing(12);
    outer->addLayout(buttons);
}

void frmAbout::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only now is the frame known that the window manager puts around the window.
    centreOnScreen(*this);
}

}  // namespace vornel
