#pragma once

#include <cstdint>
#include <string>

#include "common/module_state.h"
#include "common/platform.h"

namespace vornel {

// Tag written after the time for an outcome code ("[?]" for codes outside the table).
std::string outcomeTag(std::int16_t outcome);
// Tag written at the end of a line for an origin code ("[?]" for codes outside the table).
std::string originTag(std::int16_t origin);

// The event line without its line break, as UTF-8: "yyyy/MM/dd H:mm:ss outcome text origin".
std::string historyLine(const WallClock& now, std::int16_t outcome, std::int16_t origin,
                        const std::string& text);

// The line in the bytes the history file holds: code page 932, CR LF at the end. A character
// code page 932 has no form for (a file name can hold any Unicode character, or bytes that are
// not UTF-8 at all) is written as "<U+XXXX>" (or "<0xXX>" for a stray byte), so the event is
// still recorded, the file stays valid code page 932 and the reader sees exactly which
// character could not be shown.
std::string historyRecord(const WallClock& now, std::int16_t outcome, std::int16_t origin,
                          const std::string& text);

// Appends one event line to the history file. The file is only ever appended to, with one
// write per event; a write that fails part-way is taken back, so the file never ends in a
// cut line. Failures are reported by Err_Msg as "write_hist" (or, during a run, handed to
// Module1::hist_write_failed) and the caller goes on.
void write_hist(Module1& m, std::int16_t outcome, std::int16_t origin, const std::string& text);

// Asks "履歴を全てクリアしますか？" and, unless cancelled, leaves the history file holding a
// single CR LF.
void hist_clear(Module1& m);

}  // namespace vornel
