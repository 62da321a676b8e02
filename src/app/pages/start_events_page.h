#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>

namespace vornel {

// Backups at program start and at up to three times of day.
class StartEventsPage : public QWidget {
    Q_OBJECT
  public:
    explicit StartEventsPage(QWidget* parent = nullptr);

    QCheckBox* start_chk;
    QCheckBox* st_sdown;
    QCheckBox* timer_chk;
    std::array<QLineEdit*, 3> hour_txt;
    std::array<QLineEdit*, 3> min_txt;
    std::array<QCheckBox*, 3> sdown;
    std::array<QLabel*, 10> tb_lbl;
};

}  // namespace vornel
