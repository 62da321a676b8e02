#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace vornel {

// Gives a control its design name (with the array index, e.g. srcfld_txt_3) as object name,
// so tests and accessibility tools find it, and the words a user knows it by as accessible
// name.
template <class W>
W* designNamed(W* w, const QString& name, int index, const QString& accessible) {
    w->setObjectName(index < 0 ? name : name + QLatin1Char('_') + QString::number(index));
    w->setAccessibleName(accessible);
    return w;
}

// Makes Tab visit `widgets` one after the other: the order a page shows them in, row by row,
// whatever order they were made in.
inline void tabOrder(const std::vector<QWidget*>& widgets) {
    QWidget* previous = nullptr;
    for (QWidget* w : widgets) {
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

}  // namespace vornel
