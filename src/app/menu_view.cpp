// How the load and the save reach the controls of the main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/menu.h"
#include "app/pages/check_value.h"
#include "common/errors.h"

namespace vornel {
namespace {

constexpr int kErrInvalidPropertyValue = 380;

}  // namespace

QWidget* Menu::widgetOf(ControlRef c) const {
    // Each page names its controls as controlName does, so a control is found by its name on
    // its page.
    const std::optional<Tab> tab = controlTab(c);
    const QWidget* page = tab ? SSTab1->widget(tabIndex(*tab)) : this;
    return page ? page->findChild<QWidget*>(QString::fromStdString(controlName(c))) : nullptr;
}

std::string Menu::text(ControlRef c) {
    QWidget* w = widgetOf(c);
    if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text().toStdString();
    if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->currentText().toStdString();
    return {};
}

void Menu::setText(ControlRef c, const std::string& text) {
    QWidget* w = widgetOf(c);
    const QString t = QString::fromStdString(text);
    if (auto* box = qobject_cast<QLineEdit*>(w)) box->setText(t);
    if (auto* cb = qobject_cast<QComboBox*>(w)) cb->setEditText(t);
}

int Menu::value(ControlRef c) {
    QWidget* w = widgetOf(c);
    if (auto* box = qobject_cast<QCheckBox*>(w)) return checkValue(box);
    if (auto* option = qobject_cast<QRadioButton*>(w)) return option->isChecked() ? 1 : 0;
    return 0;
}

void Menu::setValue(ControlRef c, int value) {
    QWidget* w = widgetOf(c);
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        if (value < 0 || value > 2) {
            throw VbError(kErrInvalidPropertyValue, "プロパティの値が不正です。");
        }
        setCheckValue(box, value);
        return;
    }
    if (auto* option = qobject_cast<QRadioButton*>(w); option && value == 1) {
        option->setChecked(true);
    }
}

void Menu::setCaption(const std::string& caption) {
    setWindowTitle(QString::fromStdString(caption));
}

void Menu::setTrayCaption(int g, const std::string& caption) {
    emit wolCaptionChanged(g, QString::fromStdString(caption));
}

void Menu::showTab(Tab tab) { SSTab1->setCurrentIndex(tabIndex(tab)); }

void Menu::focus(ControlRef c) {
    if (QWidget* w = widgetOf(c)) w->setFocus(Qt::OtherFocusReason);
}

}  // namespace vornel
