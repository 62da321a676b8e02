#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "app/pages/settings_page.h"

namespace vornel {

// Whether runs are recorded, and the buttons that show and clear the record.
class HistoryPage : public SettingsPage {
    Q_OBJECT
  public:
    explicit HistoryPage(QWidget* parent = nullptr);

    QPushButton* histclr_bt;
    QPushButton* recedit_bt;
    std::array<QRadioButton*, 2> rec_op;

  signals:
    // "履歴表示": the history is to be shown.
    void historyRequested();
};

}  // namespace vornel
