#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cstdint>

#include "common/kvcmn15.h"

namespace vornel {

// The 30-second warning before the shutdown that follows the start-up backup. It counts down
// once a second and asks for the shutdown on the tick that shows 0sec; cancelling it, or
// closing it any other way, stops the count and nothing happens. It closes and deletes itself
// either way; each opening is a new window that starts again from 30.
class ShutDownDialog : public QWidget {
    Q_OBJECT
  public:
    explicit ShutDownDialog(PlatformBackend& backend, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* time_lbl;
    QPushButton* CancelButton;
    QTimer* Timer1;

    // Seconds left.
    std::int16_t Sd_count = 30;

    void Timer1_Timer();
    void CancelButton_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    KvCmn15 cmn_;
    bool closed_ = false;
};

}  // namespace vornel
