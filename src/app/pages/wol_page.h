#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QWidget>
#include <array>

namespace vornel {

// The five Wake-on-LAN entries with the port and the number of sends they share.
class WolPage : public QWidget {
    Q_OBJECT
  public:
    explicit WolPage(QWidget* parent = nullptr);

    std::array<QCheckBox*, 5> WOL_chk;
    std::array<QLineEdit*, 5> WOL_PCtxt;
    std::array<QLineEdit*, 5> WOL_IPtxt;
    // WOL_MAC_txt[g] is the array WOL_MACg_txt(0..5) of entry g.
    std::array<std::array<QLineEdit*, 6>, 5> WOL_MAC_txt;
    std::array<QLineEdit*, 5> WOL_Time_txt;
    QLineEdit* WOL_Port_txt;
    QComboBox* WOL_ReptNum_cb;
};

}  // namespace vornel
