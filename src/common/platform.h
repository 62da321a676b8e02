#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The desktop library's window and tray-icon classes, named only so the ui layer can hand its
// objects through this interface; core code never looks inside them and never links the library.
class QWidget;
class QSystemTrayIcon;

namespace vornel {

// Opaque handle of one of the program's own top-level windows (0 = none).
using WindowHandle = std::uintptr_t;
// Opaque handle of an icon known to the backend (0 = the program's own icon).
using IconHandle = std::uintptr_t;

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };

// Values are the classic message-box icon/sound types, so they can be passed through unchanged.
enum class BoxIcon { Stop = 16, Question = 32, Warning = 48, Information = 64 };

struct MessageBoxRequest {
    std::string title;
    std::string text;  // a CR alone breaks the line like CR LF
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::Information;
    bool systemModal = false;
};

// Answer codes a box returns, the same numbers callers compare with.
enum AnswerCode : int {
    kAnsNone = 0,
    kAnsOk = 1,
    kAnsCancel = 2,
    kAnsRetry = 4,
    kAnsYes = 6,
    kAnsNo = 7
};

// Local wall-clock reading, taken at one instant so date and time never disagree.
struct WallClock {
    int year = 2000;
    int month = 1;            // 1..12
    int day = 1;              // 1..31
    int weekday = 1;          // 1 = Sunday .. 7 = Saturday
    double secondsOfDay = 0;  // 0 <= s < 86400, with fractions
};

struct OsVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int platformId = 2;
    // True when the numbers follow the old Windows numbering that the version names describe.
    bool windowsNumbering = false;
};

enum class PowerRequest { LogOff, Shutdown, PowerOff, Reboot };

struct OpenFileResult {
    std::string path;        // empty when cancelled
    int fileNameOffset = 0;  // offset of the file name within path
};

// Everything the program asks of the desktop and the operating system goes through this
// interface: the Qt backend serves the real program, tests use a scripted fake, and NullBackend
// (common/null_backend.h) does nothing where no desktop is wanted.
class PlatformBackend {
  public:
    virtual ~PlatformBackend() = default;

    // Boxes and sounds.
    virtual int showMessageBox(const MessageBoxRequest& request) = 0;
    // 0 = the plain beep; 16/32/48/64 = the stop/question/warning/information sounds.
    virtual void playSystemSound(int type) = 0;
    // Starts playing a sound file and returns at once; silently nothing without sound.
    virtual void playSoundFile(const std::string& path) = 0;

    // Lets pending window events run. With maxWaitMs > 0 it may also wait up to that long for
    // new events, so polling loops do not spin the processor.
    virtual void processEvents(int maxWaitMs = 0) = 0;

    // Clocks.
    virtual WallClock wallClock() = 0;
    virtual double monotonicSeconds() = 0;

    // Shell and help. Both report failure; the callers show the messages. An opener that is
    // started but fails later calls `onLateFailure` on the UI thread.
    virtual bool shellOpen(const std::string& path, std::function<void()> onLateFailure) = 0;
    virtual bool openHelp(WindowHandle owner, const std::string& helpFile, int command,
                          int context) = 0;

    // Asks the system to end the session or stop the machine, never forced. Returns at once;
    // whether the system agrees is not reported.
    virtual void requestPowerAction(PowerRequest request) = 0;

    // System facts.
    virtual OsVersion osVersion() = 0;
    virtual std::string windowsDirectory() = 0;
    virtual std::string systemDirectory() = 0;

    // Dialogs.
    virtual std::string folderDialog(WindowHandle owner, const std::string& title,
                                     const std::string& startFolder) = 0;
    virtual OpenFileResult openFileDialog(WindowHandle owner, const std::string& title,
                                          const std::string& filter,
                                          const std::string& initialDir) = 0;
    virtual std::string saveFileDialog(WindowHandle owner, const std::string& title,
                                       const std::string& filter, const std::string& initialDir,
                                       const std::string& initialName) = 0;

    // Notification-area icon of one owner window.
    virtual bool trayAdd(WindowHandle owner, IconHandle icon, const std::string& tip) = 0;
    virtual bool trayModify(WindowHandle owner, IconHandle icon, const std::string& tip) = 0;
    virtual bool trayDelete(WindowHandle owner) = 0;
    // A short notice beside the owner's icon, gone by itself after a while. Without an icon,
    // or on a desktop that shows no notices, nothing happens.
    virtual void trayNotify(WindowHandle owner, const std::string& title,
                            const std::string& text) = 0;
    // Whether the desktop has a notification area for the icon to dock in now.
    virtual bool trayAreaAvailable() = 0;
    // The icon trayAdd made for `owner`, for the tray menus to attach to; null when none.
    virtual QSystemTrayIcon* trayIcon(WindowHandle owner) = 0;

    // The program's own top-level windows. A window gets its handle here, the same one each
    // time it is asked for.
    virtual WindowHandle handleFor(QWidget* window) = 0;
    virtual WindowHandle findWindow(const std::string& title) = 0;
    virtual void windowToFront(WindowHandle window) = 0;
    virtual void windowStayOnTop(WindowHandle window, bool onTop) = 0;
    virtual void closeWindow(WindowHandle window) = 0;

    // The session is ending: nobody may be there to answer. A message box that is open is
    // closed with the answer its cancel button (or its only button) gives, and every box asked
    // for from now on gets that answer at once. Returns whether a box was open.
    virtual bool endSession() = 0;
};

}  // namespace vornel
