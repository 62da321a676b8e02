#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <array>

#include "app/pages/settings_page.h"

namespace vornel {

// Backups at program start and at up to three times of day.
class StartEventsPage : public SettingsPage {
    Q_OBJECT
  public:
    explicit StartEventsPage(QWidget* parent = nullptr);

    // The shutdown after the start-up run can be chosen only while that run is on.
    void enableStartShutdown(bool on);
    // The three times with their shutdown boxes and labels, while timed backups are on.
    void enableTimes(bool on);

    QCheckBox* start_chk;
    QCheckBox* st_sdown;
    QCheckBox* timer_chk;
    std::array<QLineEdit*, 3> hour_txt;
    std::array<QLineEdit*, 3> min_txt;
    std::array<QCheckBox*, 3> sdown;
    std::array<QLabel*, 10> tb_lbl;

  signals:
    // start_chk or timer_chk changed; `value` as checkValue gives it.
    void startSwitched(int value);
    void timerSwitched(int value);

  private:
    void wire();
};

}  // namespace vornel
