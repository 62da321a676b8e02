#include "common/utf8.h"

namespace vornel::utf8 {

std::size_t sequenceAt(const std::string& text, std::size_t pos, char32_t* codePoint) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char b = at(pos);
    std::size_t len = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b < 0x80) {
        len = 1;
        cp = b;
    } else if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        cp = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        cp = b & 0x0Fu;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        cp = b & 0x07u;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (pos + len > text.size()) return 0;
    if (len > 1 && (at(pos + 1) < lo || at(pos + 1) > hi)) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if ((at(pos + i) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (at(pos + i) & 0x3Fu);
    }
    if (codePoint) *codePoint = cp;
    return len;
}

}  // namespace vornel::utf8
