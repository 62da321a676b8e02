#pragma once

#include <string>

namespace vornel {

// Result of checking a typed hour or minute when its box is left.
struct TimeFieldCheck {
    bool ok = true;
    std::string text;  // what the box shows afterwards when ok
};

// An empty box passes untouched. A number up to `largest` is written with at least two
// digits (7 gives 07, -1 gives -01); anything else, or a larger number, fails.
TimeFieldCheck checkTimeText(const std::string& text, int largest);

inline constexpr int kLargestHour = 23;
inline constexpr int kLargestMinute = 59;
inline constexpr const char* kHourOutOfRange = "入力された時間が範囲外です！";
inline constexpr const char* kMinuteOutOfRange = "入力された分が範囲外です！";
inline constexpr const char* kMacLengthWrong = "MACアドレスの文字数が違います！";

}  // namespace vornel
