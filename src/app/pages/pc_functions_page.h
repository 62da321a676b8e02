#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <array>

#include "app/pages/settings_page.h"

namespace vornel {

// Automatic shutdown at a time of day, and automatic restart daily, weekly or monthly.
class PcFunctionsPage : public SettingsPage {
    Q_OBJECT
  public:
    explicit PcFunctionsPage(QWidget* parent = nullptr);

    // Fills the weekday and day-of-month lists, keeping the text each box shows.
    void fillLists();
    // The shutdown time with its labels, while automatic shutdown is on.
    void enableShutdown(bool on);
    // The restart time, cycles and labels, while automatic restart is on; the lists stay
    // off until enableCycleLists picks one.
    void enableRestart(bool on);
    // The weekday list for cycle 1 (weekly), the day list for cycle 2 (monthly), else none.
    void enableCycleLists(int cycle);

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

  signals:
    // asd_chk or arb_chk changed; `value` as checkValue gives it.
    void shutdownSwitched(int value);
    void restartSwitched(int value);
    // Restart cycle `index` (0 daily, 1 weekly, 2 monthly) was chosen.
    void cycleChosen(int index);

  private:
    void wire();
};

}  // namespace vornel
