// The bar line's layout with a meter whose widths the test knows: shrinking until the line fits,
// white space, units without advance, lines that fit nowhere, and sung pixels.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/text/TextUtil.h"
#include "ui/lyricviews/LyricBarLine.h"

namespace quillo::ui {
namespace {

// Every character is `per_point` × size pixels wide (plus a fraction, to see the truncation);
// the measured height is the size. Characters listed in `zero` have no advance.
class CountingMeter : public LyricBarTextMeter {
 public:
  gfx::TextExtent Measure(std::string_view utf8, const gfx::Font& font) override {
    ++calls;
    fonts.push_back(font.family);
    if (zero.count(std::string(utf8))) return {0, font.size_points};
    return {double(text::CodePointCount(utf8)) * per_point * font.size_points + 0.6,
            font.size_points};
  }
  double per_point = 1;
  std::map<std::string, bool> zero;
  int calls = 0;
  std::vector<std::string> fonts;
};

std::vector<std::string_view> Chars(const std::vector<std::string>& units) {
  return std::vector<std::string_view>(units.begin(), units.end());
}

TEST(LyricBarLineTest, ShrinksTwoPointsAtATimeUntilTheLineFits) {
  struct Case {
    int units, configured, area, expected_size;
  } cases[] = {
      {10, 40, 1000, 40},  // 10 × (40 + 1) = 410 fits at once
      {10, 40, 300, 28},   // 10 × 29 = 290 fits, 10 × 31 = 310 does not
      {10, 40, 279, 26},   // 10 × 27 = 270 fits
      {10, 41, 300, 29},   // odd sizes keep their parity: 41, 39, … 29
      {10, 16, 150, 14},   // 14 is the last size tried: 10 × 15 = 150 fits
  };
  for (const Case& c : cases) {
    std::vector<std::string> units(c.units, "a");
    LyricBarLine line;
    line.SetWords(Chars(units));
    CountingMeter meter;
    EXPECT_TRUE(line.Measure(meter, c.configured, c.area, "黑体", "Verdana")) << c.area;
    EXPECT_EQ(line.font_size(), c.expected_size) << c.configured << " in " << c.area;
    EXPECT_EQ(line.total(), c.units * (c.expected_size + 1));
    EXPECT_LE(line.total(), c.area);
    EXPECT_EQ(line.measured_for(), c.configured);
  }
}

TEST(LyricBarLineTest, SegmentsLieSideBySideWithTheirFonts) {
  const std::vector<std::string> units = {"晴", "天", " ", "rain", "é"};
  LyricBarLine line;
  line.SetWords(Chars(units));
  CountingMeter meter;
  ASSERT_TRUE(line.Measure(meter, 20, 2000, "黑体", "Verdana"));
  const auto& s = line.segments();
  ASSERT_EQ(s.size(), 5u);
  EXPECT_TRUE(s[0].wide);
  EXPECT_TRUE(s[1].wide);
  EXPECT_FALSE(s[3].wide);
  EXPECT_FALSE(s[4].wide) << "U+00E9 is below U+0100";
  EXPECT_EQ(s[0].width, 21);  // 20.6 truncated + 1
  EXPECT_EQ(s[2].width, 10);  // one space: 1 × 20 / 2, not measured
  EXPECT_EQ(s[3].width, 81);
  int x = 0;
  for (const LyricBarSegment& segment : s) {
    EXPECT_EQ(segment.x, x);
    x += segment.width;
  }
  EXPECT_EQ(line.total(), x);
  EXPECT_EQ(meter.calls, 4) << "the space is not measured";
  EXPECT_EQ(meter.fonts, (std::vector<std::string>{"黑体", "黑体", "Verdana", "Verdana"}));
  EXPECT_EQ(line.height_wide(), 20);
  EXPECT_EQ(line.height_narrow(), 20);
}

TEST(LyricBarLineTest, SpacesOnlyUnitTakesHalfTheSizePerCharacter) {
  for (const std::string spaces : {" ", "   ", "\t \t"}) {
    const std::vector<std::string> units = {spaces};
    LyricBarLine line;
    line.SetWords(Chars(units));
    CountingMeter meter;
    ASSERT_TRUE(line.Measure(meter, 40, 1000, "黑体", "Verdana"));
    EXPECT_EQ(line.total(), int(spaces.size()) * 40 / 2);
    EXPECT_EQ(meter.calls, 0);
  }
}

TEST(LyricBarLineTest, UnitWithoutAdvanceDoesNotShrinkTheLine) {
  const std::vector<std::string> units = {"a", "\u200d", "b"};
  LyricBarLine line;
  line.SetWords(Chars(units));
  CountingMeter meter;
  meter.zero["\u200d"] = true;
  EXPECT_TRUE(line.Measure(meter, 40, 1000, "黑体", "Verdana"));
  EXPECT_EQ(line.font_size(), 40);
  EXPECT_EQ(line.segments()[1].width, 1);
}

TEST(LyricBarLineTest, LineThatFitsNowhereIsLaidOutWhollyAtTheLastSize) {
  std::vector<std::string> units(500, "x");
  LyricBarLine line;
  line.SetWords(Chars(units));
  CountingMeter meter;
  EXPECT_FALSE(line.Measure(meter, 40, 1000, "黑体", "Verdana"));
  EXPECT_FALSE(line.fits());
  EXPECT_EQ(line.font_size(), 14);
  EXPECT_EQ(line.total(), 500 * 15);
  EXPECT_EQ(line.segments().back().x, 499 * 15);
}

TEST(LyricBarLineTest, ConfiguredSizeAtOrBelowTheFloorIsUsedAsIs) {
  for (int size : {13, 10}) {
    const std::vector<std::string> units = {"ab", "cd"};
    LyricBarLine line;
    line.SetWords(Chars(units));
    CountingMeter meter;
    EXPECT_TRUE(line.Measure(meter, size, 1000, "黑体", "Verdana"));
    EXPECT_EQ(line.font_size(), size);
    EXPECT_EQ(line.total(), 2 * (2 * size + 1));
  }
}

TEST(LyricBarLineTest, ProgressIsThePercentageOfTheWordAfterItsStart) {
  const std::vector<std::string> units = {"aa", "bbb"};  // widths 41 and 61 at size 20
  LyricBarLine line;
  line.SetWords(Chars(units));
  CountingMeter meter;
  ASSERT_TRUE(line.Measure(meter, 20, 1000, "黑体", "Verdana"));
  EXPECT_EQ(line.ProgressFor(0, 0), 0);
  EXPECT_EQ(line.ProgressFor(0, 50), 20);  // 50 × 41 / 100
  EXPECT_EQ(line.ProgressFor(1, 0), 41);
  EXPECT_EQ(line.ProgressFor(1, 100), 102);
  EXPECT_EQ(line.ProgressFor(2, 0), std::nullopt);
}

}  // namespace
}  // namespace quillo::ui
