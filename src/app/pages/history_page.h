#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>

namespace vornel {

// Whether runs are recorded, and the buttons that show and clear the record.
class HistoryPage : public QWidget {
    Q_OBJECT
  public:
    explicit HistoryPage(QWidget* parent = nullptr);

    QPushButton* histclr_bt;
    QPushButton* recedit_bt;
    std::array<QRadioButton*, 2> rec_op;
};

}  // namespace vornel
