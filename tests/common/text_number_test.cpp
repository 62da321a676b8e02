// The one text-to-number conversion that fields, saving, the timer and the sender share.
#include "common/text_number.h"

#include <gtest/gtest.h>

#include "common/errors.h"

namespace vornel {
namespace {

struct Good {
    std::string text;
    int value;
};

template <std::size_t N>
void expectValues(const Good (&cases)[N]) {
    for (const Good& c : cases) {
        std::int16_t v = 99;
        EXPECT_EQ(parseInt16(c.text, v), 0) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(TextNumber, ReadsDecimalWithBlanksSignAndFullWidthForms) {
    const Good cases[] = {
        {"0", 0},         {"42", 42},         {"  42  ", 42},     {"\t7\t", 7},
        {"+5", 5},        {"-5", -5},         {"- 5", -5},        {"007", 7},
        {"１２", 12},     {"　３　", 3},      {"－４", -4},       {"１.５", 2},
        {"32767", 32767}, {"-32768", -32768}, {"32767.4", 32767}, {"-32768.5", -32768},
        {".5", 0},        {"1.", 1},          {"0.0", 0},
    };
    expectValues(cases);
}

TEST(TextNumber, RoundsFractionsHalfToEven) {
    const Good cases[] = {
        {"1.5", 2},  {"2.5", 2},  {"3.5", 4},   {"-0.5", 0},      {"-1.5", -2},
        {"2.51", 3}, {"2.49", 2}, {"2.500", 2}, {"2.5000001", 3}, {"0.4999999", 0},
    };
    expectValues(cases);
}

TEST(TextNumber, ReadsHexadecimalAsSixteenBits) {
    const Good cases[] = {
        {"&H0", 0},         {"&HFFFF", -1}, {"&hff", 255},      {"&H7FFF", 32767},
        {"&H8000", -32768}, {" &H10 ", 16}, {"&H0000FFFF", -1},
    };
    expectValues(cases);
}

TEST(TextNumber, OutOfRangeIsError6) {
    for (const std::string& text : std::vector<std::string>{
             "32768", "-32769", "&H10000", "32767.5", "99999999999", std::string(1 << 20, '9')}) {
        std::int16_t v = 99;
        EXPECT_EQ(parseInt16(text, v), 6) << text.substr(0, 20);
        EXPECT_EQ(v, 99);
    }
}

TEST(TextNumber, NotANumberIsError13) {
    for (const std::string& text :
         std::vector<std::string>{"",         "   ",    "abc",  "1a",
                                  "a1",       "1 2",    "+",    "-",
                                  ".",        "&H",     "&HG",  "1.2.3",
                                  "--1",      "1e3",    "\xFF", "\xEF\xBC\x11",
                                  "\xEF\xBC", "５\xFF", "一",   std::string("1\0", 2)}) {
        std::int16_t v = 99;
        EXPECT_EQ(parseInt16(text, v), 13) << text;
        EXPECT_EQ(v, 99);
    }
}

TEST(TextNumber, LongTextsDoNotTrouble) {
    std::int16_t v = 0;
    EXPECT_EQ(parseInt16(std::string(1 << 20, '0') + "12", v), 0);
    EXPECT_EQ(v, 12);
    EXPECT_EQ(parseInt16(std::string(1 << 20, ' '), v), 13);
    EXPECT_EQ(parseInt16("1." + std::string(1 << 20, '0'), v), 0);
    EXPECT_EQ(v, 1);
}

TEST(TextNumber, RaisingFormCarriesTheNumber) {
    EXPECT_EQ(textToInt16(" 12 "), 12);
    try {
        textToInt16("x");
        ADD_FAILURE();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    try {
        textToInt16("40000");
        ADD_FAILURE();
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

}  // namespace
}  // namespace vornel
