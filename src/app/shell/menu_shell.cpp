#include "app/shell/menu_shell.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

#include "app/app_resources.h"
#include "settings/change_tracking.h"
#include "vornel_version.h"

namespace vornel {
namespace {

const char* const kTrayTip = "左-Menu:右-Help";
const char* const kHelpFile = "Vornel_Net1.chm";

}  // namespace

std::string appVersionText(int major, int minor, int revision) {
    return "Ver" + std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision);
}

MenuShell::MenuShell(Module1& m, PlatformBackend& backend, std::string programFolder,
                     QObject* parent)
    : QObject(parent), m_(m), backend_(backend), programFolder_(std::move(programFolder)) {
    // The window and its own utility instance; the pop-up menus belong to it from the start,
    // so that the load can put the Wake-on-LAN captions into them.
    menu_ = std::make_unique<Menu>(m_, backend_);
    menu_->setWindowIcon(programIcon());
    hWnd_ = backend_.handleFor(menu_.get());
    menu_->setHWnd(hWnd_);
    tray_ = std::make_unique<TrayMenus>(menu_->cmn(), hWnd_);
    connect(menu_.get(), &Menu::wolCaptionChanged, tray_.get(), &TrayMenus::setWolCaption);
    menu_->installEventFilter(this);
    menu_->SSTab1->tabBar()->installEventFilter(this);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &MenuShell::focusWindowChanged);
    connectCommands();

    notray_lbl =
        new QLabel(QStringLiteral("通知領域（トレイ）が見つからないため、この画面を表示しています。"
                                  "GNOME では AppIndicator 拡張機能を入れるとトレイから使えます。"),
                   menu_.get());
    notray_lbl->setObjectName(QStringLiteral("notray_lbl"));
    notray_lbl->setWordWrap(true);
    notray_lbl->hide();
    if (auto* top = qobject_cast<QBoxLayout*>(menu_->layout())) top->insertWidget(0, notray_lbl);
    trayCheck_.setSingleShot(true);
    connect(&trayCheck_, &QTimer::timeout, this, &MenuShell::checkTrayArea);
}

MenuShell::~MenuShell() {
    // The window tells its watchers about every child it loses while it is destroyed.
    menu_->SSTab1->tabBar()->removeEventFilter(this);
    menu_->removeEventFilter(this);
    if (splash_) delete splash_.data();
    if (about_) delete about_.data();
    if (history_) delete history_.data();
}

void MenuShell::connectCommands() {
    connect(menu_->mini_bt, &QPushButton::clicked, this, &MenuShell::mini_bt_Click);
    connect(menu_->close_bt, &QPushButton::clicked, this, &MenuShell::close_bt_Click);
    connect(tray_->mnuset, &QAction::triggered, this, &MenuShell::mnuset_Click);
    connect(tray_->History_Disp, &QAction::triggered, menu_.get(), &Menu::recedit_bt_Click);
    connect(tray_->mnuend, &QAction::triggered, this, &MenuShell::mnuend_Click);
    connect(tray_->help_show, &QAction::triggered, this, &MenuShell::help_show_Click);
    connect(tray_->about_show, &QAction::triggered, this, &MenuShell::about_show_Click);
    connect(menu_.get(), &Menu::historyRequested, this, &MenuShell::history_show);
}

void MenuShell::registerWindow(OtherWindow which, QWidget* window) {
    registerWindow(which, [w = QPointer<QWidget>(window)] { return w.data(); });
}

void MenuShell::registerWindow(OtherWindow which, std::function<QWidget*()> current) {
    switch (which) {
        case OtherWindow::copydlg:
            copydlg_ = std::move(current);
            break;
        case OtherWindow::frmErrLog:
            frmErrLog_ = std::move(current);
            break;
        case OtherWindow::ShutDownDialog:
            ShutDownDialog_ = std::move(current);
            break;
    }
}

bool MenuShell::deferWhileRunning(std::function<void()> then) {
    if (!runInProgress || !afterRun || !runInProgress()) return false;
    afterRun(std::move(then));
    return true;
}

void MenuShell::Form_Load() {
    loading_ = true;
    KvCmn15& cmn = menu_->cmn();
    m_.App_ver = appVersionText(kVersionMajor, kVersionMinor, kVersionRevision);

    // The splash is shown for two seconds while events keep running; a key may close it
    // earlier, the wait stays the same.
    splash_ = new frmSplash(QString::fromStdString(m_.App_ver));
    splash_->setAttribute(Qt::WA_DeleteOnClose);
    splash_->show();
    cmn.Wait(2);
    closeWindow(splash_);

    setProgramPaths();

    // The window takes the size its pages ask for before it is placed.
    if (!menu_->testAttribute(Qt::WA_Resized)) menu_->adjustSize();
    centreOnScreen(*menu_);
    cmn.TrayAddIcon(hWnd_, 0, kTrayTip);
    tray_->attach(backend_.trayIcon(hWnd_));
    menu_->hide();
    trayCheck_.start(trayWaitMs);

    m_.Fld_no = 1;
    m_.App_title = "Vornelnet";
    menu_->fillLists();
    menu_->Sysdat_read(SysdatMissing::WriteDefaults);
    emit settingsLoaded();

    if (m_.Start_flg == "1") {
        m_.Stup_sdown = true;
        if (backup) backup(HistOrigin::ProgramOpen);
    }
    loading_ = false;
    // An end of the session that arrived during the load is served now that it is over.
    if (closeRequested_) requestClose();
}

void MenuShell::setProgramPaths() {
    m_.App_path = programFolder_;
    m_.Sysdat_path = m_.App_path + "/system.dat";
    m_.Hist_path = m_.App_path + "/history.txt";
}

void MenuShell::loadForOneRun() {
    m_.App_ver = appVersionText(kVersionMajor, kVersionMinor, kVersionRevision);
    setProgramPaths();
    m_.Fld_no = 1;
    m_.App_title = "Vornelnet";
    menu_->fillLists();
    menu_->Sysdat_read(SysdatMissing::WriteDefaults);
}

void MenuShell::Form_Activate() {
    if (m_.Fld_no >= 1 && m_.Fld_no <= 4)
        menu_->SSTab1->setCurrentIndex(tabIndex(folderPairTab(m_.Fld_no - 1)));
    menu_->ctl_state(CtlGroup::StartShutdown, menu_->value({Control::start_chk}));
    menu_->ctl_state(CtlGroup::Times, menu_->value({Control::timer_chk}));
    menu_->ctl_state(CtlGroup::AutoShutdown, menu_->value({Control::asd_chk}));
    menu_->ctl_state(CtlGroup::AutoRestart, menu_->value({Control::arb_chk}));
}

void MenuShell::focusWindowChanged(QWindow* now) {
    // Between two windows the focus passes through none (the other application's window, or
    // a window being closed): only windows of this program count.
    if (!now) return;
    const bool toMenu = now == menu_->windowHandle();
    if (toMenu && (activationDue_ || lastFocusOwn_)) {
        activationDue_ = false;
        Form_Activate();
    }
    lastFocusOwn_ = !toMenu && isOwnWindow(now);
}

bool MenuShell::isOwnWindow(const QWindow* window) const {
    const QWidget* own[] = {about_.data(), splash_.data(), copydlg_ ? copydlg_() : nullptr,
                            frmErrLog_ ? frmErrLog_() : nullptr,
                            ShutDownDialog_ ? ShutDownDialog_() : nullptr};
    for (const QWidget* w : own) {
        if (w && w->windowHandle() == window) return true;
    }
    return false;
}

void MenuShell::Form_Resize() {
    // The tab control cannot take the focus while the window is hidden or minimised; that
    // simply does nothing.
    menu_->SSTab1->setFocus(Qt::OtherFocusReason);
    menu_->setHelpContextId(1);
}

void MenuShell::mnuset_Click() {
    menu_->show();
    menu_->raise();
    menu_->activateWindow();
    menu_->SSTab1->setFocus(Qt::OtherFocusReason);
    menu_->setHelpContextId(1);
    // The activation follows once the desktop has made the window active; it already is
    // when the window was shown and active before.
    if (QGuiApplication::focusWindow() == menu_->windowHandle()) {
        Form_Activate();
    } else {
        activationDue_ = true;
    }
}

void MenuShell::mini_bt_Click() {
    if (chg_confirm(m_) == 1) menu_->ok_bt_Click();
    // Hidden without an icon to bring it back, the program could only be reached by
    // starting it again.
    if (backend_.trayAreaAvailable()) {
        menu_->hide();
    } else {
        menu_->showMinimized();
    }
}

void MenuShell::checkTrayArea() {
    const bool missing = !backend_.trayAreaAvailable();
    notray_lbl->setVisible(missing);
    if (!missing) return;
    // Looked at again now and then: a panel started later takes the icon, and the note goes.
    trayCheck_.start(trayWaitMs);
    if (!menu_->isVisible()) mnuset_Click();
}

void MenuShell::close_bt_Click() {
    if (chg_confirm(m_) == 1) menu_->ok_bt_Click();
    prog_end();
}

void MenuShell::mnuend_Click() {
    // The tray's quit item asks its own question, which has only an OK button.
    if (m_.Chg_flg == 1) {
        m_.Chg_flg = 0;
        m_.Msg_str = "システムデータが変更されています\r更新しますか？";
        m_.Msg_ans = menu_->cmn().Msg_Box(menu_->cmn().KindChk, m_.Msg_str);
        if (m_.Msg_ans == 1) menu_->ok_bt_Click();
    }
    prog_end();
}

void MenuShell::prog_end() {
    if (deferWhileRunning([this] { prog_end(); })) return;
    menu_->close();
    closeWindow(about_);
    closeWindow(splash_);
    closeWindow(copydlg_ ? copydlg_() : nullptr);
}

void MenuShell::requestClose() {
    // A box open now would hold the close until the session manager kills the program: it is
    // closed as its cancel button would close it, and the close goes on once the code that
    // asked has had its answer.
    if (backend_.endSession()) {
        QTimer::singleShot(0, this, &MenuShell::requestClose);
        return;
    }
    if (closed_ || closing_) return;
    if (loading_) {
        closeRequested_ = true;
        return;
    }
    if (deferWhileRunning([this] { requestClose(); })) return;
    menu_->close();
}

void MenuShell::Form_QueryUnload() {
    closing_ = true;
    if (chg_confirm(m_) == 1) menu_->ok_bt_Click();
    if (m_.End_bkup == "1" && backup) backup(HistOrigin::ProgramClose);
    menu_->cmn().TrayDelIcon();
    closeWindow(about_);
    closeWindow(copydlg_ ? copydlg_() : nullptr);
    closeWindow(frmErrLog_ ? frmErrLog_() : nullptr);
    closeWindow(history_);
    closeWindow(splash_);
    closeWindow(ShutDownDialog_ ? ShutDownDialog_() : nullptr);
}

void MenuShell::closeWindow(QWidget* window) {
    if (window) window->close();
}

void MenuShell::help_show_Click() {
    KvCmn15& cmn = menu_->cmn();
    const std::string file = helpFile_.empty() ? m_.App_path + "/" + kHelpFile : helpFile_;
    cmn.HtmlHelp_open(hWnd_, file, cmn.HH_DISPLAY_TREE, 0);
}

void MenuShell::about_show_Click() {
    // One About window at a time: asking again brings it forward.
    if (!about_) {
        about_ = new frmAbout(QString::fromStdString(m_.App_ver));
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MenuShell::history_show() {
    if (!history_) {
        history_ = new HistoryWindow(QString::fromStdString(m_.Hist_path),
                                     [this] { menu_->cmn().Shell_Excute(hWnd_, m_.Hist_path); });
        history_->setWindowIcon(programIcon());
        centreOnScreen(*history_);
    }
    history_->show();
    history_->raise();
    history_->activateWindow();
}

bool MenuShell::eventFilter(QObject* watched, QEvent* event) {
    if (watched == menu_->SSTab1->tabBar()) {
        if (event->type() == QEvent::MouseButtonDblClick) about_show_Click();
        return false;
    }
    if (watched != menu_.get()) return false;
    switch (event->type()) {
        case QEvent::Resize:
            Form_Resize();
            break;
        case QEvent::MouseButtonDblClick: {
            // Double-clicks that nothing inside handled travel up to the window; only those
            // on its bare background count.
            const auto* me = static_cast<QMouseEvent*>(event);
            if (!menu_->childAt(me->position().toPoint())) about_show_Click();
            break;
        }
        case QEvent::Close:
            if (closed_) break;
            // The close box pressed during a run: the window closes once the run is over.
            if (!closing_ && deferWhileRunning([this] { requestClose(); })) {
                event->ignore();
                return true;
            }
            if (!closing_) Form_QueryUnload();
            // The request is never refused; Menu closes once this event is through.
            closed_ = true;
            closing_ = false;
            QTimer::singleShot(0, this, &MenuShell::finished);
            break;
        default:
            break;
    }
    return false;
}

}  // namespace vornel
