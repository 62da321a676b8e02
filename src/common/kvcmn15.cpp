// Creation, messages, error reports and the clock of KvCmn15.
#include "common/kvcmn15.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/cp932.h"
#include "vornel_version.h"

namespace vornel {

double roundHalfEven(double v) { return std::nearbyint(v); }  // default mode: to nearest even

std::string formatClock(double c) {
    // Readings lie in 0..86400; anything else is clamped rather than printed as garbage.
    const int total = static_cast<int>(std::clamp(std::floor(c), 0.0, 359999.0));
    const int m = total / 60;
    const int s = total - m * 60;
    const int h = m / 60;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, m - h * 60, s);
    return buf;
}

std::string versionText(int major, int minor, int revision) {
    return std::to_string(major) + "." + std::to_string(minor) + std::to_string(revision);
}

KvCmn15::KvCmn15(PlatformBackend& backend) : backend_(backend) {
    AppVersion = versionText(kVersionMajor, kVersionMinor, kVersionRevision);
    KindErr = "err";
    KindChk = "chk";
    KindInfo = "info";
    KindOkc = "okc";
    KindYnc = "ync";
    KindYn = "yn";
    KindRc = "rc";
    MB_Syserr = 16;
    MB_Question = 32;
    MB_Warning = 48;
    MB_Info = 64;
    WaitStartTime.clear();
    WaitFinishTime.clear();
    GetOSVer();
    ExwShutdown = 1;
    ExwLogOff = 0;
    ExwReboot = 2;
    WM_MOUSEMOVE = 0x200;
    WM_LBUTTONDOWN = 0x201;
    WM_LBUTTONUP = 0x202;
    WM_LBUTTONDBLCLK = 0x203;
    WM_RBUTTONDOWN = 0x204;
    WM_RBUTTONUP = 0x205;
    WM_RBUTTONDBLCLK = 0x206;
    HH_DISPLAY_TREE = 1;
    HH_DISPLAY_INDEX = 2;
    HH_DISPLAY_CONTEXT = 15;
}

void KvCmn15::GetOSVer() {
    const OsVersion v = backend_.osVersion();
    OSVerID = std::to_string(v.major) + "." + std::to_string(v.minor);
    OSPlatformID = std::to_string(v.platformId);
    // The version names describe the old Windows numbering; a backend on another system
    // reports no such numbers, and the names then stay empty.
    if (v.windowsNumbering) {
        switch (v.platformId) {
            case 0:
                OSVerName = "32s";
                break;
            case 1:
                if (v.minor < 10)
                    OSVerName = "95";
                else if (v.minor == 10)
                    OSVerName = "98";
                else if (v.minor == 90)
                    OSVerName = "Me";
                break;
            case 2:
                if (v.major == 4)
                    OSVerName = "NT";
                else if (v.major == 5)
                    OSVerName = "2000";
                break;
            default:
                break;
        }
    }
    switch (v.platformId) {
        case 0:
            OSPlatformName = "32s";
            break;
        case 1:
            OSPlatformName = "95";
            break;
        case 2:
            OSPlatformName = "NT";
            break;
        default:
            break;
    }
}

void KvCmn15::Err_Msg(const std::string& Procedure_name) {
    MsgBeep(MB_Syserr);
    MessageBoxRequest box;
    box.text = "エラー番号" + std::to_string(Err.Number) + " " + Err.Description + "\r\n\r\n" +
               "プロシージャ名 = [" + Procedure_name + "]";
    box.title = "予期せぬエラー";
    box.buttons = BoxButtons::Ok;
    box.icon = BoxIcon::Stop;
    box.systemModal = true;
    backend_.showMessageBox(box);
    Err.Clear();
}

void KvCmn15::Err_Msg(const std::string& Procedure_name, const VbError& e) {
    Err.Set(e);
    Err_Msg(Procedure_name);
}

void KvCmn15::Wait(float second) {
    WaitStartTime.clear();
    WaitFinishTime.clear();
    const double clock = backend_.wallClock().secondsOfDay;
    const double mono0 = backend_.monotonicSeconds();
    const float start = static_cast<float>(roundHalfEven(clock));
    // The wait ends when the wall clock would pass start + second; it is measured on the
    // monotonic clock so that midnight (or a clock change) cannot make it endless.
    // A wait of nothing (or less) ends on the first test, even when rounding the start up
    // would leave a fraction of a second to go.
    const double remaining = second > 0 ? static_cast<double>(start + second) - clock : 0;
    for (;;) {
        const double elapsed = backend_.monotonicSeconds() - mono0;
        if (!(elapsed < remaining)) break;
        const double leftMs = (remaining - elapsed) * 1000.0;
        backend_.processEvents(static_cast<int>(std::clamp(leftMs, 1.0, 10.0)));
    }
    const double finish = backend_.wallClock().secondsOfDay;
    WaitStartTime = formatClock(start);
    WaitFinishTime = formatClock(finish);
}

std::string KvCmn15::GetTime() {
    return formatClock(roundHalfEven(backend_.wallClock().secondsOfDay));
}

std::string KvCmn15::GetDay() { return std::to_string(backend_.wallClock().day); }

std::string KvCmn15::GetWeekDay() {
    static const char* const kNames[] = {"日", "月", "火", "水", "木", "金", "土"};
    const int wd = backend_.wallClock().weekday;
    return wd >= 1 && wd <= 7 ? kNames[wd - 1] : "";
}

std::int16_t KvCmn15::Msg_Box(const std::string& BT_kind, const std::string& prompt) {
    struct Kind {
        const std::string* code;
        std::int32_t sound;
        BoxButtons buttons;
        BoxIcon icon;
        const char* title;
    };
    const Kind kinds[] = {
        {&KindErr, MB_Warning, BoxButtons::Ok, BoxIcon::Stop, "Error"},
        {&KindChk, MB_Question, BoxButtons::Ok, BoxIcon::Question, "確認"},
        {&KindInfo, MB_Info, BoxButtons::Ok, BoxIcon::Information, "情報"},
        {&KindOkc, MB_Question, BoxButtons::OkCancel, BoxIcon::Question, "確認"},
        {&KindYn, MB_Question, BoxButtons::YesNo, BoxIcon::Question, "確認"},
        {&KindYnc, MB_Question, BoxButtons::YesNoCancel, BoxIcon::Question, "確認"},
        {&KindRc, MB_Question, BoxButtons::RetryCancel, BoxIcon::Question, "再試行"},
    };
    for (const Kind& k : kinds) {
        if (BT_kind != *k.code) continue;
        MsgBeep(k.sound);
        MessageBoxRequest box;
        box.title = k.title;
        box.text = prompt;
        box.buttons = k.buttons;
        box.icon = k.icon;
        return static_cast<std::int16_t>(backend_.showMessageBox(box));
    }
    return 0;
}

std::int32_t KvCmn15::LenByte(const std::string& str) {
    return static_cast<std::int32_t>(cp932::byteLength(str));
}

void KvCmn15::MsgBeep(std::int32_t sound) { backend_.playSystemSound(sound); }

WallClock KvCmn15::GetClock() { return backend_.wallClock(); }

double KvCmn15::GetTickSeconds() { return backend_.monotonicSeconds(); }

void KvCmn15::DoEvents() { backend_.processEvents(); }

}  // namespace vornel
