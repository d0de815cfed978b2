#include "platform/text/TextUtil.h"

#include <gtest/gtest.h>

#include <random>

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

namespace quillo::text {
namespace {

TEST(TextUtilTest, EscapeControlsMakesControlsVisible) {
  struct Case {
    std::string text;
    std::string expected;
    std::string with_layout;
  } cases[] = {
      {"plain ascii", "plain ascii", "plain ascii"},
      {"\x1b]0;pwned\x07", "\\x1b]0;pwned\\x07", "\\x1b]0;pwned\\x07"},
      {std::string("a\0b", 3), "a\\x00b", "a\\x00b"},
      {"tab\there\nline\r", "tab\\x09here\\x0aline\\x0d", "tab\there\nline\\x0d"},
      {"del\x7f", "del\\x7f", "del\\x7f"},
      {"\xc2\x80 \xc2\x9b[2J \xc2\x9f", "\\u0080 \\u009b[2J \\u009f", "\\u0080 \\u009b[2J \\u009f"},
      {"\xc2\xa0 é 周杰伦 𝄞", "\xc2\xa0 é 周杰伦 𝄞", "\xc2\xa0 é 周杰伦 𝄞"},  // U+00A0 is no control
      {"\xff\xfe", "\\xff\\xfe", "\\xff\\xfe"},
      {"\xe5\x91", "\\xe5\\x91", "\\xe5\\x91"},              // a cut-off character
      {"\xc0\x9b", "\\xc0\\x9b", "\\xc0\\x9b"},              // overlong ESC-like form
      {"\xed\xa0\x80", "\\xed\\xa0\\x80", "\\xed\\xa0\\x80"},  // a surrogate
      {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80", "\\xf4\\x90\\x80\\x80"},  // past U+10FFFF
      {"\x9b" "31m", "\\x9b31m", "\\x9b31m"},                // a lone C1 byte
      {"\xe5\x91\xa8\x1b", "周\\x1b", "周\\x1b"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeControls(c.text), c.expected) << c.expected;
    EXPECT_EQ(EscapeControls(c.text, /*keep_layout=*/true), c.with_layout) << c.expected;
  }
}

TEST(TextUtilTest, EscapeControlsLeavesNoControlInRandomBytes) {
  std::mt19937 random(77);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 40, '\0');
    for (char& b : bytes) b = static_cast<char>(random());
    const std::string shown = EscapeControls(bytes);
    // What is left is well-formed UTF-8 without C0, DEL or C1.
    EXPECT_EQ(EscapeControls(shown), shown);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      const auto byte = static_cast<unsigned char>(shown[i]);
      EXPECT_FALSE(byte < 0x20 || byte == 0x7F);
      if (byte == 0xC2 && i + 1 < shown.size()) {
        EXPECT_GE(static_cast<unsigned char>(shown[i + 1]), 0xA0);
      }
    }
  }
}

}  // namespace
}  // namespace quillo::text
