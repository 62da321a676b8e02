// What the controls of the main window do when they are used.
#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/menu.h"
#include "app/pages/folder_pair_page.h"
#include "app/pages/pc_functions_page.h"
#include "app/pages/start_events_page.h"
#include "settings/field_checks.h"
#include "settings/sysdat_read.h"
#include "settings/sysdat_save.h"

namespace vornel {

bool Menu::Sysdat_read(SysdatMissing whenMissing) {
    return vornel::Sysdat_read(m_, *this, whenMissing);
}

void Menu::ok_bt_Click() {
    // A value refused on the way here is reported instead of saving.
    if (reportPending()) return;
    if (!vornel::ok_bt_Click(m_, cmn_, *this)) return;
    saved_lbl->setText(QStringLiteral("保存しました"));
    savedShown_->start();
}

void Menu::ctl_state(CtlGroup group, int value) {
    const bool on = value == 1;
    switch (group) {
        case CtlGroup::StartShutdown:
            startPage_->enableStartShutdown(on);
            break;
        case CtlGroup::Times:
            startPage_->enableTimes(on);
            break;
        case CtlGroup::AutoShutdown:
            pcPage_->enableShutdown(on);
            break;
        case CtlGroup::AutoRestart:
            pcPage_->enableRestart(on);
            if (on) pcPage_->enableCycleLists(m_.Arb_int == "1" ? 1 : m_.Arb_int == "2" ? 2 : 0);
            break;
    }
}

void Menu::arb_int_Click(int index) {
    m_.Arb_int = std::to_string(index);
    pcPage_->enableCycleLists(index);
}

void Menu::SSTab1_Click() {
    const int t = SSTab1->currentIndex();
    const int copy = tabIndex(Tab::CopyConditions);
    SSTab1->setFocus(Qt::OtherFocusReason);
    // Topic 1 covers the folder pairs, 2 to 5 the pages from the copy conditions to the PC
    // functions; the Wake-on-LAN page has none and keeps the topic shown before it.
    if (t >= 0 && t < copy) helpContext_ = 1;
    if (t >= copy && t <= tabIndex(Tab::PcFunctions)) helpContext_ = t - copy + 2;
}

void Menu::refsrc_bt_Click(int index) {
    const int k = index / 2;
    const int side = index % 2;
    // The browsed pair has a variable of its own: in the activation tab selector it would
    // send the next activation to another page.
    m_.Ref_fld_no = static_cast<std::int16_t>(k);
    m_.Ref_kind = static_cast<std::int16_t>(side);
    const FolderPairPage* page = folderPage(k);
    const QLineEdit* field = side == 0 ? page->srcfld_txt : page->dstfld_txt;
    const std::string path = cmn_.FolderDialog(hWnd_, field->text().toStdString());
    if (path.empty()) return;
    const auto u = static_cast<std::size_t>(k);
    if (side == 0) {
        m_.Src_fld[u] = path;
        folderPage(k)->srcfld_txt->setText(QString::fromStdString(m_.Src_fld[u]));
    } else {
        m_.Dst_fld[u] = path;
        folderPage(k)->dstfld_txt->setText(QString::fromStdString(m_.Dst_fld[u]));
    }
}

void Menu::recedit_bt_Click() { emit historyRequested(); }

bool Menu::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (pending_ && (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) &&
        qobject_cast<QAbstractButton*>(watched)) {
        // The press that took the focus from a refused box does not become a click: the
        // report comes instead, and the button is released cleanly.
        reportPending();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Menu::checkTime(QLineEdit* box, int largest, const char* message, Tab tab) {
    const TimeFieldCheck r = checkTimeText(box->text().toStdString(), largest);
    if (r.ok) {
        box->setText(QString::fromStdString(r.text));
        return;
    }
    reportLater(box, message, tab);
}

void Menu::reportLater(QLineEdit* box, const char* message, Tab tab) {
    if (pending_) return;
    pending_ = Refused{box, message, tab};
    QTimer::singleShot(0, this, &Menu::reportPending);
}

bool Menu::reportPending() {
    if (!pending_) return false;
    const Refused r = *pending_;
    pending_.reset();
    if (!r.box) return false;
    // The box takes the focus back below; that must not run the check a second time.
    checking_ = true;
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        if (b->isDown()) b->setDown(false);
    }
    m_.Msg_str = r.message;
    m_.Msg_ans = cmn_.Msg_Box(cmn_.KindErr, m_.Msg_str);
    SSTab1->setCurrentIndex(tabIndex(r.tab));
    r.box->setFocus(Qt::OtherFocusReason);
    checking_ = false;
    return true;
}

void Menu::boxLeft(SettingsPage* page, QLineEdit* box, SettingsPage::BoxKind kind) {
    // The box that takes the focus back after a report is not left by the user.
    if (checking_) return;
    // Pages sit on SSTab1 at the index their Tab names.
    const auto tab = static_cast<Tab>(SSTab1->indexOf(page));
    switch (kind) {
        case SettingsPage::BoxKind::Hour:
            checkTime(box, kLargestHour, kHourOutOfRange, tab);
            break;
        case SettingsPage::BoxKind::Minute:
            checkTime(box, kLargestMinute, kMinuteOutOfRange, tab);
            break;
        case SettingsPage::BoxKind::Mac:
            checkMac(box, tab);
            break;
    }
}

void Menu::checkMac(QLineEdit* box, Tab tab) {
    box->setText(box->text().toUpper());
    const std::string t = box->text().toStdString();
    if (t.empty() || cmn_.LenByte(t) == 2) return;
    // The box's page is shown again too: the focus may have left it for another page.
    reportLater(box, kMacLengthWrong, tab);
}

}  // namespace vornel
