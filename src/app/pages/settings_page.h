#pragma once

#include <QWidget>
#include <map>
#include <utility>
#include <vector>

#include "settings/settings_view.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace vornel {

// A page of the settings window. It builds, names and wires its own controls and reports
// what the user does through signals; the window decides what an edit means for the
// settings as a whole.
class SettingsPage : public QWidget {
    Q_OBJECT
  public:
    // What a box holds, for the check that runs when the user leaves it.
    enum class BoxKind { Hour, Minute, Mac };

    explicit SettingsPage(QWidget* parent = nullptr) : QWidget(parent) {}

    // The page's control that the load and the save know as `c`, or nullptr when `c` is not
    // on this page.
    QWidget* control(ControlRef c) const;

  signals:
    // The user (or a load) changed a value on this page.
    void edited();
    // The focus left `box` for another control of the window.
    void boxLeft(QLineEdit* box, SettingsPage::BoxKind kind);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    void watchText(QLineEdit* box);
    void watchCombo(QComboBox* cb);
    void watchCheck(QCheckBox* box);
    // Reports `option` as an edit when it becomes the selected one.
    void watchOption(QRadioButton* option);
    void watchLeaving(QLineEdit* box, BoxKind kind);
    // Makes `w` the control the load and the save know as `c`.
    void own(ControlRef c, QWidget* w) { controls_.emplace_back(c, w); }
    // Makes the members of an array the controls `control`(0), `control`(1)…
    template <class Array>
    void ownEach(Control control, const Array& widgets) {
        for (std::size_t i = 0; i < widgets.size(); ++i)
            own({control, static_cast<int>(i)}, widgets[i]);
    }

  private:
    std::map<const QObject*, BoxKind> leaving_;
    std::vector<std::pair<ControlRef, QWidget*>> controls_;
};

}  // namespace vornel
