#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LyricTestSupport.h"
#include "lyrics/KaraokeParser.h"
#include "lyrics/KaraokeScript.h"

namespace quillo::lyrics {
namespace {

using testing::ScrambleKaraoke;

TEST(KaraokeScriptTest, UnscramblesWhatWasScrambled) {
  const std::string plain = "karaoke.add('00:01.000', '00:02.000', '你好', '500,500');\n";
  for (int block_length : {1, 2, 7, 16, 57, 58, 59, 255}) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{58}, plain.size()}) {
      const std::string part = plain.substr(0, size);
      auto scrambled = ScrambleKaraoke(part, static_cast<std::uint8_t>(block_length), 7);
      EXPECT_EQ(UnscrambleKaraokeScript(scrambled), part)
          << "block length " << block_length << ", " << size << " bytes";
    }
  }
}

TEST(KaraokeScriptTest, ShortAndDegenerateInputs) {
  EXPECT_FALSE(UnscrambleKaraokeScript(""));
  EXPECT_FALSE(UnscrambleKaraokeScript("ab"));
  EXPECT_EQ(UnscrambleKaraokeScript(std::string("\0\0\0", 3)), "");
  // Block length 0: only key bytes, nothing is written.
  EXPECT_EQ(UnscrambleKaraokeScript(std::string("x\0abcdef", 8)), "");
  // A block length larger than the data: one short block.
  EXPECT_EQ(UnscrambleKaraokeScript(std::string("x\xFF\x01\x60\x63", 5)), "ab");
}

struct Unit {
  std::string text;
  int start_ms;
  int end_ms;
  bool operator==(const Unit&) const = default;
};

std::vector<Unit> Units(const KaraokeLine& line) {
  std::vector<Unit> units;
  for (const LyricWord& word : line.words) {
    units.push_back(
        {line.text.substr(word.text_offset, word.text_size), word.start_ms, word.end_ms});
  }
  return units;
}

TEST(KaraokeParserTest, Lines) {
  struct Case {
    const char* line;
    int start_ms, end_ms;
    const char* text;
    std::vector<Unit> units;
  };
  const Case kCases[] = {
      {"karaoke.add('00:01.000', '00:01.500', '[Hello] x', '250,250');",
       1000,
       1500,
       "Hellox",
       {{"Hello", 0, 250}, {"x", 250, 500}}},
      {"karaoke.add('00:02.000', '00:03.000', '你好吗', '100, 200 ,300')",
       2000,
       3000,
       "你好吗",
       {{"你", 0, 100}, {"好", 100, 300}, {"吗", 300, 600}}},
      // "''" is one quote, inside a group and as a character of its own.
      {"karaoke.add('00:00.000', '00:01.000', '[it''s] ''a', '10,20,30');",
       0,
       1000,
       "it's'a",
       {{"it's", 0, 10}, {"'", 10, 30}, {"a", 30, 60}}},
      // An empty group is a space; units beyond the durations are left out.
      {"  karaoke.add('00:00.50','00:01.00','[]b c d','5,5')  ",
       50,
       1000,
       " b",
       {{" ", 0, 5}, {"b", 5, 10}}},
      // Commas and parentheses inside the quoted text stay in it.
      {"karaoke.add('00:00.000', '00:01.000', '[Hi,] [you)]', '1,2');",
       0,
       1000,
       "Hi,you)",
       {{"Hi,", 0, 1}, {"you)", 1, 3}}},
  };
  for (const Case& c : kCases) {
    auto line = ParseKaraokeLine(c.line);
    ASSERT_TRUE(line) << c.line;
    EXPECT_EQ(line->start_ms, c.start_ms) << c.line;
    EXPECT_EQ(line->end_ms, c.end_ms) << c.line;
    EXPECT_EQ(line->text, c.text) << c.line;
    EXPECT_EQ(Units(*line), c.units) << c.line;
  }
}

TEST(KaraokeParserTest, DropsMalformedLinesWhole) {
  const char* kLines[] = {
      "",
      "karaoke.rows = 3;",
      "Karaoke.add('00:01.000', '00:02.000', 'ab', '1,1');",
      "karaoke.add '00:01.000', '00:02.000', 'ab', '1,1';",
      "karaoke.add('00:01.000', '00:02.000', 'ab', '1,1';",   // no ')'
      "karaoke.add('00:01.000' '00:02.000', 'ab', '1,1');",   // missing comma
      "karaoke.add('x', '00:02.000', 'ab', '1,1');",          // bad start
      "karaoke.add('00:01.000', 2000, 'ab', '1,1');",         // end not quoted
      "karaoke.add('00:01.000', '00:02.000', ab, '1,1');",    // text without quotes
      "karaoke.add('00:01.000', '00:02.000', 'ab', 1);",      // durations without quotes
      "karaoke.add('00:01.000', '00:02.000', 'ab', '1,0');",  // a duration of 0
      "karaoke.add('00:01.000', '00:02.000', 'ab', '1,-5');",
      "karaoke.add('00:01.000', '00:02.000', 'ab', '1,x');",
      "karaoke.add('00:01.000', '00:02.000', 'ab', '1,,1');",
      "karaoke.add('00:01.000', '00:02.000', 'ab', '');",
      "karaoke.add('00:01.000', '00:02.000', 'ab', '1,1,1');",         // more durations than units
      "karaoke.add('00:01.000', '00:02.000', 'a [b', '1,1');",         // missing ']'
      "karaoke.add('00:01.000', '00:02.000', 'ab', '2147483647,1');",  // sum beyond int
      "karaoke.add('00:01.000', '00:02.000', 'ab', '99999999999');",
      "karaoke.add('99999999999:00.000', '00:02.000', 'a', '1');",
  };
  for (const char* line : kLines) EXPECT_FALSE(ParseKaraokeLine(line)) << line;
}

}  // namespace
}  // namespace quillo::lyrics
