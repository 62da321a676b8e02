#pragma once

#include <QString>
#include <QVBoxLayout>
#include <QWidget>
#include <vector>

namespace vornel {

// Gives a control the name the program's code knows it by (with the array index, e.g.
// srcfld_txt_3) as object name, so tests and accessibility tools find it, and the words a user
// knows it by as accessible name.
template <class W>
W* controlNamed(W* w, const QString& name, int index, const QString& accessible) {
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

// Lays out a page that holds one frame at its top: `upper` above `lower` in the frame, `gap`
// pixels apart.
inline void frameAtTop(QWidget* page, QWidget* frame, QLayout* upper, int gap, QLayout* lower) {
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(upper);
    layout->addSpacing(gap);
    layout->addLayout(lower);
    auto* top = new QVBoxLayout(page);
    top->addWidget(frame);
    top->addStretch();
}

}  // namespace vornel
