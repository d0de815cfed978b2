// Randomised input for the LRC and karaoke readers: no crash, no overflow (the sanitizer build
// checks), and what comes out still keeps the timeline's promises.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "LyricTestSupport.h"
#include "lyrics/KaraokeParser.h"
#include "lyrics/KaraokeScript.h"
#include "lyrics/LrcParser.h"
#include "lyrics/TimeTag.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

using quillo::testing::TempFolder;
using testing::FixedPlayer;
using testing::LoadFromBytes;
using testing::ScrambleKaraoke;

// Text built from the pieces the readers look for, so that random input reaches deep paths.
std::string RandomLyricText(std::mt19937& random, std::size_t pieces) {
  static const char* const kPieces[] = {
      "[",           "]",      ":",           ".",
      "'",           "''",     ",",           "(",
      ")",           "\n",     "\r\n",        " ",
      "\t",          "0",      "1",           "59",
      "99",          "123",    "99999999999", "2147483647",
      "-",           "+",      "[00:01.00]",  "[1:02]",
      "[offset:",    "offset", "[ti:",        "karaoke.add(",
      "'00:01.000'", "[x]",    "[]",          "你",
      "好",          "\xFF",   "\xC3",        "\xE4\xBD",
      "\0",          "a",      "bc",          "250,250",
      "'0'",
  };
  std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string text;
  for (std::size_t i = 0; i < pieces; ++i) {
    if (random() % 8 == 0) {
      text.push_back(static_cast<char>(byte(random)));
    } else {
      const char* piece = kPieces[pick(random)];
      text += piece[0] == '\0' ? std::string(1, '\0') : std::string(piece);
    }
  }
  return text;
}

void ExpectTimelinePromises(const LyricAnalyzer& analyzer) {
  const LyricDocument& document = analyzer.document();
  ASSERT_TRUE(document.state == LyricDocument::kStateLoaded ||
              document.state == LyricDocument::kStateFailed);
  const auto& lines = document.timeline.lines();
  EXPECT_EQ(document.state == LyricDocument::kStateLoaded, !lines.empty());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].index, i);
    EXPECT_GE(lines[i].start_ms, 0);
    if (i + 1 < lines.size()) {
      EXPECT_LE(lines[i].start_ms, lines[i + 1].start_ms);
      EXPECT_EQ(lines[i].end_ms, lines[i + 1].start_ms);
    }
    for (const LyricWord& word : lines[i].words) {
      EXPECT_LE(word.start_ms, word.end_ms);
      EXPECT_LE(std::size_t{word.text_offset} + word.text_size, lines[i].text.size());
    }
  }
}

TEST(LyricFuzzTest, TimeTagsOnRandomText) {
  std::mt19937 random(1234);
  for (int round = 0; round < 20000; ++round) {
    const std::string text = RandomLyricText(random, 1 + random() % 12);
    for (std::size_t at = 0; at < text.size(); ++at) {
      if (auto tag = ParseBracketTimeTag(text, at)) {
        EXPECT_GE(tag->time_ms, 0);
        EXPECT_LE(tag->next, text.size());
      }
    }
    EXPECT_LE(FindBracketTimeTag(text, 0), text.size());
    if (auto time_ms = ParseQuotedTime(text)) {
      EXPECT_GE(*time_ms, 0);
    }
  }
}

TEST(LyricFuzzTest, LrcFiles) {
  TempFolder folder;
  std::mt19937 random(99);
  for (int round = 0; round < 400; ++round) {
    FixedPlayer player(round % 2 ? "你好 03:00" : "", static_cast<int>(random() % 400000) - 1);
    LyricAnalyzer analyzer(&player);
    std::string bytes = RandomLyricText(random, 20 + random() % 400);
    if (round % 7 == 0) bytes = "\xFF\xFE" + bytes;
    if (round % 11 == 0) bytes = "\xFE\xFF" + bytes;
    LoadFromBytes(analyzer, folder, "f.lrc", bytes);
    ExpectTimelinePromises(analyzer);
    for (int probe = 0; probe < 20; ++probe) {
      const std::int64_t position_ms = static_cast<std::int64_t>(random() % 5000000) - 1000;
      auto position = analyzer.LocateLine(position_ms, probe % 2 == 0);
      if (position) {
        ASSERT_LT(position->line, analyzer.document().timeline.size());
        EXPECT_GE(position->percent, 0);
        EXPECT_LE(position->percent, 100);
      }
      analyzer.FindLine(position_ms);
    }
    // Re-timing with extreme values never wraps.
    analyzer.AdjustTiming(static_cast<int>(random()), 1 + random() % 4, random() % 4);
    analyzer.AdjustTiming(-static_cast<int>(random() >> 1), 1 + random() % 4, random() % 4);
    analyzer.LocateLine(static_cast<std::int64_t>(random()), true);
  }
}

TEST(LyricFuzzTest, KaraokeLinesAndFiles) {
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string line = "karaoke.add(" + RandomLyricText(random, random() % 30);
    if (auto parsed = ParseKaraokeLine(line)) {
      int running_ms = 0;
      for (const LyricWord& word : parsed->words) {
        EXPECT_EQ(word.start_ms, running_ms);
        EXPECT_GT(word.end_ms, word.start_ms);
        EXPECT_LE(std::size_t{word.text_offset} + word.text_size, parsed->text.size());
        running_ms = word.end_ms;
      }
    }
  }
  TempFolder folder;
  LyricAnalyzer analyzer;
  for (int round = 0; round < 300; ++round) {
    std::string script;
    for (int i = 0; i < 20; ++i) {
      script += "karaoke.add('00:0" + std::to_string(random() % 10) + ".000', '00:09.000', '" +
                RandomLyricText(random, random() % 6) + "', '" +
                RandomLyricText(random, random() % 4) + "');\n";
    }
    std::string bytes = ScrambleKaraoke(script, static_cast<std::uint8_t>(random()), random());
    // Now and then the scrambled bytes themselves are damaged.
    if (round % 3 == 0 && !bytes.empty()) bytes[random() % bytes.size()] ^= 0x5A;
    if (round % 5 == 0) bytes.resize(random() % (bytes.size() + 1));
    LoadFromBytes(analyzer, folder, "f.mrc", bytes);
    ExpectTimelinePromises(analyzer);
    analyzer.LocateLine(random() % 20000, round % 2 == 0);
  }
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(random() % 64, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    auto plain = UnscrambleKaraokeScript(bytes);
    EXPECT_EQ(plain.has_value(), bytes.size() >= 3);
    if (plain) {
      EXPECT_LE(plain->size(), bytes.size());
    }
  }
}

}  // namespace
}  // namespace quillo::lyrics
