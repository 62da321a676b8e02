// What the controls of the main window do when they are used.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include "app/menu.h"
#include "app/pages/check_value.h"
#include "app/pages/folder_pair_page.h"
#include "app/pages/pc_functions_page.h"
#include "app/pages/start_events_page.h"
#include "app/pages/wol_page.h"
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

void Menu::ctl_state(int group, int value) {
    const bool on = value == 1;
    switch (group) {
        case 1:
            startPage_->st_sdown->setEnabled(on);
            break;
        case 2:
            for (std::size_t k = 0; k < 3; ++k) {
                startPage_->hour_txt[k]->setEnabled(on);
                startPage_->min_txt[k]->setEnabled(on);
                startPage_->sdown[k]->setEnabled(on);
            }
            for (QLabel* l : startPage_->tb_lbl) l->setEnabled(on);
            break;
        case 3:
            pcPage_->asd_hour_txt->setEnabled(on);
            pcPage_->asd_min_txt->setEnabled(on);
            for (QLabel* l : pcPage_->asd_lbl) l->setEnabled(on);
            break;
        case 4:
            pcPage_->arb_hour_txt->setEnabled(on);
            pcPage_->arb_min_txt->setEnabled(on);
            for (QRadioButton* o : pcPage_->arb_int) o->setEnabled(on);
            for (QLabel* l : pcPage_->arb_lbl) l->setEnabled(on);
            pcPage_->arbint_week_cb->setEnabled(false);
            pcPage_->arbint_day_cb->setEnabled(false);
            if (on) {
                if (m_.Arb_int == "1") pcPage_->arbint_week_cb->setEnabled(true);
                if (m_.Arb_int == "2") pcPage_->arbint_day_cb->setEnabled(true);
            }
            break;
        default:
            break;
    }
}

void Menu::start_chk_Click() {
    markChanged();
    ctl_state(1, checkValue(startPage_->start_chk));
}

void Menu::timer_chk_Click() {
    markChanged();
    ctl_state(2, checkValue(startPage_->timer_chk));
}

void Menu::asd_chk_Click() {
    markChanged();
    ctl_state(3, checkValue(pcPage_->asd_chk));
}

void Menu::arb_chk_Click() {
    markChanged();
    ctl_state(4, checkValue(pcPage_->arb_chk));
}

void Menu::arb_int_Click(int index) {
    markChanged();
    m_.Arb_int = std::to_string(index);
    pcPage_->arbint_week_cb->setEnabled(m_.Arb_int == "1");
    pcPage_->arbint_day_cb->setEnabled(m_.Arb_int == "2");
}

void Menu::SSTab1_Click() {
    const int t = SSTab1->currentIndex();
    SSTab1->setFocus(Qt::OtherFocusReason);
    // The help has one topic for all folder pairs, then one for each page up to the PC
    // functions (2 for the copy conditions); going to the Wake-on-LAN page leaves it as it was.
    const int copyConditions = tabIndex(Tab::CopyConditions);
    if (t >= tabIndex(Tab::FolderPair1) && t < copyConditions) helpContext_ = 1;
    if (t >= copyConditions && t <= tabIndex(Tab::PcFunctions))
        helpContext_ = t - copyConditions + 2;
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

void Menu::set_clr_bt_Click(int index) {
    FolderPairPage* p = folderPage(index);
    p->srcfld_txt->setText(QString());
    p->dstfld_txt->setText(QString());
    p->subfld_chk->setCheckState(Qt::Unchecked);
    p->skip_chk->setCheckState(Qt::Unchecked);
}

void Menu::recedit_bt_Click() { emit historyRequested(); }

void Menu::watchLeaving(QLineEdit* box, std::function<void()> check) {
    leaveChecks_[box] = std::move(check);
    box->installEventFilter(this);
}

bool Menu::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (pending_ && (type == QEvent::MouseButtonRelease || type == QEvent::KeyRelease) &&
        qobject_cast<QAbstractButton*>(watched)) {
        // The press that took the focus from a refused box does not become a click: the
        // report comes instead, and the button is released cleanly.
        reportPending();
        return true;
    }
    if (type == QEvent::FocusOut && !checking_) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only leaving for another control of this window counts: a message box or a menu
        // taking the focus for a moment is not the user leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            auto it = leaveChecks_.find(watched);
            if (it != leaveChecks_.end()) it->second();
        }
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

void Menu::hour_txt_LostFocus(int k) {
    checkTime(startPage_->hour_txt.at(static_cast<std::size_t>(k)), kLargestHour, kHourOutOfRange,
              Tab::StartEvents);
}

void Menu::min_txt_LostFocus(int k) {
    checkTime(startPage_->min_txt.at(static_cast<std::size_t>(k)), kLargestMinute,
              kMinuteOutOfRange, Tab::StartEvents);
}

void Menu::asd_hour_txt_LostFocus() {
    checkTime(pcPage_->asd_hour_txt, kLargestHour, kHourOutOfRange, Tab::PcFunctions);
}

void Menu::asd_min_txt_LostFocus() {
    checkTime(pcPage_->asd_min_txt, kLargestMinute, kMinuteOutOfRange, Tab::PcFunctions);
}

void Menu::arb_hour_txt_LostFocus() {
    checkTime(pcPage_->arb_hour_txt, kLargestHour, kHourOutOfRange, Tab::PcFunctions);
}

void Menu::arb_min_txt_LostFocus() {
    checkTime(pcPage_->arb_min_txt, kLargestMinute, kMinuteOutOfRange, Tab::PcFunctions);
}

void Menu::WOL_MAC_txt_LostFocus(int g, int j) {
    QLineEdit* box =
        wolPage_->WOL_MAC_txt.at(static_cast<std::size_t>(g)).at(static_cast<std::size_t>(j));
    box->setText(box->text().toUpper());
    const std::string t = box->text().toStdString();
    if (t.empty() || cmn_.LenByte(t) == 2) return;
    // The box's page is shown again too: the focus may have left it for another page.
    reportLater(box, kMacLengthWrong, Tab::WakeOnLan);
}

}  // namespace vornel
