// Code page 932 for the files the program writes and reads.
#include "common/cp932.h"

#include <gtest/gtest.h>

namespace vornel {
namespace {

// A mebibyte of text converts whole.
TEST(Cp932, EncodesAndDecodesBothWays) {
    const std::string line = "日本ｱA\r\n[Success] ﾊﾞｯｸｱｯﾌﾟ　完了";
    std::string text;
    while (text.size() < (1 << 20)) text += line;
    const cp932::EncodeResult e = cp932::encode(text);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.bytes.substr(0, 6), "\x93\xFA\x96\x7B\xB1\x41");  // 日本ｱA
    EXPECT_EQ(e.bytes.size(), cp932::encode(line).bytes.size() * (text.size() / line.size()));
    EXPECT_TRUE(cp932::decode(e.bytes).ok);
    EXPECT_EQ(cp932::decode(e.bytes).utf8, text);
    EXPECT_EQ(cp932::encode("").bytes, "");
    EXPECT_TRUE(cp932::decode("").ok);
}

TEST(Cp932, ReportsTheFirstCharacterWithoutAForm) {
    // A character whose form reads back as another one has no form of its own.
    // In the last two, whichever kind of character comes first is the one reported.
    const std::pair<std::string, std::size_t> cases[] = {
        {"日b\xF0\x9F\x98\x80\x63한", 4}, {"abc\xFF", 3},
        {"/u/資料～〜2023", 12},          {"〜\xF0\x9F\x98\x80", 0},
        {"ab\xF0\x9F\x98\x80〜", 2},
    };
    for (const auto& [text, offset] : cases) {
        const cp932::EncodeResult e = cp932::encode(text);
        EXPECT_FALSE(e.ok) << text;
        EXPECT_EQ(e.badOffset, offset) << text;
        EXPECT_EQ(cp932::decode(e.bytes).utf8, text.substr(0, offset)) << text;
    }
}

TEST(Cp932, InvalidBytesDecodeAsReplacementCharacters) {
    // A lead byte cut short, and a byte that starts nothing.
    const std::pair<std::string, std::string> cases[] = {
        {"A\x82", "A\xEF\xBF\xBD"}, {"\xFF\x42\x93\xFA", "\xEF\xBF\xBD\x42日"}};
    for (const auto& [bytes, utf8] : cases) {
        EXPECT_FALSE(cp932::decode(bytes).ok);
        EXPECT_EQ(cp932::decode(bytes).utf8, utf8);
    }
}

}  // namespace
}  // namespace vornel
