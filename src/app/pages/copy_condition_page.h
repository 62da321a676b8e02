#pragma once

#include <QRadioButton>
#include <array>

#include "app/pages/settings_page.h"

namespace vornel {

// How files are overwritten, and what happens to files that are open.
class CopyConditionPage : public SettingsPage {
    Q_OBJECT
  public:
    explicit CopyConditionPage(QWidget* parent = nullptr);

    std::array<QRadioButton*, 2> copy_op;
    std::array<QRadioButton*, 2> cp_skip;
};

}  // namespace vornel
