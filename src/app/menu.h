#pragma once

#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <array>
#include <optional>

#include "app/pages/settings_page.h"
#include "common/kvcmn15.h"
#include "common/module_state.h"
#include "settings/settings_view.h"
#include "settings/sysdat_read.h"

class QLabel;
class QLineEdit;

namespace vornel {

class FolderPairPage;
class CopyConditionPage;
class StartEventsPage;
class HistoryPage;
class PcFunctionsPage;
class WolPage;

// The controls each check box of the start-event and PC pages switches on and off.
enum class CtlGroup {
    StartShutdown = 1,  // st_sdown, by start_chk
    Times,              // the three times of day, by timer_chk
    AutoShutdown,       // the shutdown time, by asd_chk
    AutoRestart,        // the restart time and cycle, by arb_chk
};

// The main window: every setting on the thirteen pages of SSTab1 and the buttons below them.
// It owns its own utility instance. The buttons other than ok_bt are wired by whoever drives
// the window's life and the backup runs.
class Menu : public QWidget, public SettingsView {
    Q_OBJECT
  public:
    Menu(Module1& m, PlatformBackend& backend, QWidget* parent = nullptr);
    ~Menu() override;

    QTabWidget* SSTab1;
    QPushButton* bkup_bt;
    QPushButton* bkup_exit_bt;
    QPushButton* mini_bt;
    QPushButton* ok_bt;
    QPushButton* close_bt;
    QPushButton* histclr_bt;  // on the history page
    QLabel* saved_lbl;        // "保存しました" for a few seconds after a save

    KvCmn15& cmn() { return cmn_; }
    Module1& module() { return m_; }
    // The handle the backend knows this window by, for dialogs and the shell it owns.
    void setHWnd(WindowHandle h) { hWnd_ = h; }
    WindowHandle hWnd() const { return hWnd_; }
    // Help topic of the page shown (1 folders, 2 copy, 3 start events, 4 history, 5 PC).
    int helpContextId() const { return helpContext_; }
    void setHelpContextId(int id) { helpContext_ = id; }

    // Fills the weekday, repeat-count and day-of-month lists; the load step calls it once.
    void fillLists();
    bool Sysdat_read(SysdatMissing whenMissing = SysdatMissing::Report);
    void ok_bt_Click();
    // Enables the controls of `group` when `value` is 1 (a ticked box), else disables them.
    void ctl_state(CtlGroup group, int value);
    // "履歴表示", from the history page or the tray.
    void recedit_bt_Click();

    // The pages, for tests and for code that needs a control directly.
    FolderPairPage* folderPage(int k) const { return folderPages_[static_cast<std::size_t>(k)]; }
    CopyConditionPage* copyPage() const { return copyPage_; }
    StartEventsPage* startPage() const { return startPage_; }
    HistoryPage* historyPage() const { return historyPage_; }
    PcFunctionsPage* pcPage() const { return pcPage_; }
    WolPage* wolPage() const { return wolPage_; }

    // SettingsView
    std::string text(ControlRef c) override;
    void setText(ControlRef c, const std::string& text) override;
    int value(ControlRef c) override;
    void setValue(ControlRef c, int value) override;
    void setCaption(const std::string& caption) override;
    void setTrayCaption(int g, const std::string& caption) override;
    void showTab(Tab tab) override;
    void focus(ControlRef c) override;

  signals:
    // A load set the caption of the tray item of Wake-on-LAN entry g.
    void wolCaptionChanged(int g, const QString& caption);
    // "履歴表示": the history is to be shown.
    void historyRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildPages();
    void connectHandlers();
    void connectFolderPages();
    void connectSwitches();
    // Every edit that only marks the settings as changed.
    void markChanged() { m_.Chg_flg = 1; }
    void arb_int_Click(int index);
    void SSTab1_Click();
    void refsrc_bt_Click(int index);
    // Runs the check of a box the user left on `page`.
    void boxLeft(SettingsPage* page, QLineEdit* box, SettingsPage::BoxKind kind);
    void checkTime(QLineEdit* box, int largest, const char* message, Tab tab);
    void checkMac(QLineEdit* box, Tab tab);
    // A refused value is reported once the event that moved the focus is over, so a page
    // change it interrupts completes first and is then undone in one piece.
    void reportLater(QLineEdit* box, const char* message, Tab tab);
    // Shows the pending report, if any: the message, the box's page, the focus back in the
    // box. Returns whether there was one.
    bool reportPending();
    QWidget* widgetOf(ControlRef c) const;

    Module1& m_;
    KvCmn15 cmn_;
    WindowHandle hWnd_ = 0;
    int helpContext_ = 1;
    bool checking_ = false;
    struct Refused {
        QPointer<QLineEdit> box;
        const char* message = nullptr;
        Tab tab = Tab::FolderPair1;
    };
    std::optional<Refused> pending_;
    std::array<FolderPairPage*, 8> folderPages_{};
    CopyConditionPage* copyPage_ = nullptr;
    StartEventsPage* startPage_ = nullptr;
    HistoryPage* historyPage_ = nullptr;
    PcFunctionsPage* pcPage_ = nullptr;
    WolPage* wolPage_ = nullptr;
    QTimer* savedShown_ = nullptr;
};

}  // namespace vornel
