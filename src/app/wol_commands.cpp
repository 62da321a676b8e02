#include "app/wol_commands.h"

#include <QAction>
#include <QTabBar>

namespace vornel {

WolCommands::WolCommands(Module1& m, MenuShell& shell, QObject* parent)
    : QObject(parent), shell_(shell), ctx_{m, shell.menu().cmn(), *this, {}} {
    for (int g = 0; g < 5; ++g)
        connect(shell_.tray().pc_wol(g), &QAction::triggered, this, [this, g] { pc_wol_Click(g); });
}

WolCommands::~WolCommands() { delete WOL_Dialog_.data(); }

void WolCommands::pc_wol_Click(int g) { vornel::pc_wol_Click(ctx_, static_cast<std::int16_t>(g)); }

void WolCommands::open(const std::string& pcName) {
    if (!WOL_Dialog_) {
        // The notice keeps clear of the settings window's tab strip while that window is up.
        WOL_Dialog_ = new WOL_Dialog(ctx_.cmn.backend(), [this] {
            const Menu& menu = shell_.menu();
            if (!menu.isVisible()) return QRect();
            const QTabBar* strip = menu.SSTab1->tabBar();
            return QRect(strip->mapToGlobal(QPoint(0, 0)), strip->size());
        });
    }
    WOL_Dialog_->showFor(QString::fromStdString(pcName));
}

}  // namespace vornel
