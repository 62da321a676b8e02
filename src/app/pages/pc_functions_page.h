#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <array>

namespace vornel {

// Automatic shutdown at a time of day, and automatic restart daily, weekly or monthly.
class PcFunctionsPage : public QWidget {
    Q_OBJECT
  public:
    explicit PcFunctionsPage(QWidget* parent = nullptr);

    QCheckBox* asd_chk;
    QLineEdit* asd_hour_txt;
    QLineEdit* asd_min_txt;
    std::array<QLabel*, 2> asd_lbl;
    QCheckBox* arb_chk;
    QLineEdit* arb_hour_txt;
    QLineEdit* arb_min_txt;
    std::array<QRadioButton*, 3> arb_int;
    QComboBox* arbint_week_cb;
    QComboBox* arbint_day_cb;
    std::array<QLabel*, 4> arb_lbl;
};

}  // namespace vornel
