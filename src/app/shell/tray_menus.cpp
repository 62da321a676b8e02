#include "app/shell/tray_menus.h"

#include <QCursor>

namespace vornel {

TrayMenus::TrayMenus(KvCmn15& cmn, WindowHandle owner, QObject* parent)
    : QObject(parent), cmn_(cmn), owner_(owner) {
    mnumain_.setObjectName(QStringLiteral("mnumain"));
    mnumain_.setTitle(QStringLiteral("ﾒﾆｭｰ"));
    // Groups that are still empty leave a leading or doubled separator, which stays hidden.
    mnumain_.setSeparatorsCollapsible(true);

    L1_ = separator("L1");
    L2_ = separator("L2");
    for (int g = 0; g < 5; ++g) {
        auto* a = mnumain_.addAction(QStringLiteral("- WOL%1無効 -").arg(g + 1));
        a->setObjectName(QStringLiteral("pc_wol%1").arg(g));
        pc_wol_[static_cast<std::size_t>(g)] = a;
    }
    separator("L3");
    mnuset = mnumain_.addAction(QStringLiteral("設定"));
    mnuset->setObjectName(QStringLiteral("mnuset"));
    History_Disp = mnumain_.addAction(QStringLiteral("履歴表示"));
    History_Disp->setObjectName(QStringLiteral("History_Disp"));
    separator("L4");
    mnuend = mnumain_.addAction(QStringLiteral("Tamsel終了"));
    mnuend->setObjectName(QStringLiteral("mnuend"));

    help_.setObjectName(QStringLiteral("help"));
    help_.setTitle(QStringLiteral("ﾍﾙﾌﾟ"));
    help_show = help_.addAction(QStringLiteral("ﾍﾙﾌﾟ"));
    help_show->setObjectName(QStringLiteral("help_show"));
    about_show = help_.addAction(QStringLiteral("About"));
    about_show->setObjectName(QStringLiteral("about_show"));
}

TrayMenus::~TrayMenus() = default;

QAction* TrayMenus::separator(const char* name) {
    QAction* s = mnumain_.addSeparator();
    s->setObjectName(QString::fromLatin1(name));
    return s;
}

void TrayMenus::addToGroup(Group group, QAction* action) {
    mnumain_.insertAction(group == Group::BackupRun ? L1_ : L2_, action);
}

void TrayMenus::setWolCaption(int index, const QString& caption) {
    if (index < 0 || index >= static_cast<int>(pc_wol_.size())) return;
    // The caption is the user's own text: an "&" in it is a character, not a shortcut mark.
    QString text = caption;
    pc_wol_[static_cast<std::size_t>(index)]->setText(
        text.replace(QChar('&'), QStringLiteral("&&")));
}

void TrayMenus::attach(QSystemTrayIcon* icon) {
    if (!icon) return;
    icon->setContextMenu(&help_);
    connect(icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { iconEvent(messageFor(reason)); });
}

int TrayMenus::messageFor(QSystemTrayIcon::ActivationReason reason) const {
    switch (reason) {
        case QSystemTrayIcon::Trigger:
            return cmn_.WM_LBUTTONDOWN;
        case QSystemTrayIcon::Context:
            return cmn_.WM_RBUTTONDOWN;
        case QSystemTrayIcon::DoubleClick:
            return cmn_.WM_LBUTTONDBLCLK;
        default:
            return 0;
    }
}

void TrayMenus::iconEvent(int message) {
    if (message == cmn_.WM_LBUTTONDOWN) {
        popup(mnumain_);
    } else if (message == cmn_.WM_RBUTTONDOWN) {
        popup(help_);
    }
}

void TrayMenus::popup(QMenu& menu) {
    // Bringing the main window forward first lets the menu close when the user clicks
    // elsewhere.
    cmn_.WindowTop(owner_);
    cmn_.DoEvents();
    // A tray host that draws the context menu itself has already opened the help menu.
    if (!menu.isVisible()) menu.popup(QCursor::pos());
    emit menuShown(&menu);
}

}  // namespace vornel
