#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/platform.h"

namespace vornel {

// A desktop that is not there: boxes answer OK unseen, nothing sounds or opens, the clocks
// stand still, the tray has room but no icon. It serves runs without windows (the benchmark)
// and is the base of backends that replace only a few of these answers.
class NullBackend : public PlatformBackend {
  public:
    int showMessageBox(const MessageBoxRequest&) override { return kAnsOk; }
    void playSystemSound(int) override {}
    void playSoundFile(const std::string&) override {}
    void processEvents(int) override {}
    WallClock wallClock() override { return {}; }
    double monotonicSeconds() override { return 0; }
    bool shellOpen(const std::string&, std::function<void()>) override { return false; }
    bool openHelp(WindowHandle, const std::string&, int, int) override { return false; }
    void requestPowerAction(PowerRequest) override {}
    OsVersion osVersion() override { return {}; }
    std::string windowsDirectory() override { return {}; }
    std::string systemDirectory() override { return {}; }
    std::string folderDialog(WindowHandle, const std::string&, const std::string&) override {
        return {};
    }
    OpenFileResult openFileDialog(WindowHandle, const std::string&, const std::string&,
                                  const std::string&) override {
        return {};
    }
    std::string saveFileDialog(WindowHandle, const std::string&, const std::string&,
                               const std::string&, const std::string&) override {
        return {};
    }
    bool trayAdd(WindowHandle, IconHandle, const std::string&) override { return false; }
    bool trayModify(WindowHandle, IconHandle, const std::string&) override { return false; }
    bool trayDelete(WindowHandle) override { return false; }
    void trayNotify(WindowHandle, const std::string&, const std::string&) override {}
    // With no window to show in its place, a missing area would leave nothing to fall back on.
    bool trayAreaAvailable() override { return true; }
    QSystemTrayIcon* trayIcon(WindowHandle) override { return nullptr; }
    // The window's address: distinct for every live window and stable, with nothing to keep.
    WindowHandle handleFor(QWidget* window) override {
        return reinterpret_cast<std::uintptr_t>(window);
    }
    WindowHandle findWindow(const std::string&) override { return 0; }
    void windowToFront(WindowHandle) override {}
    void windowStayOnTop(WindowHandle, bool) override {}
    void closeWindow(WindowHandle) override {}
    bool endSession() override { return false; }
};

}  // namespace vornel
