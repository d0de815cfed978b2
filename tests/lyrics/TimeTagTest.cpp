#include "lyrics/TimeTag.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quillo::lyrics {
namespace {

TEST(TimeTagTest, BracketTags) {
  struct Case {
    const char* text;
    std::optional<int> time_ms;
  };
  const Case kCases[] = {
      {"[00:01.50]", 1500},   // two digits: hundredths
      {"[00:01.500]", 1500},  // three digits: milliseconds
      {"[00:01.5]", 1500},    // one digit: tenths
      {"[00:01.05]", 1050},
      {"[00:01.005]", 1005},
      {"[00:01.1239]", 1123},  // past the thousandths: dropped
      {"[1:02]", 62000},
      {"[03:00]", 180000},
      {"[100:00.00]", 6000000},  // minutes above 99
      {"[12]", 720000},          // only minutes
      {"[01.50]", 60000},        // no ':', so no seconds and no fraction
      {"[00:01.]", 1000},
      {"[:05.25]", 5250},
      {"[00:01:30]", 1000},  // a second ':' ends the seconds; no fraction follows
      {"[35791:23.64]", 2147483640},
      {"[35791:23.647]", 2147483647},    // INT_MAX exactly
      {"[35791:23.648]", std::nullopt},  // one past: malformed, not wrapped
      {"[99999999999:00.00]", std::nullopt},
      {"[00:99999999999.00]", std::nullopt},
      {"[00:00.99999999999]", 999},  // a long fraction is still below a second
      {"[4294967296:00]", std::nullopt},  // 2^32 minutes: wraps to 0 in 32 bits
      {"[]", std::nullopt},
      {"[00:01.50", std::nullopt},
      {"[ti:title]", std::nullopt},
      {"[00:01.50 ]", std::nullopt},
      {"[-1:00.00]", std::nullopt},
      {"00:01.50]", std::nullopt},
  };
  for (const Case& c : kCases) {
    auto tag = ParseBracketTimeTag(c.text, 0);
    ASSERT_EQ(tag.has_value(), c.time_ms.has_value()) << c.text;
    if (tag) {
      EXPECT_EQ(tag->time_ms, *c.time_ms) << c.text;
      EXPECT_EQ(tag->next, std::string(c.text).find(']') + 1) << c.text;
    }
  }
}

TEST(TimeTagTest, QuotedTimesCountTheFractionInMilliseconds) {
  struct Case {
    const char* text;
    std::optional<int> time_ms;
  };
  const Case kCases[] = {
      {"'00:01.500'", 1500},
      {"'00:01.50'", 1050},
      {"  '01:02.003' ", 62003},
      {"'1:02'x", 62000},
      {"'99999999999:00.000'", std::nullopt},
      {"'00:01.500", std::nullopt},
      {"''", std::nullopt},
      {"00:01.500", std::nullopt},
      {"'a:01'", std::nullopt},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(ParseQuotedTime(c.text), c.time_ms) << c.text;
  }
}

TEST(TimeTagTest, FindsTheNextTagPastFalseStarts) {
  struct Case {
    const char* line;
    std::size_t from;
    std::size_t found;
  };
  const Case kCases[] = {
      {"a[00:02.00]b", 0, 1},
      {"a[x][0[00:02.00]", 0, 6},
      {"[00:01.00]a[00:02.00]b", 10, 11},
      {"text [with] [brackets", 0, 21},
      {"[[[[[[", 0, 6},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(FindBracketTimeTag(c.line, c.from), c.found) << c.line;
  }
}

}  // namespace
}  // namespace quillo::lyrics
