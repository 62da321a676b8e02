#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>
#include <utility>
#include <vector>

#include "app/menu.h"
#include "settings/change_tracking.h"
#include "support/program_state.h"
#include "support/sysdat_image.h"

namespace vornel::test {

// Control name and value, as `put` and `shown` take them.
using Entries = std::vector<std::pair<QString, QString>>;

// A settings window on the fake desktop, loaded from a hand-made system.dat in a fresh folder.
class MenuTest : public ::testing::Test, public ProgramState<> {
  public:
    std::unique_ptr<Menu> menu;
    std::string image;

    // Opens the window over a file of `records`, with its boxes and dialogs on `desktop`
    // (the fake one when null).
    void start(const Records& records = defaultRecords(), PlatformBackend* desktop = nullptr) {
        m.Sysdat_path = tmp / "system.dat";
        image = handMadeSysdat(records);
        writeFile(m.Sysdat_path, image);
        menu = std::make_unique<Menu>(m, desktop ? *desktop : be);
        menu->fillLists();
        menu->Sysdat_read();
        menu->show();
        QApplication::setActiveWindow(menu.get());
    }

    template <class W>
    W* find(const QString& name) {
        W* w = menu->findChild<W*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QLineEdit* edit(const QString& name) { return find<QLineEdit>(name); }
    // What a control shows, written as the file stores it: a box's text, or "1", "0" and "2"
    // for a ticked, clear or grey button.
    QString shown(const QString& name) {
        QWidget* w = find<QWidget>(name);
        if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text();
        if (auto* cb = qobject_cast<QComboBox*>(w)) return cb->currentText();
        if (auto* c = qobject_cast<QCheckBox*>(w)) {
            return c->checkState() == Qt::PartiallyChecked ? "2" : c->isChecked() ? "1" : "0";
        }
        if (auto* option = qobject_cast<QRadioButton*>(w)) return option->isChecked() ? "1" : "0";
        return QStringLiteral("?");
    }

    // Changes controls as a user would: types into a box, picks a list item when the list
    // holds the value (else types it), ticks ("1") or clears ("0") a button.
    void put(const Entries& entries) {
        for (const auto& [name, value] : entries) {
            QWidget* w = find<QWidget>(name);
            if (auto* box = qobject_cast<QLineEdit*>(w)) box->setText(value);
            if (auto* cb = qobject_cast<QComboBox*>(w)) {
                const int i = cb->findText(value);
                i >= 0 ? cb->setCurrentIndex(i) : cb->setEditText(value);
            }
            if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setChecked(value == "1");
        }
    }

    QString focusName() const {
        QWidget* f = menu->focusWidget();
        return f ? f->objectName() : QString();
    }
    std::string fileNow() const { return readFile(m.Sysdat_path); }
    // The text of the only box shown since the last call; fails when there was not exactly one.
    std::string onlyBox() {
        EXPECT_EQ(be.boxes.size(), 1u);
        std::string t = be.boxes.empty() ? "" : be.boxes.back().text;
        be.boxes.clear();
        return t;
    }
};

}  // namespace vornel::test
