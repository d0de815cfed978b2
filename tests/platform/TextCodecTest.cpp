#include "platform/text/TextCodec.h"

#include <gtest/gtest.h>

#include <random>

namespace quillo::text {
namespace {

TEST(TextCodecTest, GbkRoundTripsChinese) {
  const std::string utf8 = "周杰伦 - 七里香";
  std::string gbk = Utf8ToGbk(utf8);
  // 6 Chinese characters at two bytes each, plus " - ".
  EXPECT_EQ(gbk.size(), 15u);
  EXPECT_EQ(static_cast<unsigned char>(gbk[0]), 0xD6);  // 周 = D6DC
  EXPECT_EQ(static_cast<unsigned char>(gbk[1]), 0xDC);
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

TEST(TextCodecTest, UnmappableAndInvalidInput) {
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x8E\xB5" "b"), "a?b");  // emoji has no GBK form
  std::string bad = GbkToUtf8("\x81");                    // a lead byte alone
  EXPECT_TRUE(IsValidUtf8(bad));
  EXPECT_FALSE(bad.empty());
}

TEST(TextCodecTest, Utf16Forms) {
  const std::string utf8 = "Zelbo音乐\xF0\x9F\x8E\xB5";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(utf8)), utf8);
  std::string le = Utf8ToUtf16LeBytes("A音");
  ASSERT_EQ(le.size(), 4u);
  EXPECT_EQ(le[0], 'A');
  EXPECT_EQ(le[1], '\0');
  EXPECT_EQ(static_cast<unsigned char>(le[2]), 0xF3);  // 音 = U+97F3
  EXPECT_EQ(static_cast<unsigned char>(le[3]), 0x97);
  EXPECT_EQ(Utf16LeBytesToUtf8(le), "A音");
  EXPECT_EQ(Utf16BeBytesToUtf8(std::string("\x97\xF3\x00", 3)), "音");  // odd byte dropped
  EXPECT_EQ(Utf16LeBytesToUtf8(std::string("\x00\xD8", 2)), "\xEF\xBF\xBD");  // lone surrogate
}

TEST(TextCodecTest, Utf8Validation) {
  EXPECT_TRUE(IsValidUtf8("plain"));
  EXPECT_TRUE(IsValidUtf8("中文"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // truncated
  EXPECT_EQ(SanitizeUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  std::string encoded;
  for (char32_t code : {U'A', U'\u00E9', U'\u97F3', U'\U0001F3B5', char32_t(0xD800), char32_t(0x110000)}) {
    AppendUtf8(encoded, code);
  }
  EXPECT_EQ(encoded, "A\xC3\xA9\xE9\x9F\xB3\xF0\x9F\x8E\xB5\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextCodecTest, RandomBytesNeverBreakConversions) {
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 64, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    EXPECT_TRUE(IsValidUtf8(GbkToUtf8(bytes)));
    EXPECT_TRUE(IsValidUtf8(SanitizeUtf8(bytes)));
    EXPECT_TRUE(IsValidUtf8(Utf16LeBytesToUtf8(bytes)));
    Utf8ToGbk(bytes);
  }
}

}  // namespace
}  // namespace quillo::text
