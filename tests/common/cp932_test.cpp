// Code page 932 for the files the program writes and reads.
#include "common/cp932.h"

#include <gtest/gtest.h>

namespace vornel {
namespace {

TEST(Cp932, EncodesAndDecodesBothWays) {
    const std::string text = "日本ｱA\r\n[Success] ﾊﾞｯｸｱｯﾌﾟ　完了";
    const cp932::EncodeResult e = cp932::encode(text);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.bytes.substr(0, 6),
              "\x93\xFA\x96\x7B\xB1"
              "A");
    const cp932::DecodeResult d = cp932::decode(e.bytes);
    EXPECT_TRUE(d.ok);
    EXPECT_EQ(d.utf8, text);
    EXPECT_EQ(cp932::encode("").bytes, "");
    EXPECT_TRUE(cp932::decode("").ok);
}

TEST(Cp932, ReportsTheFirstCharacterWithoutAForm) {
    const cp932::EncodeResult e = cp932::encode(
        "ab\xF0\x9F\x98\x80"
        "c한");
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.badOffset, 2u);
    const cp932::EncodeResult h = cp932::encode("日本한");
    EXPECT_FALSE(h.ok);
    EXPECT_EQ(h.badOffset, 6u);
    const cp932::EncodeResult bad = cp932::encode("abc\xFF");
    EXPECT_FALSE(bad.ok);
    EXPECT_EQ(bad.badOffset, 3u);
}

TEST(Cp932, InvalidBytesDecodeAsReplacementCharacters) {
    const cp932::DecodeResult d = cp932::decode("A\x82");  // a lead byte cut short
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.utf8, "A\xEF\xBF\xBD");
    const cp932::DecodeResult f = cp932::decode(
        "\xFF"
        "B\x93\xFA");
    EXPECT_FALSE(f.ok);
    EXPECT_EQ(f.utf8,
              "\xEF\xBF\xBD"
              "B日");
}

TEST(Cp932, CharacterWidths) {
    std::size_t consumed = 0;
    EXPECT_EQ(cp932::charWidth("a", 0, &consumed), 1);
    EXPECT_EQ(consumed, 1u);
    EXPECT_EQ(cp932::charWidth("あ", 0, &consumed), 2);
    EXPECT_EQ(consumed, 3u);
    EXPECT_EQ(cp932::charWidth("ｱ", 0, &consumed), 1);
    EXPECT_EQ(consumed, 3u);
    EXPECT_EQ(cp932::charWidth("\xF0\x9F\x98\x80", 0, &consumed), 1);
    EXPECT_EQ(consumed, 4u);
    EXPECT_EQ(cp932::charWidth("\xE3"
                               "ab",
                               0, &consumed),
              1);
    EXPECT_EQ(consumed, 1u);
}

TEST(Cp932, AMebibyteConvertsWhole) {
    std::string text;
    for (int i = 0; i < (1 << 20) / 4; ++i) text += "あa";
    const cp932::EncodeResult e = cp932::encode(text);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.bytes.size(), 3u * ((1 << 20) / 4));
    EXPECT_EQ(cp932::decode(e.bytes).utf8, text);
}

}  // namespace
}  // namespace vornel
