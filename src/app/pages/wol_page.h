#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <array>
#include <vector>

#include "app/pages/settings_page.h"

class QGridLayout;
class QLayout;

namespace vornel {

// The five Wake-on-LAN entries with the port and the number of sends they share.
class WolPage : public SettingsPage {
    Q_OBJECT
  public:
    explicit WolPage(QWidget* parent = nullptr);

    // Fills the list of send counts, keeping the text the box shows.
    void fillLists();

    std::array<QCheckBox*, 5> WOL_chk;
    std::array<QLineEdit*, 5> WOL_PCtxt;
    std::array<QLineEdit*, 5> WOL_IPtxt;
    // WOL_MAC_txt[g] is the array WOL_MACg_txt(0..5) of entry g.
    std::array<std::array<QLineEdit*, 6>, 5> WOL_MAC_txt;
    std::array<QLineEdit*, 5> WOL_Time_txt;
    QLineEdit* WOL_Port_txt;
    QComboBox* WOL_ReptNum_cb;

  private:
    void addHeaders(QGridLayout* grid, QWidget* frame);
    // Row g + 1 of the grid; its controls join `tabs` in the order Tab visits them.
    void addEntry(QGridLayout* grid, QWidget* frame, int g, std::vector<QWidget*>& tabs);
    QLayout* sendOptions(QWidget* frame, std::vector<QWidget*>& tabs);
    void wire();
};

}  // namespace vornel
