#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/about_window.h"
#include "app/menu.h"
#include "app/shell/splash_window.h"
#include "app/shell/tray_menus.h"
#include "common/module_state.h"
#include "history/history.h"
#include "history/history_window.h"

namespace vornel {

// "Ver" + major + "." + minor and revision written one after the other: 1.1.0 gives Ver1.10.
std::string appVersionText(int major, int minor, int revision);

// The life of the main window `Menu`: loading, activation, showing and hiding, the ways to
// quit and the close request that every one of them ends in, help and About.
class MenuShell : public QObject {
    Q_OBJECT
  public:
    // Windows the rest of the program opens, which the close request closes in this order
    // around the shell's own.
    enum class OtherWindow { copydlg, frmErrLog, ShutDownDialog };

    // `programFolder` holds the program, system.dat, history.txt and the help file.
    MenuShell(Module1& m, PlatformBackend& backend, std::string programFolder,
              QObject* parent = nullptr);
    ~MenuShell() override;

    // How long after the load the desktop has to offer a notification area before the
    // window is shown instead: one started with the session often comes up before its panel.
    int trayWaitMs = 5000;

    // Runs a backup started by the program opening or closing; set by whoever provides runs.
    std::function<void(HistOrigin origin)> backup;
    // Whether a run is in progress, and a way to act once it has returned. A quit asked for
    // during a run waits for it: closing the windows under a run would leave it copying into
    // a program that has already said goodbye, and the close-time run must not overlap it.
    std::function<bool()> runInProgress;
    std::function<void(std::function<void()>)> afterRun;

    // The load step. Returns when it is over, start-up backup included.
    void Form_Load();
    // What a single run from the command line needs of the load step: the program's files
    // and the settings, without splash, tray or start-up run.
    void loadForOneRun();

    // Where "Help" finds the help file; beside the program unless set.
    void setHelpFile(std::string path) { helpFile_ = std::move(path); }

    Menu& menu() { return *menu_; }
    TrayMenus& tray() { return *tray_; }
    frmSplash* splash() const { return splash_.data(); }
    frmAbout* about() const { return about_.data(); }
    HistoryWindow* history() const { return history_.data(); }
    void registerWindow(OtherWindow which, QWidget* window);
    // For a window that is made anew each time it opens: asks for the current one.
    void registerWindow(OtherWindow which, std::function<QWidget*()> current);

    // Commands.
    void Form_Activate();
    void Form_Resize();
    void mnuset_Click();
    void mini_bt_Click();
    void close_bt_Click();
    void mnuend_Click();
    void prog_end();
    void help_show_Click();
    void about_show_Click();
    // The history viewer, one at a time; its editor button opens the file as Shell_Excute does.
    void history_show();
    // Without a notification area the program would run unreachable: the window is shown
    // with a note saying so, until an area appears and the icon docks there.
    void checkTrayArea();
    QLabel* notray_lbl = nullptr;

    // A request from outside to end the program (the session ends, a signal): the close
    // request of Menu, run once the load step is over.
    void requestClose();
    // The program ends itself without the close request (after "back up, then shut down"):
    // later requests to close, the system's own included, find it already closed.
    void endWithoutClosing() { closed_ = true; }
    bool loading() const { return loading_; }
    bool closed() const { return closed_; }

  signals:
    // The load step has read the settings (the start-up run comes next).
    void settingsLoaded();
    // The close request has run and Menu is closed.
    void finished();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Form_QueryUnload();
    void setProgramPaths();
    // Menu becomes the active window of this program after mnuset or when another of the
    // program's own windows hands it the activation; not after a message box or a dialog,
    // nor when the user comes back from another application.
    void focusWindowChanged(QWindow* now);
    bool isOwnWindow(const QWindow* window) const;
    void closeWindow(QWidget* window);
    void connectCommands();
    // True when a run is in progress; `then` runs once it has returned.
    bool deferWhileRunning(std::function<void()> then);

    Module1& m_;
    PlatformBackend& backend_;
    std::string programFolder_;
    std::string helpFile_;
    std::unique_ptr<Menu> menu_;
    WindowHandle hWnd_ = 0;
    std::unique_ptr<TrayMenus> tray_;
    QPointer<frmSplash> splash_;
    QPointer<frmAbout> about_;
    QPointer<HistoryWindow> history_;
    std::function<QWidget*()> copydlg_;
    std::function<QWidget*()> frmErrLog_;
    std::function<QWidget*()> ShutDownDialog_;
    QTimer trayCheck_;
    bool activationDue_ = false;  // mnuset asked for an activation
    bool lastFocusOwn_ = false;   // the window that last had the focus is one of ours
    bool loading_ = false;
    bool closeRequested_ = false;
    bool closing_ = false;
    bool closed_ = false;
};

}  // namespace vornel
