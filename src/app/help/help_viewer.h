#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "app/help/help_window.h"

namespace vornel {

// Opens help files in the program's help window; one window, reused for the next request.
class HelpViewer {
  public:
    // Opens `file` on its contents. False when the file is missing, unreadable or holds no
    // page: the caller reports that.
    bool open(QWidget* owner, const std::string& file, int command, int context);

    HelpWindow* window() const { return window_.data(); }

  private:
    QPointer<HelpWindow> window_;
};

}  // namespace vornel
