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

// The real program's backend: Qt widgets and dialogs, libcanberra sounds, xdg-open, logind
// over D-Bus. Windows are known to the core only by handles that this backend hands out.
class QtBackend : public PlatformBackend {
  public:
    QtBackend();
    ~QtBackend() override;

    // Handles for the program's own windows.
    WindowHandle handleFor(QWidget* window);
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
    bool trayAreaAvailable() override;
    WindowHandle findWindow(const std::string& title) override;
    void windowToFront(WindowHandle window) override;
    void windowStayOnTop(WindowHandle window, bool onTop) override;
    void closeWindow(WindowHandle window) override;
    bool endSession() override;

    // The tray icon added for `owner`, for the tray menus to attach to; null when none.
    QSystemTrayIcon* trayIcon(WindowHandle owner) const;

    // The help viewer and the power requests are provided by the application.
    std::function<bool(QWidget* owner, const std::string& file, int command, int context)>
        helpOpener;
    std::function<void(PowerRequest)> powerRequester;
    // When set, answers message boxes instead of showing them (a run without a display).
    std::function<int(const MessageBoxRequest&)> boxAnswerer;

private:
    bool sessionEnding_ = false;
    std::vector<QPointer<QMessageBox>> openBoxes_;
    QIcon iconFor(IconHandle icon, WindowHandle owner) const;

    std::map<WindowHandle, QPointer<QWidget>> windows_;
    std::map<WindowHandle, QPointer<QSystemTrayIcon>> trays_;
    std::map<IconHandle, QIcon> icons_;
    WindowHandle nextHandle_ = 1;
};

}  // namespace vornel
