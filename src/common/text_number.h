#pragma once

#include <cstdint>
#include <string>

namespace vornel {

// Turns a text into a signed 16-bit number the way every field of the program is read:
// surrounding blanks (half- or full-width), an optional sign, decimal digits (full-width
// digits too) with an optional fraction rounded half to even, or "&H" hexadecimal.
// Returns 0 on success, 6 (overflow) when the value lies outside -32768..32767, 13 (type
// mismatch) when the text is not a number; `out` is written only on success.
int parseInt16(const std::string& text, std::int16_t& out);

// The same, raising the error (VbError 6 or 13) instead of returning it.
std::int16_t textToInt16(const std::string& text);

}  // namespace vornel
