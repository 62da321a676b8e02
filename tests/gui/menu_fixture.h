#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "app/menu.h"
#include "settings/change_tracking.h"
#include "support/fake_backend.h"
#include "support/sysdat_image.h"
#include "support/temp_dir.h"

namespace vornel::test {

// A settings window on the fake desktop, loaded from a hand-made system.dat in a fresh folder.
class MenuTest : public ::testing::Test {
  public:
    FakeBackend be;
    KvCmn15 module{be};
    Module1 m{module};
    TempDir dir;
    std::unique_ptr<Menu> menu;
    std::string image;

    void start(const std::array<std::string, 110>& records = defaultRecords()) {
        m.Sysdat_path = dir / "system.dat";
        m.Hist_path = dir / "history.txt";
        image = handMadeSysdat(records);
        writeFile(m.Sysdat_path, image);
        menu = std::make_unique<Menu>(m, be);
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
    QCheckBox* check(const QString& name) { return find<QCheckBox>(name); }
    QRadioButton* option(const QString& name) { return find<QRadioButton>(name); }
    QComboBox* combo(const QString& name) { return find<QComboBox>(name); }
    QPushButton* button(const QString& name) { return find<QPushButton>(name); }

    QString focusName() const {
        QWidget* f = menu->focusWidget();
        return f ? f->objectName() : QString();
    }
    std::int16_t chgConfirm() { return chg_confirm(m); }
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
