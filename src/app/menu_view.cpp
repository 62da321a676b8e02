// How the load and the save reach the controls of the main window.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/menu.h"
#include "app/pages/check_value.h"
#include "app/pages/copy_condition_page.h"
#include "app/pages/folder_pair_page.h"
#include "app/pages/history_page.h"
#include "app/pages/pc_functions_page.h"
#include "app/pages/start_events_page.h"
#include "app/pages/wol_page.h"
#include "common/errors.h"

namespace vornel {
namespace {

constexpr int kErrInvalidPropertyValue = 380;

std::size_t at(int i) { return static_cast<std::size_t>(i); }

}  // namespace

QWidget* Menu::widgetOf(ControlRef c) const {
    const int i = c.index;
    switch (c.control) {
        case Control::srcfld_txt:
            return folderPage(i)->srcfld_txt;
        case Control::dstfld_txt:
            return folderPage(i)->dstfld_txt;
        case Control::subfld_chk:
            return folderPage(i)->subfld_chk;
        case Control::skip_chk:
            return folderPage(i)->skip_chk;
        case Control::copy_op:
            return copyPage_->copy_op.at(at(i));
        case Control::cp_skip:
            return copyPage_->cp_skip.at(at(i));
        case Control::start_chk:
            return startPage_->start_chk;
        case Control::st_sdown:
            return startPage_->st_sdown;
        case Control::timer_chk:
            return startPage_->timer_chk;
        case Control::hour_txt:
            return startPage_->hour_txt.at(at(i));
        case Control::min_txt:
            return startPage_->min_txt.at(at(i));
        case Control::sdown:
            return startPage_->sdown.at(at(i));
        case Control::rec_op:
            return historyPage_->rec_op.at(at(i));
        case Control::asd_chk:
            return pcPage_->asd_chk;
        case Control::asd_hour_txt:
            return pcPage_->asd_hour_txt;
        case Control::asd_min_txt:
            return pcPage_->asd_min_txt;
        case Control::arb_chk:
            return pcPage_->arb_chk;
        case Control::arb_hour_txt:
            return pcPage_->arb_hour_txt;
        case Control::arb_min_txt:
            return pcPage_->arb_min_txt;
        case Control::arb_int:
            return pcPage_->arb_int.at(at(i));
        case Control::arbint_week_cb:
            return pcPage_->arbint_week_cb;
        case Control::arbint_day_cb:
            return pcPage_->arbint_day_cb;
        case Control::WOL_Port_txt:
            return wolPage_->WOL_Port_txt;
        case Control::WOL_ReptNum_cb:
            return wolPage_->WOL_ReptNum_cb;
        case Control::WOL_chk:
            return wolPage_->WOL_chk.at(at(i));
        case Control::WOL_PCtxt:
            return wolPage_->WOL_PCtxt.at(at(i));
        case Control::WOL_IPtxt:
            return wolPage_->WOL_IPtxt.at(at(i));
        case Control::WOL_MAC_txt:
            return wolPage_->WOL_MAC_txt.at(at(i)).at(at(c.sub));
        case Control::WOL_Time_txt:
            return wolPage_->WOL_Time_txt.at(at(i));
        case Control::mini_bt:
            return mini_bt;
    }
    return nullptr;
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
