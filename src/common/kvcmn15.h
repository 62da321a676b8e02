#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/errors.h"
#include "common/platform.h"

namespace vornel {

// The program's utility class. Every window and the module procedures hold an instance of
// their own; platform work is delegated to the backend given at creation. Flags are -1 (true)
// and 0 (false).
class KvCmn15 {
  public:
    // The pending error that Err_Msg reports and then clears.
    struct ErrObject {
        int Number = 0;
        std::string Description;
        std::string HelpFile;
        int HelpContext = 0;
        void Clear() { *this = ErrObject{}; }
        void Set(const VbError& e) {
            Number = e.number();
            Description = e.description();
        }
    };

    explicit KvCmn15(PlatformBackend& backend);

    // Public variables; callers only read them.
    std::string AppVersion;
    std::string KindErr;
    std::string KindChk;
    std::string KindInfo;
    std::string KindOkc;
    std::string KindYnc;
    std::string KindYn;
    std::string KindRc;
    std::string WaitStartTime;
    std::string WaitFinishTime;
    std::int32_t MB_Syserr = 0;
    std::int32_t MB_Question = 0;
    std::int32_t MB_Warning = 0;
    std::int32_t MB_Info = 0;
    std::string OSVerID;
    std::string OSVerName;
    std::string OSPlatformID;
    std::string OSPlatformName;
    std::int32_t ExwLogOff = 0;
    std::int32_t ExwShutdown = 0;
    std::int32_t ExwReboot = 0;
    std::int16_t OpenFileLen = 0;
    std::int32_t WM_MOUSEMOVE = 0;
    std::int32_t WM_LBUTTONDOWN = 0;
    std::int32_t WM_LBUTTONUP = 0;
    std::int32_t WM_LBUTTONDBLCLK = 0;
    std::int32_t WM_RBUTTONDOWN = 0;
    std::int32_t WM_RBUTTONUP = 0;
    std::int32_t WM_RBUTTONDBLCLK = 0;
    float HH_DISPLAY_TREE = 0;
    float HH_DISPLAY_CONTEXT = 0;
    float HH_DISPLAY_INDEX = 0;

    // The pending error of this instance's callers.
    ErrObject Err;

    // Methods.
    void Err_Msg(const std::string& Procedure_name);
    void Wait(float second);
    std::string GetTime();
    std::string GetDay();
    std::string GetWeekDay();
    std::int16_t Msg_Box(const std::string& BT_kind, const std::string& prompt);
    std::int32_t LenByte(const std::string& str);
    void MsgBeep(std::int32_t sound);
    std::int16_t IniWrite(const std::string& sectionName, const std::string& keyName,
                          const std::string& keyStr, const std::string& fileName);
    std::string IniRead(const std::string& sectionName, const std::string& keyName,
                        const std::string& fileName);
    std::int16_t Shell_Excute(WindowHandle hWnd, const std::string& fileName);
    void ExitWindows(std::int32_t bootnum);
    void SetAccessToken();
    // `startFolder`: where the dialog opens (the folder already chosen); empty or not a
    // folder: the user's home.
    std::string FolderDialog(WindowHandle hWnd, const std::string& startFolder = "");
    std::string OpenDialog(WindowHandle hWnd, const std::string& Filter,
                           const std::string& IniPath);
    std::string SaveDialog(WindowHandle hWnd, const std::string& Filter, const std::string& IniPath,
                           const std::string& Inifile);
    void PlayWaveSound(const std::string& WavFileName);
    std::int32_t FileCopy(const std::string& OldFile, const std::string& NewFile);
    std::string LongTo16bit(std::int32_t cvLong);
    std::int16_t LongToInt(std::int32_t cvLong);
    std::string LongToHex(std::int32_t cvLong);
    std::int16_t HexToInt(std::string& cvHex);
    std::int32_t HexToLong(std::string& cvHex);
    std::int32_t IntToLong(std::int16_t cvInt);
    std::string IntToHex(std::int16_t cvInt);
    std::int16_t TrayAddIcon(WindowHandle hWnd, IconHandle Icon, const std::string& ToolTip);
    std::int16_t TrayModifyIcon(IconHandle Icon, const std::string& ToolTip);
    std::int16_t TrayDelIcon();
    WindowHandle Find_Window(const std::string& AppName);
    void WindowTop(WindowHandle hWnd);
    void WindowTopMost(WindowHandle hWnd);
    void WindowTopMostRst(WindowHandle hWnd);
    std::int16_t AppClose(const std::string& AppName);
    std::int16_t Search_path(const std::string& FPath);
    std::string WinDir();
    std::string SysDir();
    std::int16_t HtmlHelp_open(WindowHandle winhand, const std::string& Help_file, float dispMode,
                               float contextID);

    // Reports `e` as the pending error: the usual body of a procedure's error handler.
    void Err_Msg(const std::string& Procedure_name, const VbError& e);

    // The local date and time, read at one instant.
    WallClock GetClock();
    // Seconds on a clock that only moves forward: for measuring how long something took.
    double GetTickSeconds();
    // Lets pending window events run.
    void DoEvents();
    // A short notice beside the tray icon of `hWnd`; nothing without an icon.
    void TrayNotify(WindowHandle hWnd, const std::string& title, const std::string& text);

    // HtmlHelp_open leaves its failure text in the module's message text.
    void bindMessageText(std::string* msgStr) { msgStr_ = msgStr; }

    PlatformBackend& backend() { return backend_; }

    static constexpr std::int16_t kTrue = -1;
    static constexpr std::int16_t kFalse = 0;

  private:
    struct TrayRecord {
        std::int32_t size = 0;
        WindowHandle window = 0;
        std::int32_t id = 0;
        std::int32_t flags = 0;
        std::int32_t callbackMessage = 0;
        IconHandle icon = 0;
        std::string tip;  // the 64 characters of the tip field
    };

    void GetOSVer();
    void conversionError(const std::string& problem, const std::string& member,
                         const std::string& value);

    PlatformBackend& backend_;
    TrayRecord tray_;
    std::string* msgStr_ = nullptr;
    // Lets callbacks that outlive a call tell whether the instance still exists.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The version text: major, ".", minor and revision written one after the other.
std::string versionText(int major, int minor, int revision);
// Formats seconds since midnight as hh:mm:ss (whole seconds).
std::string formatClock(double seconds);
// Rounds half to even, as the clock readings do.
double roundHalfEven(double v);
// What the 64-character tip field of the tray record shows of `toolTip`.
std::string tipFieldText(const std::string& toolTip);

}  // namespace vornel
