// Power, tray, window and dialog members of KvCmn15. On Linux the window members act on the
// program's own top-level windows: other programs' windows are not ours to raise or close.
#include "common/cp932.h"
#include "common/kvcmn15.h"
#include "common/text_number.h"

namespace vornel {

std::string tipFieldText(const std::string& toolTip) {
    // The tip field holds 64 single-byte places: the text and its terminator, so 63 places of
    // text show, or all 64 when the text is too long for the terminator to fit.
    constexpr long kField = 64;
    const long total = cp932::byteLength(toolTip);
    const long limit = total < kField ? total : kField;
    long used = 0;
    std::size_t pos = 0;
    while (pos < toolTip.size()) {
        std::size_t consumed = 1;
        int w = cp932::charWidth(toolTip, pos, &consumed);
        if (used + w > limit) break;
        used += w;
        pos += consumed;
    }
    return toolTip.substr(0, pos);
}

void KvCmn15::ExitWindows(std::int32_t bootnum) {
    std::int16_t platform = 0;
    if (bootnum != 0 && parseInt16(OSPlatformID, platform) == 0 && platform == 2) SetAccessToken();
    switch (bootnum) {
        case 0:
            backend_.requestPowerAction(PowerRequest::LogOff);
            break;
        case 1:
            backend_.requestPowerAction(OSVerName == "2000" ? PowerRequest::PowerOff
                                                            : PowerRequest::Shutdown);
            break;
        case 2:
            backend_.requestPowerAction(PowerRequest::Reboot);
            break;
        default:
            break;
    }
}

// The system's session manager and its authorisation policy decide who may stop the machine;
// there is no privilege for the program to take up front.
void KvCmn15::SetAccessToken() {}

std::string KvCmn15::FolderDialog(WindowHandle hWnd, const std::string& startFolder) {
    std::string path = backend_.folderDialog(hWnd, "フォルダの選択", startFolder);
    const auto nul = path.find('\0');
    if (nul != std::string::npos) path.resize(nul);
    path.erase(path.find_last_not_of(' ') + 1);
    return path;
}

std::string KvCmn15::OpenDialog(WindowHandle hWnd, const std::string& Filter,
                                const std::string& IniPath) {
    OpenFileResult r = backend_.openFileDialog(hWnd, "ファイルを開く", Filter, IniPath);
    if (r.path.empty()) {
        OpenFileLen = 0;
        return {};
    }
    OpenFileLen = static_cast<std::int16_t>(static_cast<int>(r.path.size()) - r.fileNameOffset);
    return r.path;
}

std::string KvCmn15::SaveDialog(WindowHandle hWnd, const std::string& Filter,
                                const std::string& IniPath, const std::string& Inifile) {
    return backend_.saveFileDialog(hWnd, "ファイルを保存する", Filter, IniPath, Inifile);
}

std::int16_t KvCmn15::TrayAddIcon(WindowHandle hWnd, IconHandle Icon, const std::string& ToolTip) {
    tray_.size = 88;
    tray_.icon = Icon;
    tray_.window = hWnd;
    tray_.tip = tipFieldText(ToolTip);
    tray_.callbackMessage = WM_MOUSEMOVE;
    tray_.flags = 7;
    tray_.id = 1;
    return backend_.trayAdd(tray_.window, tray_.icon, tray_.tip) ? kTrue : kFalse;
}

std::int16_t KvCmn15::TrayModifyIcon(IconHandle Icon, const std::string& ToolTip) {
    tray_.icon = Icon;
    tray_.tip = tipFieldText(ToolTip);
    if (tray_.window == 0 && tray_.id == 0) return kFalse;
    return backend_.trayModify(tray_.window, tray_.icon, tray_.tip) ? kTrue : kFalse;
}

std::int16_t KvCmn15::TrayDelIcon() {
    // An instance that never added an icon has an empty record, which names no icon.
    if (tray_.window == 0 && tray_.id == 0) return kFalse;
    return backend_.trayDelete(tray_.window) ? kTrue : kFalse;
}

void KvCmn15::TrayNotify(WindowHandle hWnd, const std::string& title, const std::string& text) {
    backend_.trayNotify(hWnd, title, text);
}

WindowHandle KvCmn15::Find_Window(const std::string& AppName) {
    return backend_.findWindow(AppName);
}

void KvCmn15::WindowTop(WindowHandle hWnd) { backend_.windowToFront(hWnd); }

void KvCmn15::WindowTopMost(WindowHandle hWnd) { backend_.windowStayOnTop(hWnd, true); }

void KvCmn15::WindowTopMostRst(WindowHandle hWnd) { backend_.windowStayOnTop(hWnd, false); }

std::int16_t KvCmn15::AppClose(const std::string& AppName) {
    WindowHandle w = Find_Window(AppName);
    if (w == 0) return kFalse;
    backend_.closeWindow(w);
    return kTrue;
}

}  // namespace vornel
