#pragma once

#include <QComboBox>

namespace vornel {

// A combo box whose text can also be typed. Typed text is kept as typed: no completion that
// would silently turn "1" into "10", and Enter does not add it to the list.
inline QComboBox* typedCombo(QWidget* parent) {
    auto* cb = new QComboBox(parent);
    cb->setEditable(true);
    cb->setCompleter(nullptr);
    cb->setInsertPolicy(QComboBox::NoInsert);
    cb->setMinimumContentsLength(4);
    return cb;
}

}  // namespace vornel
