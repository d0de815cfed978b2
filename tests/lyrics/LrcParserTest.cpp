#include "lyrics/LrcParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillo::lyrics {
namespace {

struct Parsed {
  std::vector<std::string> lines;  // "start text" in the order added
  std::vector<std::string> headers;
  int offset_ms = 0;
};

Parsed Parse(std::vector<std::string> input) {
  LyricDocument document;
  LrcParser parser(document);
  for (const std::string& line : input) EXPECT_TRUE(parser.ParseLine(line));
  Parsed parsed;
  for (const LyricLine& line : document.timeline.lines()) {
    parsed.lines.push_back(std::to_string(line.start_ms) + " " + line.text);
  }
  parsed.headers = document.header_lines;
  parsed.offset_ms = document.offset_ms;
  return parsed;
}

TEST(LrcParserTest, Lines) {
  struct Case {
    std::vector<std::string> input;
    std::vector<std::string> lines;
    std::vector<std::string> headers;
  };
  const Case kCases[] = {
      {{"[00:12.00][01:30.00]la la"}, {"12000 la la", "90000 la la"}, {}},
      {{"[00:01.00]a[00:02.00]b"}, {"1000 a", "2000 b"}, {}},
      {{"[00:01.00][00:03.00]a[00:02.00]b"}, {"1000 a", "3000 a", "2000 b"}, {}},
      // Text after the tags is kept as it is, including inner brackets that are no tags.
      {{"[00:01.00]  a [x] b"}, {"1000   a [x] b"}, {}},
      {{"  [00:01.00]trimmed\r"}, {"1000 trimmed"}, {}},
      {{"[00:01.00]"}, {"1000 "}, {}},
      {{"[00:01.00][00:02.00]"}, {"1000 ", "2000 "}, {}},
      {{"[ti:Title]", "[ar:Artist]", "[al:Album]"},
       {},
       {"[ti:Title]", "[ar:Artist]", "[al:Album]"}},
      {{"  [by:someone]  "}, {}, {"[by:someone]"}},
      // A tag too large for an int is no tag: the line is kept for saving but gives no line.
      {{"[99999999999:00.00]absurd"}, {}, {"[99999999999:00.00]absurd"}},
      // Ignored: empty, no '[', no ']', no ':' in the first bracket.
      {{"", "   ", "plain text", "[00:01.00", "[12]text", "[x]y"}, {}, {}},
      {{"[00:05.00]x", "[ti:in between]", "[00:03.00]y"},
       {"5000 x", "3000 y"},
       {"[ti:in between]"}},
  };
  for (const Case& c : kCases) {
    Parsed parsed = Parse(c.input);
    EXPECT_EQ(parsed.lines, c.lines) << c.input.front();
    EXPECT_EQ(parsed.headers, c.headers) << c.input.front();
  }
}

TEST(LrcParserTest, OffsetTags) {
  struct Case {
    const char* line;
    int offset_ms;
  };
  const Case kCases[] = {
      {"[offset:500]", 500},
      {"[offset:+500]", 500},
      {"[OFFSET:-300]", -300},
      {"[offset: 250 ]", 250},
      {"[Offset:0]", 0},
      {"[offset:abc]", 77},
      {"[offset:]", 77},
      {"[offset:12x]", 77},
      {"[offset:99999999999]", 77},
      {"[offset:-2147483648]", -2147483647 - 1},
  };
  for (const Case& c : kCases) {
    Parsed parsed = Parse({"[offset:77]", c.line});
    EXPECT_EQ(parsed.offset_ms, c.offset_ms) << c.line;
    EXPECT_TRUE(parsed.headers.empty()) << c.line;  // offset tags are not header lines
  }
}

TEST(LrcParserTest, StopsAtTheTimelineLimits) {
  LyricDocument document;
  LrcParser parser(document);
  std::string many;
  for (std::size_t i = 0; i <= LyricTimeline::kMaxLines; ++i) many += "[00:01.00]";
  EXPECT_FALSE(parser.ParseLine(many + "x"));
  EXPECT_EQ(document.timeline.size(), LyricTimeline::kMaxLines);

  LyricDocument large;
  LrcParser large_parser(large);
  const std::string text(LyricTimeline::kMaxTextBytes / 2 + 1, 'a');
  EXPECT_TRUE(large_parser.ParseLine("[00:01.00]" + text));
  EXPECT_FALSE(large_parser.ParseLine("[00:02.00]" + text));
  EXPECT_EQ(large.timeline.size(), 1u);
}

}  // namespace
}  // namespace quillo::lyrics
