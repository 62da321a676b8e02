#pragma once

#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "common/platform.h"

namespace vornel {

class HelpViewer;
class PowerActions;

// What the backend hands requests on to. Each may be left out: help then reports failure,
// power requests go nowhere, and boxes are shown.
struct QtBackendServices {
    HelpViewer* help = nullptr;
    PowerActions* power = nullptr;
    // Answers message boxes instead of showing them (a run without a display).
    std::function<int(const MessageBoxRequest&)> answerBoxes;
};

// The real program's backend: Qt widgets and dialogs, libcanberra sounds, xdg-open, logind
// over D-Bus. Windows are known to the core only by handles that this backend hands out.
class QtBackend : public PlatformBackend {
  public:
    explicit QtBackend(QtBackendServices services = {});
    ~QtBackend() override;

    WindowHandle handleFor(QWidget* window) override;
    QWidget* widgetFor(WindowHandle handle) const;
    // Handles for icons the tray may show; 0 stands for the owner window's own icon.
    IconHandle handleForIcon(const QIcon& icon);

    int showMessageBox(const MessageBoxRequest& request) override;
    void playSystemSound(int type) override;
    void playSoundFile(const std::string& path) override;
    void processEvents(int maxWaitMs) override;
    WallClock wallClock() override;
    double monotonicSeconds() override;
    bool shellOpen(const std::string& path, std::function<void()> onLateFailure) override;
    bool openHelp(WindowHandle owner, const std::string& helpFile, int command,
                  int context) override;
    void requestPowerAction(PowerRequest request) override;
    OsVersion osVersion() override;
    std::string windowsDirectory() override;
    std::string systemDirectory() override;
    std::string folderDialog(WindowHandle owner, const std::string& title,
                             const std::string& startFolder) override;
    OpenFileResult openFileDialog(WindowHandle owner, const std::string& title,
                                  const std::string& filter,
                                  const std::string& initialDir) override;
    std::string saveFileDialog(WindowHandle owner, const std::string& title,
                               const std::string& filter, const std::string& initialDir,
                               const std::string& initialName) override;
    bool trayAdd(WindowHandle owner, IconHandle icon, const std::string& tip) override;
    bool trayModify(WindowHandle owner, IconHandle icon, const std::string& tip) override;
    bool trayDelete(WindowHandle owner) override;
    void trayNotify(WindowHandle owner, const std::string& title, const std::string& text) override;
    bool trayAreaAvailable() override;
    QSystemTrayIcon* trayIcon(WindowHandle owner) override;
    WindowHandle findWindow(const std::string& title) override;
    void windowToFront(WindowHandle window) override;
    void windowStayOnTop(WindowHandle window, bool onTop) override;
    void closeWindow(WindowHandle window) override;
    bool endSession() override;

  private:
    QtBackendServices services_;
    bool sessionEnding_ = false;
    std::vector<QPointer<QMessageBox>> openBoxes_;
    QIcon iconFor(IconHandle icon, WindowHandle owner) const;

    std::map<WindowHandle, QPointer<QWidget>> windows_;
    std::map<WindowHandle, QPointer<QSystemTrayIcon>> trays_;
    std::map<IconHandle, QIcon> icons_;
    WindowHandle nextHandle_ = 1;
};

}  // namespace vornel
