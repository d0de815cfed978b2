// Positions, lines and re-timing over loaded lyrics.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "LyricTestSupport.h"

namespace quillo::lyrics {
namespace {

using quillo::testing::TempFolder;
using testing::FixedPlayer;
using testing::LoadFromBytes;
using testing::Rows;

constexpr std::optional<LyricPosition> kNotFound = std::nullopt;

class LyricTimelineTest : public ::testing::Test {
 protected:
  void Load(const std::string& text, int duration_ms = 10000) {
    player_ = FixedPlayer("", duration_ms);
    ASSERT_EQ(LoadFromBytes(analyzer_, folder_, "song.lrc", text), LyricDocument::kStateLoaded);
  }
  TempFolder folder_;
  FixedPlayer player_;
  LyricAnalyzer analyzer_{&player_};
};

TEST_F(LyricTimelineTest, OrdersLinksAndEndsTheLines) {
  Load("[00:05.00]c\n[00:01.00]a\n[00:03.00]b\n", 9000);
  EXPECT_EQ(Rows(analyzer_.document()),
            (std::vector<std::string>{"1000\t3000\ta", "3000\t5000\tb", "5000\t9000\tc"}));
  const LyricTimeline& timeline = analyzer_.document().timeline;
  for (const LyricLine& line : timeline.lines()) {
    EXPECT_EQ(&timeline.lines()[line.index], &line);
  }
  EXPECT_EQ(timeline.Previous(timeline.lines()[0]), nullptr);
  EXPECT_EQ(timeline.Next(timeline.lines()[0]), &timeline.lines()[1]);
  EXPECT_EQ(timeline.Previous(timeline.lines()[2]), &timeline.lines()[1]);
  EXPECT_EQ(timeline.Next(timeline.lines()[2]), nullptr);
}

TEST_F(LyricTimelineTest, CharacterWordsSpreadOverTheLine) {
  struct Case {
    const char* text;
    int duration_ms;
    std::vector<std::pair<int, int>> words;  // of the last line
  };
  const Case kCases[] = {
      {"[00:01.00]abc", 4000, {{0, 1000}, {1000, 2000}, {2000, 3000}}},
      {"[00:01.00]你好", 2000, {{0, 500}, {500, 1000}}},
      {"[00:01.00]abc", 1001, {{0, 0}, {0, 0}, {0, 1}}},  // d = 1
      // No duration yet: the end is guessed, not -1 (which would sing the line at once).
      {"[00:01.00]ab", -1, {{0, 2500}, {2500, 5000}}},
      {"[00:01.00]", 5000, {}},
  };
  for (const Case& c : kCases) {
    Load(c.text, c.duration_ms);
    const LyricLine& line = analyzer_.document().timeline.lines().back();
    std::vector<std::pair<int, int>> words;
    for (const LyricWord& word : line.words) words.emplace_back(word.start_ms, word.end_ms);
    EXPECT_EQ(words, c.words) << c.text;
  }
  Load("[00:01.00]你a好", 4000);
  const LyricLine& line = analyzer_.document().timeline.lines().back();
  ASSERT_EQ(line.words.size(), 3u);
  EXPECT_EQ(line.WordText(line.words[0]), "你");
  EXPECT_EQ(line.WordText(line.words[1]), "a");
  EXPECT_EQ(line.WordText(line.words[2]), "好");
}

TEST_F(LyricTimelineTest, LocateLine) {
  // Lines at 1 s ("abcd"), 3 s (two spaces), 5 s ("xy"), 7 s (empty); the song lasts 9 s.
  Load("[00:01.00]abcd\n[00:03.00]  [00:05.00]xy\n[00:07.00]\n", 9000);
  struct Case {
    int position_ms;
    bool skip_empty;
    std::optional<LyricPosition> expected;
  };
  const Case kCases[] = {
      {980, false, LyricPosition{0, 0, 0}},  // 20 ms before the first line
      {980, true, LyricPosition{0, 0, 0}},
      {1000, false, LyricPosition{0, 0, 0}},
      {1250, false, LyricPosition{0, 0, 50}},  // words of 500 ms
      {2999, false, LyricPosition{0, 3, 99}},
      {3500, false, LyricPosition{1, 0, 50}},  // the blank line has two space words of 1 s
      {3000, true, LyricPosition{0, 3, 100}},  // blank: the one before, finished
      {5500, false, LyricPosition{2, 0, 50}},
      {7500, true, LyricPosition{2, 1, 100}},
      {8999, false, LyricPosition{3, 0, 100}},  // an empty last line has no words
      {9000, false, LyricPosition{3, 0, 100}},  // beyond the last end: the last line
      {60000, true, LyricPosition{2, 1, 100}},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(analyzer_.LocateLine(c.position_ms, c.skip_empty), c.expected)
        << c.position_ms << (c.skip_empty ? " skipping" : "");
  }
}

TEST_F(LyricTimelineTest, LocateLineWithBlankEnds) {
  struct Case {
    const char* text;
    int position_ms;
    std::optional<LyricPosition> expected;
  };
  const Case kCases[] = {
      // Before the first line with skipEmpty: the first non-empty line.
      {"[00:01.00]\n[00:02.00]ab\n", 500, LyricPosition{1, 0, 0}},
      // A blank first line: nothing before it, so the next non-empty line from its start.
      {"[00:01.00]\n[00:02.00]ab\n", 1500, LyricPosition{1, 0, 0}},
      {"[00:01.00] \n[00:02.00]\t\n", 500, kNotFound},
      {"[00:01.00] \n[00:02.00]\t\n", 1500, kNotFound},
      {"[00:01.00] \n[00:02.00]\t\n", 60000, kNotFound},
  };
  for (const Case& c : kCases) {
    Load(c.text, 3000);
    EXPECT_EQ(analyzer_.LocateLine(c.position_ms, true), c.expected) << c.text << c.position_ms;
  }
}

TEST_F(LyricTimelineTest, LocateWithoutLinesOrDuration) {
  EXPECT_EQ(analyzer_.LocateLine(0, false), kNotFound);
  // No playback graph yet: the last line's end is guessed (not -1, which would have it sung at
  // once), so its words are sung one after the other: "b" 0-2500, "c" 2500-5000.
  Load("[00:01.00]a\n[00:02.00]bc\n", -1);
  EXPECT_EQ(analyzer_.LocateLine(2000, false), (LyricPosition{1, 0, 0}));
  EXPECT_EQ(analyzer_.LocateLine(3250, false), (LyricPosition{1, 0, 50}));
  EXPECT_EQ(analyzer_.LocateLine(4500, false), (LyricPosition{1, 1, 0}));
  EXPECT_EQ(analyzer_.LocateLine(99999, true), (LyricPosition{1, 1, 100}));
  EXPECT_EQ(analyzer_.LocateLine(1500, false), (LyricPosition{0, 0, 50}));
}

TEST_F(LyricTimelineTest, OffsetShiftsEveryLine) {
  Load("[offset:-300]\n[00:01.00]a\n[00:02.00]b\n", 3000);
  // Due 300 ms earlier: at 1700 ms the second line is due.
  EXPECT_EQ(analyzer_.FindLine(1700)->text, "b");
  EXPECT_EQ(analyzer_.FindLine(1699)->text, "a");
  EXPECT_EQ(analyzer_.LocateLine(700, false), (LyricPosition{0, 0, 0}));
  EXPECT_EQ(analyzer_.FindLine(699), nullptr);
}

TEST_F(LyricTimelineTest, FindLine) {
  Load("[00:01.00]a\n[00:02.00]b\n[00:03.00]c\n", 4000);
  EXPECT_EQ(analyzer_.FindLine(999), nullptr);
  EXPECT_EQ(analyzer_.FindLine(1000)->text, "a");
  EXPECT_EQ(analyzer_.FindLine(2999)->text, "b");
  EXPECT_EQ(analyzer_.FindLine(3000)->text, "c");
  EXPECT_EQ(analyzer_.FindLine(99999)->text, "c");  // the last line has no end here
}

TEST_F(LyricTimelineTest, AdjustTimingKinds) {
  const std::string kText = "[00:01.00]a\n[00:02.00]b\n[00:03.00]c\n";
  struct Case {
    int delta_ms;
    int kind;
    std::optional<std::size_t> line;
    bool accepted;
    std::vector<std::string> rows;
    int offset_ms;
  };
  const std::vector<std::string> kSame = {"1000\t2000\ta", "2000\t3000\tb", "3000\t4000\tc"};
  const Case kCases[] = {
      {100, 1, 1, true, {"1000\t2000\ta", "2100\t3100\tb", "3000\t4000\tc"}, 0},
      {-200, 2, 1, true, {"1000\t2000\ta", "1800\t2800\tb", "2800\t4000\tc"}, 0},
      // Kind 2 on the last line moves only its start.
      {500, 2, 2, true, {"1000\t2000\ta", "2000\t3000\tb", "3500\t4000\tc"}, 0},
      {250, 3, std::nullopt, true, kSame, 250},
      {-250, 4, std::nullopt, true, kSame, -250},
      {100, 1, std::nullopt, false, kSame, 0},  // kinds 1 and 2 need a line
      {100, 2, std::nullopt, false, kSame, 0},
      {100, 1, 3, false, kSame, 0},  // no such line
      {100, 5, 0, false, kSame, 0},
      {100, 0, 0, false, kSame, 0},
      {INT_MAX, 1, 2, false, kSame, 0},  // would wrap
      {INT_MAX, 2, 0, false, kSame, 0},
  };
  for (const Case& c : kCases) {
    Load(kText, 4000);
    EXPECT_EQ(analyzer_.AdjustTiming(c.delta_ms, c.kind, c.line), c.accepted) << c.kind;
    EXPECT_EQ(analyzer_.document().modified, c.accepted) << c.kind;
    EXPECT_EQ(Rows(analyzer_.document()), c.rows) << c.kind;
    EXPECT_EQ(analyzer_.document().offset_ms, c.offset_ms) << c.kind;
  }
  Load(kText, 4000);
  ASSERT_TRUE(analyzer_.AdjustTiming(INT_MAX, 3, std::nullopt));
  EXPECT_FALSE(analyzer_.AdjustTiming(1, 3, std::nullopt));
  EXPECT_EQ(analyzer_.document().offset_ms, INT_MAX);

  analyzer_.Reset();
  EXPECT_FALSE(analyzer_.AdjustTiming(100, 3, std::nullopt));  // nothing loaded
}

TEST_F(LyricTimelineTest, SearchesFollowRetimedLinesOutOfOrder) {
  Load("[00:01.00]a\n[00:02.00]b\n[00:03.00]c\n[00:04.00]d\n", 5000);
  // "b" now overlaps "a": the first line in index order that contains the time wins.
  ASSERT_TRUE(analyzer_.AdjustTiming(-1500, 1, 1));  // b: 500..1500
  EXPECT_EQ(analyzer_.FindLine(600)->text, "b");
  EXPECT_EQ(analyzer_.FindLine(1200)->text, "a");
  EXPECT_EQ(analyzer_.LocateLine(1600, false), (LyricPosition{0, 0, 60}));
  // A gap after moving the rest later: the end of the lyric is shown, as for any gap.
  Load("[00:01.00]a\n[00:02.00]b\n[00:03.00]c\n[00:04.00]d\n", 5000);
  ASSERT_TRUE(analyzer_.AdjustTiming(500, 2, 2));  // a b end at 3000, c starts at 3500
  EXPECT_EQ(analyzer_.LocateLine(3200, false)->line, 3u);
  EXPECT_EQ(analyzer_.FindLine(3200), nullptr);
  EXPECT_EQ(analyzer_.FindLine(3600)->text, "c");
}

TEST_F(LyricTimelineTest, PlainTextAndReset) {
  Load("[ti:x]\n[offset:100]\n[00:02.00]second\n[00:01.00]first\n[00:03.00]\n", 4000);
  EXPECT_EQ(analyzer_.GetPlainText(), "first\r\nsecond\r\n");
  ASSERT_TRUE(analyzer_.AdjustTiming(5, 3, std::nullopt));
  analyzer_.Reset();
  const LyricDocument& document = analyzer_.document();
  EXPECT_EQ(document.state, LyricDocument::kStateNone);
  EXPECT_FALSE(document.modified);
  EXPECT_EQ(document.offset_ms, 0);
  EXPECT_TRUE(document.header_lines.empty());
  EXPECT_TRUE(document.timeline.empty());
  EXPECT_EQ(analyzer_.GetPlainText(), "");
  EXPECT_EQ(analyzer_.FindLine(1000), nullptr);
}

}  // namespace
}  // namespace quillo::lyrics
