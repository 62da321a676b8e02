#pragma once

#include <QWidget>
#include <functional>
#include <initializer_list>
#include <map>

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
    // watchCheck, and the box's value (0 or 1) handed to `switched` on every change.
    void watchSwitch(QCheckBox* box, std::function<void(int)> switched);
    // Reports `option` as an edit when it becomes the selected one.
    void watchOption(QRadioButton* option);
    void watchLeaving(QLineEdit* box, BoxKind kind);
    // Lays out the page's frames from the top down, the free room below them.
    void stackFrames(std::initializer_list<QWidget*> frames);

  private:
    std::map<const QObject*, BoxKind> leaving_;
};

}  // namespace vornel
