#pragma once

#include <QObject>
#include <QPointer>

#include "app/shell/menu_shell.h"
#include "wol/wake_on_lan.h"
#include "wol/wol_dialog.h"

namespace vornel {

// Wake-on-LAN in the program: the five tray items, the wake the schedule asks for, and the
// notice window that confirms a wake.
class WolCommands : public QObject, public WolNotice {
    Q_OBJECT
  public:
    WolCommands(Module1& m, MenuShell& shell, QObject* parent = nullptr);
    ~WolCommands() override;

    // Wakes entry `g` (0..4); the tray items and the schedule's wake times come here.
    void pc_wol_Click(int g);

    void open(const std::string& pcName) override;

    // The notice while it is open, else null.
    WOL_Dialog* notice() const { return WOL_Dialog_.data(); }
    UdpNet& net() { return ctx_.net; }

  private:
    MenuShell& shell_;
    WolContext ctx_;
    QPointer<WOL_Dialog> WOL_Dialog_;
};

}  // namespace vornel
