#include "app/pages/settings_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/pages/check_value.h"

namespace vornel {

void SettingsPage::watchText(QLineEdit* box) {
    connect(box, &QLineEdit::textChanged, this, &SettingsPage::edited);
}

void SettingsPage::watchCombo(QComboBox* cb) {
    connect(cb, &QComboBox::currentTextChanged, this, &SettingsPage::edited);
}

void SettingsPage::watchCheck(QCheckBox* box) {
    connect(box, &QCheckBox::stateChanged, this, &SettingsPage::edited);
    // A grey state comes only from a stored value; clicks go between clear and ticked.
    connect(box, &QCheckBox::stateChanged, box, [box](int state) {
        if (state != Qt::PartiallyChecked) box->setTristate(false);
    });
}

void SettingsPage::watchOption(QRadioButton* option) {
    connect(option, &QRadioButton::toggled, this, [this](bool on) {
        if (on) emit edited();
    });
}

void SettingsPage::watchLeaving(QLineEdit* box, BoxKind kind) {
    leaving_[box] = kind;
    box->installEventFilter(this);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only leaving for another control of this window counts: a message box or a menu
        // taking the focus for a moment is not the user leaving the box.
        const auto it = leaving_.find(watched);
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            it != leaving_.end()) {
            emit boxLeft(static_cast<QLineEdit*>(watched), it->second);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsPage::watchSwitch(QCheckBox* box, std::function<void(int)> switched) {
    watchCheck(box);
    connect(box, &QCheckBox::stateChanged, this,
            [box, switched = std::move(switched)] { switched(checkValue(box)); });
}

void SettingsPage::stackFrames(std::initializer_list<QWidget*> frames) {
    auto* top = new QVBoxLayout(this);
    for (QWidget* frame : frames) top->addWidget(frame);
    top->addStretch();
}

}  // namespace vornel
