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

// Puts `items` in the list of `cb`. The box keeps showing what it showed, as adding items to
// a list does not change its text, so no edit is reported.
inline void fillKeepingText(QComboBox* cb, const QStringList& items) {
    const QSignalBlocker quiet(cb);
    const QString shown = cb->currentText();
    cb->clear();
    cb->addItems(items);
    cb->setCurrentIndex(-1);
    cb->setEditText(shown);
}

}  // namespace vornel
