// The seven number conversions at their bounds, and their error boxes.
#include <gtest/gtest.h>

#include "common/kvcmn15.h"
#include "support/fake_backend.h"

namespace vornel {
namespace {

using test::FakeBackend;

class ConvertTest : public ::testing::Test {
  protected:
    // The one box a bad input shows: problem line, member, value.
    void expectErrorBox(const std::string& problem, const std::string& member,
                        const std::string& value) {
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text, problem + "\r\n" + member + "\r\nValue = " + value);
        EXPECT_EQ(be.boxes[0].title, "Error");
        EXPECT_EQ(be.boxes[0].icon, BoxIcon::Stop);
        EXPECT_EQ(be.sounds, std::vector<int>{48});
        be.boxes.clear();
        be.sounds.clear();
    }
    FakeBackend be;
    KvCmn15 k{be};
};

TEST_F(ConvertTest, LongTo16bitWritesSixteenDigits) {
    EXPECT_EQ(k.LongTo16bit(0), "0000000000000000");
    EXPECT_EQ(k.LongTo16bit(1), "0000000000000001");
    EXPECT_EQ(k.LongTo16bit(2), "0000000000000010");
    EXPECT_EQ(k.LongTo16bit(5), "0000000000000101");
    EXPECT_EQ(k.LongTo16bit(32768), "1000000000000000");
    EXPECT_EQ(k.LongTo16bit(43690), "1010101010101010");
    EXPECT_EQ(k.LongTo16bit(65535), "1111111111111111");
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(ConvertTest, LongTo16bitRefusesValuesOutside16Bits) {
    for (std::int32_t v : {65536, -1, 65537, 98304, INT32_MAX, INT32_MIN}) {
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.LongTo16bit(v), "") << v;
        expectErrorBox("変換するデータが異常です！", "LongTo16bit", std::to_string(v));
    }
}

TEST_F(ConvertTest, LongToIntReadsTheSameBits) {
    EXPECT_EQ(k.LongToInt(0), 0);
    EXPECT_EQ(k.LongToInt(32767), 32767);
    EXPECT_EQ(k.LongToInt(32768), -32768);
    EXPECT_EQ(k.LongToInt(65535), -1);
    EXPECT_TRUE(be.boxes.empty());
    for (std::int32_t v : {65536, -1, INT32_MIN}) {
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.LongToInt(v), 0) << v;
        expectErrorBox("数値が異常です！", "LongToInt", std::to_string(v));
    }
}

TEST_F(ConvertTest, LongToHexPadsToFourDigits) {
    EXPECT_EQ(k.LongToHex(0), "0000");
    EXPECT_EQ(k.LongToHex(10), "000A");
    EXPECT_EQ(k.LongToHex(300), "012C");
    EXPECT_EQ(k.LongToHex(65535), "FFFF");
    EXPECT_EQ(k.LongToHex(65536), "10000");
    EXPECT_EQ(k.LongToHex(-1), "FFFFFFFF");
    EXPECT_EQ(k.LongToHex(INT32_MIN), "80000000");
}

TEST_F(ConvertTest, IntToHexGivesExactlyFourDigits) {
    EXPECT_EQ(k.IntToHex(0), "0000");
    EXPECT_EQ(k.IntToHex(10), "000A");
    EXPECT_EQ(k.IntToHex(255), "00FF");
    EXPECT_EQ(k.IntToHex(300), "012C");
    EXPECT_EQ(k.IntToHex(-1), "FFFF");
    EXPECT_EQ(k.IntToHex(-32096), "82A0");
    EXPECT_EQ(k.IntToHex(-32768), "8000");
    EXPECT_EQ(k.IntToHex(32767), "7FFF");
}

TEST_F(ConvertTest, IntToLongReadsTheBitsUnsigned) {
    EXPECT_EQ(k.IntToLong(-1), 65535);
    EXPECT_EQ(k.IntToLong(-32768), 32768);
    EXPECT_EQ(k.IntToLong(5), 5);
    EXPECT_EQ(k.IntToLong(32767), 32767);
}

TEST_F(ConvertTest, HexToIntUpperCasesTheCallersText) {
    std::string hex = "ffff";
    EXPECT_EQ(k.HexToInt(hex), -1);
    EXPECT_EQ(hex, "FFFF");
    hex = "7fFf";
    EXPECT_EQ(k.HexToInt(hex), 32767);
    EXPECT_EQ(hex, "7FFF");
    hex = "8000";
    EXPECT_EQ(k.HexToInt(hex), -32768);
    hex = "0000000A";
    EXPECT_EQ(k.HexToInt(hex), 10);
    EXPECT_TRUE(be.boxes.empty());
}

TEST_F(ConvertTest, HexToIntRefusesBadTextShowingItUpperCased) {
    const std::pair<std::string, std::string> bad[] = {
        {"10000", "10000"}, {"xyz", "XYZ"}, {"", ""},         {" 1", " 1"},     {"1 ", "1 "},
        {"-1", "-1"},       {"&h1", "&H1"}, {"ｆｆ", "ＦＦ"}, {"\xFF", "\xFF"},
    };
    for (const auto& [input, shown] : bad) {
        std::string hex = input;
        be.answerNextBox(kAnsOk);
        EXPECT_EQ(k.HexToInt(hex), 0) << input;
        EXPECT_EQ(hex, shown);
        expectErrorBox("数値が異常です！", "HexToInt", shown);
    }
}

TEST_F(ConvertTest, HexToLongCoversThirtyTwoBits) {
    std::string hex = "FFFF";
    EXPECT_EQ(k.HexToLong(hex), 65535);
    hex = "ffffffff";
    EXPECT_EQ(k.HexToLong(hex), -1);
    EXPECT_EQ(hex, "FFFFFFFF");
    hex = "80000000";
    EXPECT_EQ(k.HexToLong(hex), INT32_MIN);
    hex = "7FFFFFFF";
    EXPECT_EQ(k.HexToLong(hex), INT32_MAX);
    EXPECT_TRUE(be.boxes.empty());
    for (const std::string& input :
         std::vector<std::string>{"", "100000000", "12G", std::string(1 << 20, 'f')}) {
        be.answerNextBox(kAnsOk);
        std::string arg = input;
        EXPECT_EQ(k.HexToLong(arg), 0);
        ASSERT_EQ(be.boxes.size(), 1u);
        EXPECT_EQ(be.boxes[0].text.substr(0, be.boxes[0].text.find("\r\nValue")),
                  "数値が異常です！\r\nHexToLong");
        be.boxes.clear();
        be.sounds.clear();
    }
}

}  // namespace
}  // namespace vornel
