#pragma once

#include <cstdint>
#include <string>

#include "common/module_state.h"
#include "common/platform.h"

namespace vornel {

// What became of an event; the number is the code the history file has always been written
// with.
enum class HistOutcome : std::int16_t {
    Fail = 1,
    Success = 2,
    Cancel = 3,
    SkippedCopyFile = 4,
    SkippedSetting = 5,
    Start = 6,
};

// What started an event. Lines about one file or folder inside a run carry Unstated, whose tag
// is "[?]".
enum class HistOrigin : std::int16_t {
    ProgramOpen = 0,
    ProgramClose = 1,
    Timer = 2,
    Manual = 3,
    ShutDown = 4,
    TimerShutDown = 5,
    TimerReboot = 6,
    WakeOnLan = 7,
    Unstated = 99,
};

// Tag written after the time for an outcome ("[?]" for a value outside the enum).
std::string outcomeTag(HistOutcome outcome);
// Tag written at the end of a line for an origin ("[?]" for a value outside the enum).
std::string originTag(HistOrigin origin);

// The event line without its line break, as UTF-8: "yyyy/MM/dd H:mm:ss outcome text origin".
std::string historyLine(const WallClock& now, HistOutcome outcome, HistOrigin origin,
                        const std::string& text);

// The line in the bytes the history file holds: code page 932, CR LF at the end. A character
// code page 932 has no form for (a file name can hold any Unicode character, or bytes that are
// not UTF-8 at all) is written as "<U+XXXX>" (or "<0xXX>" for a stray byte), so the event is
// still recorded, the file stays valid code page 932 and the reader sees exactly which
// character could not be shown.
std::string historyRecord(const WallClock& now, HistOutcome outcome, HistOrigin origin,
                          const std::string& text);

// Appends one event line to the history file. The file is only ever appended to, with one
// write per event; a write that fails part-way is taken back, so the file never ends in a
// cut line. Failures are reported by Err_Msg as "write_hist" (or, during a run, handed to
// Module1::hist_write_failed) and the caller goes on.
void write_hist(Module1& m, HistOutcome outcome, HistOrigin origin, const std::string& text);

// Asks "履歴を全てクリアしますか？" and, unless cancelled, leaves the history file holding a
// single CR LF.
void hist_clear(Module1& m);

}  // namespace vornel
