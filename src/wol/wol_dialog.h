#pragma once

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "common/kvcmn15.h"

namespace vornel {

// The notice that a wake went out. It lives five seconds from its creation, never takes the
// keyboard focus from what the user is typing, and keeps clear of the area it is told to
// (the settings window's tab strip). The program's close sequence leaves it alone: it closes
// itself.
class WOL_Dialog : public QWidget {
    Q_OBJECT
  public:
    // `keepClear` gives, in screen coordinates, the area the notice must not cover; an empty
    // rectangle when there is none.
    WOL_Dialog(PlatformBackend& backend, std::function<QRect()> keepClear,
               QWidget* parent = nullptr);

    // Shows `pcName` + "を起動しました！" and the information sound, and brings the window
    // forward without activating it. Its five seconds are not restarted.
    void showFor(const QString& pcName);
    // Closes the window once five seconds have passed since its creation on the backend's
    // clock; called earlier, it waits out the rest.
    void Timer1_Timer();

    QLabel* Label1;
    QTimer* Timer1;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void place();

    KvCmn15 cmn_;
    // The window that was active when the notice came up.
    QPointer<QWidget> previous_;
    double created_;
    std::function<QRect()> keepClear_;
};

}  // namespace vornel
