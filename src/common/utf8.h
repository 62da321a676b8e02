#pragma once

#include <cstddef>
#include <string>

namespace vornel::utf8 {

// Length of the well-formed UTF-8 sequence starting at text[pos], 0 when none starts there
// (a stray continuation byte, an overlong form, a surrogate, or a sequence cut short). When
// `codePoint` is given it receives the character's code point.
std::size_t sequenceAt(const std::string& text, std::size_t pos, char32_t* codePoint = nullptr);

}  // namespace vornel::utf8
