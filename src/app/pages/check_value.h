#pragma once

#include <QCheckBox>

namespace vornel {

// A check box's value as the program counts it: 0 clear, 1 ticked, 2 grey. (Qt numbers the
// grey state 1 and the ticked state 2.)
inline int checkValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

// Sets a check box from the program's value 0..2.
inline void setCheckValue(QCheckBox* box, int value) {
    box->setCheckState(value == 1   ? Qt::Checked
                       : value == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

}  // namespace vornel
