#pragma once

#include <QRadioButton>
#include <QWidget>
#include <array>

namespace vornel {

// How files are overwritten, and what happens to files that are open.
class CopyConditionPage : public QWidget {
    Q_OBJECT
  public:
    explicit CopyConditionPage(QWidget* parent = nullptr);

    std::array<QRadioButton*, 2> copy_op;
    std::array<QRadioButton*, 2> cp_skip;
};

}  // namespace vornel
