// The one text-to-number conversion that fields, saving, the timer and the sender share.
#include "common/text_number.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "common/errors.h"

namespace vornel {
namespace {

// Texts of a mebibyte.
const std::string kZeros(1 << 20, '0'), kNines(1 << 20, '9'), kBlanks(1 << 20, ' ');

// Decimal with blanks, sign and full-width forms; fractions rounded half to even; "&H" as the
// 16 bits of the number.
TEST(TextNumber, ReadsDecimalAndHexadecimalRoundingHalfToEven) {
    const std::pair<std::string, int> cases[] = {
        {"  42  ", 42},     {"\t7\t", 7},         {"+5", 5},
        {"- 5", -5},        {"１２", 12},         {"　３　", 3},
        {"－４", -4},       {"32767", 32767},     {"-32768", -32768},
        {"32767.4", 32767}, {"-32768.5", -32768}, {".5", 0},
        {"1.", 1},          {kZeros + "12", 12},  {"1." + kZeros, 1},
        {"1.5", 2},         {"2.5", 2},           {"-1.5", -2},
        {"2.51", 3},        {"2.49", 2},          {"2.500", 2},
        {"2.5000001", 3},   {"&HFFFF", -1},       {"&hff", 255},
        {"&H8000", -32768}, {" &H10 ", 16},       {"&H0000FFFF", -1},
    };
    for (const auto& [text, value] : cases) {
        std::int16_t v = 99;
        EXPECT_EQ(parseInt16(text, v), 0) << text.substr(0, 20);
        EXPECT_EQ(v, value) << text.substr(0, 20);
    }
}

// Out of range is error 6, not a number error 13; a refused text leaves the variable as it
// was.
TEST(TextNumber, RefusesOutOfRangeAndNonNumbers) {
    using namespace std::string_literals;
    const std::pair<int, std::vector<std::string>> cases[] = {
        {6, {"32768", "-32769", "&H10000", "32767.5", "99999999999", kNines}},
        {13,
         {"", "   ", "1a", "a1", "1 2", "-", ".", "&H", "&HG", "--1", "1e3", "\xFF", "\xEF\xBC\x11",
          "\xEF\xBC", "一", "1\0"s, kBlanks}},
    };
    for (const auto& [number, texts] : cases) {
        for (const std::string& text : texts) {
            std::int16_t v = 99;
            EXPECT_EQ(parseInt16(text, v), number) << text.substr(0, 20);
            EXPECT_EQ(v, 99);
        }
    }
}

// The raising form passes the number on; its value and error 13 are checked where the load of
// system.dat and the Wake-on-LAN settings use it.
TEST(TextNumber, RaisingFormCarriesTheOverflowNumber) {
    EXPECT_THAT([] { textToInt16("40000"); },
                ::testing::Throws<VbError>(::testing::Property(&VbError::number, 6)));
}

}  // namespace
}  // namespace vornel
