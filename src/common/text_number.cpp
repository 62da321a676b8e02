#include "common/text_number.h"

#include <cmath>
#include <string_view>

#include "common/errors.h"

namespace vornel {
namespace {

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";  // U+3000

// Reads one character as an ASCII equivalent: full-width forms U+FF01..U+FF5E map onto
// '!'..'~'. Returns 0 for anything else (and advances past it).
char asciiAt(std::string_view s, std::size_t& pos) {
    const auto b = static_cast<unsigned char>(s[pos]);
    if (b < 0x80) {
        ++pos;
        return static_cast<char>(b);
    }
    if (b == 0xEF && pos + 2 < s.size()) {
        const auto b1 = static_cast<unsigned char>(s[pos + 1]);
        const auto b2 = static_cast<unsigned char>(s[pos + 2]);
        const bool wellFormed = (b1 & 0xC0u) == 0x80 && (b2 & 0xC0u) == 0x80;
        unsigned cp = ((b & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        if (wellFormed && cp >= 0xFF01 && cp <= 0xFF5E) {
            pos += 3;
            return static_cast<char>(cp - 0xFF01 + '!');
        }
    }
    ++pos;
    return 0;
}

std::string normalise(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.substr(pos, kFullWidthSpace.size()) == kFullWidthSpace) {
            out += ' ';
            pos += kFullWidthSpace.size();
            continue;
        }
        char c = asciiAt(text, pos);
        out += c == 0 ? '\x01' : c;  // \x01 never parses
    }
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view v) {
    while (!v.empty() && isBlank(v.front())) v.remove_prefix(1);
    while (!v.empty() && isBlank(v.back())) v.remove_suffix(1);
    return v;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The digits after "&H": up to four, taken as the 16 bits of the number ("&HFFFF" is -1).
int parseHex(std::string_view v, std::int16_t& out) {
    if (v.empty()) return kErrTypeMismatch;
    std::uint32_t value = 0;
    for (char c : v) {
        const int d = hexDigit(c);
        if (d < 0) return kErrTypeMismatch;
        value = value * 16 + static_cast<std::uint32_t>(d);
        if (value > 0xFFFF) return kErrOverflow;
    }
    out = static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
    return 0;
}

// The fraction only decides the rounding: above one half rounds up, exactly one half rounds
// to the even neighbour. Returns -1 below one half, 0 exactly one half, 1 above; `any` tells
// whether the fraction is other than zero.
int fractionAgainstHalf(std::string_view frac, bool& any) {
    any = frac.find_first_not_of('0') != std::string_view::npos;
    if (!any || frac[0] < '5') return -1;
    if (frac[0] > '5') return 1;
    return frac.find_first_not_of('0', 1) != std::string_view::npos ? 1 : 0;
}

// An optional sign, decimal digits and an optional fraction.
int parseDecimal(std::string_view v, std::int16_t& out) {
    bool negative = false;
    if (v.front() == '+' || v.front() == '-') {
        negative = v.front() == '-';
        v.remove_prefix(1);
        while (!v.empty() && isBlank(v.front())) v.remove_prefix(1);
    }
    // The magnitude saturates well above the 16-bit range so that a long run of digits cannot
    // overflow the accumulator.
    double whole = 0;
    bool anyDigit = false;
    std::size_t i = 0;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        anyDigit = true;
        if (whole < 1e9) whole = whole * 10 + (v[i] - '0');
    }
    int half = -1;
    bool anyFraction = false;
    if (i < v.size() && v[i] == '.') {
        const std::size_t first = ++i;
        for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) anyDigit = true;
        half = fractionAgainstHalf(v.substr(first, i - first), anyFraction);
    }
    if (!anyDigit || i != v.size()) return kErrTypeMismatch;
    double value = whole;
    if (anyFraction && (half > 0 || (half == 0 && std::fmod(whole, 2.0) != 0))) value += 1;
    if (negative) value = -value;
    if (value < -32768 || value > 32767) return kErrOverflow;
    out = static_cast<std::int16_t>(value);
    return 0;
}

}  // namespace

int parseInt16(const std::string& text, std::int16_t& out) {
    const std::string s = normalise(text);
    std::string_view v = trimBlanks(s);
    if (v.empty()) return kErrTypeMismatch;
    if (v.size() >= 2 && v[0] == '&' && (v[1] == 'H' || v[1] == 'h')) {
        v.remove_prefix(2);
        return parseHex(v, out);
    }
    return parseDecimal(v, out);
}

std::int16_t textToInt16(const std::string& text) {
    std::int16_t v = 0;
    if (int err = parseInt16(text, v); err != 0) raiseError(err);
    return v;
}

}  // namespace vornel
