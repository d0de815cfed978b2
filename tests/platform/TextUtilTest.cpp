#include "platform/text/TextUtil.h"

#include <gtest/gtest.h>

namespace quillo::text {
namespace {

TEST(TextUtilTest, LeadingNumberRule) {
  struct Case {
    const char* text;
    std::optional<int> expected;
  } cases[] = {
      {"12abc", 12}, {"abc", std::nullopt}, {"", std::nullopt}, {"  -7", -7}, {"+3x", 3},
      {"- 3", std::nullopt}, {"\t42\n", 42}, {"99999999999999999999", 2147483647},
      {"-99999999999999999999", -2147483647 - 1}, {"0", 0}, {"8.5", 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LeadingNumber(c.text), c.expected) << c.text;
  }
  EXPECT_EQ(LeadingInt("abc"), 0);
  EXPECT_EQ(LeadingInt("12abc"), 12);
}

TEST(TextUtilTest, TrimAndCase) {
  EXPECT_EQ(Trim("  /music/dir \t\r\n"), "/music/dir");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(ToLowerAscii("MP3 音乐"), "mp3 音乐");
  EXPECT_TRUE(EqualsIgnoreCaseAscii("Song.MP3", "song.mp3"));
  EXPECT_FALSE(EqualsIgnoreCaseAscii("song.mp3", "song.mp"));
  EXPECT_EQ(CodePointCount("a音乐"), 3u);
  EXPECT_TRUE(EndsWith("x.mp3", ".mp3"));
  EXPECT_FALSE(StartsWith("ab", "abc"));
}

}  // namespace
}  // namespace quillo::text
