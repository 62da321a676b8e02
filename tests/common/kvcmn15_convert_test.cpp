// The seven number conversions at their bounds, and their error boxes.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

class ConvertTest : public ::testing::Test {
  protected:
    // Lets the next bad input show its box.
    void expectBox() { be.answerNextBox(kAnsOk); }
    // The one box a bad input shows: problem line, member, value.
    void checkErrorBox(const std::string& problem, const std::string& member,
                       const std::string& value) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text, problem + "\r\n" + member + "\r\nValue = " + value);
        EXPECT_EQ(be.boxes[0].title, "Error");
        EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(be.sounds, std::vector<int>{48});
        be.boxes.clear();
        be.sounds.clear();
    }
    test::FakeBackend be;
    KvCmn15 k{be};
};

TEST_F(ConvertTest, LongTo16bitWritesSixteenDigits) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0000000000000000"},     {1, "0000000000000001"},     {2, "0000000000000010"},
        {5, "0000000000000101"},     {32768, "1000000000000000"}, {43690, "1010101010101010"},
        {65535, "1111111111111111"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(k.LongTo16bit(v), text);
    for (std::int32_t v : {65536, -1, 65537, 98304, INT32_MAX, INT32_MIN}) {
        expectBox();
        EXPECT_EQ(k.LongTo16bit(v), "") << v;
        checkErrorBox("変換するデータが異常です！", "LongTo16bit", std::to_string(v));
    }
}

TEST_F(ConvertTest, LongToIntReadsTheSameBits) {
    const std::pair<std::int32_t, std::int16_t> cases[] = {
        {0, 0}, {32767, 32767}, {32768, -32768}, {65535, -1}};
    for (const auto& [v, i] : cases) EXPECT_EQ(k.LongToInt(v), i);
    EXPECT_TRUE(be.boxes.empty());
    for (std::int32_t v : {65536, -1, INT32_MIN}) {
        expectBox();
        EXPECT_EQ(k.LongToInt(v), 0) << v;
        checkErrorBox("数値が異常です！", "LongToInt", std::to_string(v));
    }
}

TEST_F(ConvertTest, HexTextsPadToFourDigits) {
    const std::pair<std::int32_t, const char*> longs[] = {
        {0, "0000"},      {10, "000A"},     {300, "012C"},           {65535, "FFFF"},
        {65536, "10000"}, {-1, "FFFFFFFF"}, {INT32_MIN, "80000000"},
    };
    for (const auto& [v, text] : longs) EXPECT_EQ(k.LongToHex(v), text) << v;
    const std::pair<std::int16_t, const char*> ints[] = {
        {0, "0000"},  {10, "000A"},     {255, "00FF"},    {300, "012C"},
        {-1, "FFFF"}, {-32096, "82A0"}, {-32768, "8000"}, {32767, "7FFF"},
    };
    for (const auto& [v, text] : ints) EXPECT_EQ(k.IntToHex(v), text) << v;
}

TEST_F(ConvertTest, IntToLongReadsTheBitsUnsigned) {
    const std::pair<std::int16_t, std::int32_t> cases[] = {
        {-1, 65535}, {-32768, 32768}, {5, 5}, {32767, 32767}};
    for (const auto& [v, l] : cases) EXPECT_EQ(k.IntToLong(v), l);
}

TEST_F(ConvertTest, HexToIntUpperCasesTheCallersText) {
    const std::tuple<std::string, std::int16_t, std::string> cases[] = {
        {"ffff", -1, "FFFF"},
        {"7fFf", 32767, "7FFF"},
        {"8000", -32768, "8000"},
        {"0000000A", 10, "0000000A"}};
    for (const auto& [input, value, after] : cases) {
        std::string hex = input;
        EXPECT_EQ(k.HexToInt(hex), value);
        EXPECT_EQ(hex, after);
    }
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(ConvertTest, HexToIntRefusesBadTextShowingItUpperCased) {
    const std::pair<std::string, std::string> bad[] = {
        {"10000", "10000"}, {"xyz", "XYZ"}, {"", ""},         {" 1", " 1"},     {"1 ", "1 "},
        {"-1", "-1"},       {"&h1", "&H1"}, {"ｆｆ", "ＦＦ"}, {"\xFF", "\xFF"},
    };
    for (const auto& [input, shown] : bad) {
        std::string hex = input;
        expectBox();
        EXPECT_EQ(k.HexToInt(hex), 0) << input;
        EXPECT_EQ(hex, shown);
        checkErrorBox("数値が異常です！", "HexToInt", shown);
    }
}

TEST_F(ConvertTest, HexToLongCoversThirtyTwoBits) {
    const std::tuple<std::string, std::int32_t, std::string> cases[] = {
        {"FFFF", 65535, "FFFF"},
        {"ffffffff", -1, "FFFFFFFF"},
        {"80000000", INT32_MIN, "80000000"},
        {"7FFFFFFF", INT32_MAX, "7FFFFFFF"}};
    for (const auto& [input, value, after] : cases) {
        std::string hex = input;
        EXPECT_EQ(k.HexToLong(hex), value);
        EXPECT_EQ(hex, after);
    }
    EXPECT_TRUE(be.boxes.empty());
    for (const std::string& input :
         {std::string(), std::string("100000000"), std::string("12G"), std::string(1 << 20, 'f')}) {
        std::string hex = input;
        expectBox();
        EXPECT_EQ(k.HexToLong(hex), 0);
        checkErrorBox("数値が異常です！", "HexToLong", hex);
    }
}

}  // namespace
}  // namespace vornel
