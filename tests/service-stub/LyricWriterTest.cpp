#include "service-stub/LyricWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>

#include "service-stub/MelodySynth.h"

namespace quillo::stub {
namespace {

// Two sung phrases, an instrumental break, the first line again, and an ending.
struct Song {
  std::vector<std::string> lines = {"", "风吹过街角", "我在等你", "", "风吹过街角", ""};
  MelodyScore score;
  Song() {
    std::vector<int> units;
    for (const auto& line : lines) units.push_back(static_cast<int>(LyricUnits(line, Language::kChinese).size()));
    score = ComposeMelody(3, units);
  }
};

// Time tags of every line of an LRC text, in milliseconds, with their texts.
std::vector<std::pair<int, std::string>> ReadTags(const std::string& lrc) {
  std::vector<std::pair<int, std::string>> tags;
  std::istringstream stream(lrc);
  std::string line;
  const std::regex tag(R"(\[(\d+):(\d+)\.(\d+)\])");
  while (std::getline(stream, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<int> times;
    std::smatch match;
    std::string rest = line;
    while (std::regex_search(rest, match, tag) && match.position(0) == 0) {
      const std::string fraction = match[3];
      const int ms = std::stoi(match[1]) * 60000 + std::stoi(match[2]) * 1000 +
                     (fraction.size() == 2 ? std::stoi(fraction) * 10 : std::stoi(fraction));
      times.push_back(ms);
      rest = match.suffix();
    }
    for (const int time : times) tags.emplace_back(time, rest);
  }
  return tags;
}

TEST(LyricUnitsTest, SplitsByScript) {
  EXPECT_EQ(LyricUnits("风吹过", Language::kChinese), (std::vector<std::string>{"风", "吹", "过"}));
  EXPECT_EQ(LyricUnits("I don't  know", Language::kEnglish), (std::vector<std::string>{"I", "don't", "know"}));
  EXPECT_EQ(LyricUnits("별빛 아래", Language::kKorean).size(), 4u);
}

TEST(LyricWriterTest, LinesStartWithTheirFirstNote) {
  Song song;
  LrcStyle style;
  style.three_digit_times = true;
  const auto tags = ReadTags(BuildLrc(song.score, song.lines, style));
  // Sung lines at their first note; the break in between and the ending are empty lines.
  ASSERT_EQ(tags.size(), 5u);
  EXPECT_EQ(tags[0], (std::pair<int, std::string>{song.score.phrases[1].notes[0].start_ms, "风吹过街角"}));
  EXPECT_EQ(tags[1].first, song.score.phrases[2].notes[0].start_ms);
  EXPECT_EQ(tags[2], (std::pair<int, std::string>{song.score.phrases[3].start_ms, ""}));
  EXPECT_EQ(tags[3].first, song.score.phrases[4].notes[0].start_ms);
  EXPECT_EQ(tags[4].second, "");
}

TEST(LyricWriterTest, StylesChangeTheForm) {
  Song song;
  LrcStyle style;
  style.header_tags = true;
  style.title = "晚风";
  style.artist = "林晓风";
  style.offset_ms = 500;
  style.merge_repeats = true;
  style.crlf = false;
  const std::string lrc = BuildLrc(song.score, song.lines, style);
  EXPECT_EQ(lrc.find("\r"), std::string::npos);
  EXPECT_EQ(lrc.rfind("[ti:晚风]\n[ar:林晓风]\n[by:Zelbo音乐]\n[offset:500]\n", 0), 0u) << lrc;
  // The repeated line carries both of its tags; the tags are early by the offset.
  const auto tags = ReadTags(lrc);
  ASSERT_GE(tags.size(), 2u);
  EXPECT_EQ(tags[0].second, "风吹过街角");
  EXPECT_EQ(tags[1].second, "风吹过街角");
  EXPECT_NEAR(tags[0].first, song.score.phrases[1].notes[0].start_ms - 500, 10);
  EXPECT_NEAR(tags[1].first, song.score.phrases[4].notes[0].start_ms - 500, 10);
  EXPECT_EQ(LrcTimeTag(61234, false), "[01:01.23]");
  EXPECT_EQ(LrcTimeTag(-40, true), "[00:00.000]");
}

TEST(LyricWriterTest, KaraokeUnitsLastAsLongAsTheirNotes) {
  Song song;
  const std::string script = BuildKaraokeScript(song.score, song.lines, Language::kChinese);
  const std::regex line(R"(karaoke\.add\('(\d\d):(\d\d)\.(\d\d\d)', '(\d\d):(\d\d)\.(\d\d\d)', '([^']*)', '([0-9,]+)'\);)");
  std::istringstream stream(script);
  std::string text;
  int count = 0;
  while (std::getline(stream, text)) {
    std::smatch match;
    if (!std::regex_match(text, match, line)) continue;
    const int start = std::stoi(match[1]) * 60000 + std::stoi(match[2]) * 1000 + std::stoi(match[3]);
    const int end = std::stoi(match[4]) * 60000 + std::stoi(match[5]) * 1000 + std::stoi(match[6]);
    int sum = 0, units = 0;
    std::stringstream durations(match[8]);
    for (std::string d; std::getline(durations, d, ',');) {
      EXPECT_GE(std::stoi(d), 1);
      sum += std::stoi(d);
      ++units;
    }
    EXPECT_EQ(end - start, sum) << text;
    EXPECT_EQ(units, static_cast<int>(LyricUnits(match[7].str(), Language::kChinese).size())) << text;
    ++count;
  }
  EXPECT_EQ(count, 3);
}

TEST(LyricWriterTest, EnglishKaraokeUsesBracketedWordsAndDoubledQuotes) {
  const std::vector<std::string> lines = {"", "I don't know", ""};
  const MelodyScore score = ComposeMelody(9, {0, 3, 0});
  const std::string script = BuildKaraokeScript(score, lines, Language::kEnglish);
  EXPECT_NE(script.find("'[I ][don''t ][know]'"), std::string::npos) << script;
}

}  // namespace
}  // namespace quillo::stub
