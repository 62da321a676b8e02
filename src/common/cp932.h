#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vornel::cp932 {

// Result of turning UTF-8 text into code page 932 bytes.
struct EncodeResult {
    std::string bytes;
    bool ok = true;
    // On failure: byte offset in the UTF-8 input of the first character that has no code page
    // 932 form (or of the first byte that is not valid UTF-8).
    std::size_t badOffset = 0;
};

// Strict: a character without a code page 932 form stops the conversion (ok = false).
EncodeResult encode(const std::string& utf8);

struct DecodeResult {
    std::string utf8;
    // False when some bytes were not valid code page 932; each such byte was shown as U+FFFD.
    bool ok = true;
};

DecodeResult decode(const std::string& bytes);

// Bytes the character starting at utf8[pos] takes in code page 932 (1 or 2); a character
// without a form there counts 1, as the system's single-byte substitute would. `consumed`
// receives the number of UTF-8 bytes of that character (1 for an invalid byte).
int charWidth(const std::string& utf8, std::size_t pos, std::size_t* consumed);

// Sum of charWidth over the whole text.
long byteLength(const std::string& utf8);

}  // namespace vornel::cp932
