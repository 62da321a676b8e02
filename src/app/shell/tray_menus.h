#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <array>

#include "common/kvcmn15.h"

namespace vornel {

// The two pop-up menus of the tray icon: `mnumain` (left press) and `help` (right press).
// Items whose work is done elsewhere are added into their group by the code that does it, so
// the menu never shows an item that cannot act.
class TrayMenus : public QObject {
    Q_OBJECT
  public:
    // The places of `mnumain` that the rest of the program fills, top to bottom.
    enum class Group {
        BackupRun,  // bkup_exitwin, start_bkup
        Power,      // exit_win, reboot_win, log_off
    };

    // `cmn` is the main window's own utility instance, `owner` its handle.
    TrayMenus(KvCmn15& cmn, WindowHandle owner, QObject* parent = nullptr);
    ~TrayMenus() override;

    QMenu* mnumain() { return &mnumain_; }
    QMenu* help() { return &help_; }

    // Appends `action` at the end of `group` (before the separator that closes it).
    void addToGroup(Group group, QAction* action);

    QAction* pc_wol(int index) { return pc_wol_.at(static_cast<std::size_t>(index)); }
    // Sets the caption of Wake-on-LAN item `index` (0..4).
    void setWolCaption(int index, const QString& caption);

    QAction* mnuset;
    QAction* History_Disp;
    QAction* mnuend;
    QAction* help_show;
    QAction* about_show;

    // Attaches the menus to the tray icon: the help menu as its context menu, so desktops that
    // draw the menu themselves show it on a right press, and the main menu on a left press.
    void attach(QSystemTrayIcon* icon);

    // One mouse message of the icon, numbered as the utility class numbers them.
    void iconEvent(int message);
    // The message a tray activation stands for (0 when it stands for none).
    int messageFor(QSystemTrayIcon::ActivationReason reason) const;

  signals:
    // Emitted once a menu has been opened from an icon event.
    void menuShown(QMenu* menu);

  private:
    void popup(QMenu& menu);
    QAction* separator(const char* name);

    KvCmn15& cmn_;
    WindowHandle owner_;
    QMenu mnumain_;
    QMenu help_;
    QAction* L1_;
    QAction* L2_;
    std::array<QAction*, 5> pc_wol_{};
};

}  // namespace vornel
