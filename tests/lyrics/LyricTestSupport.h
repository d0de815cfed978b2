#pragma once
// Helpers of the lyric tests: a player with fixed answers, a prompt with a fixed answer, the
// karaoke scrambler (written here independently of the reader) and loading a lyric from text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricPlayerInfo.h"
#include "lyrics/LyricSavePrompt.h"
#include "support/TempFolder.h"

namespace quillo::lyrics::testing {

class FixedPlayer : public LyricPlayerInfo {
 public:
  FixedPlayer(std::string title = {}, int duration_ms = -1)
      : title_(std::move(title)), duration_ms_(duration_ms) {}
  std::string DisplayTitle() const override { return title_; }
  int DurationMs() const override { return duration_ms_; }

 private:
  std::string title_;
  int duration_ms_;
};

class CountingPrompt : public LyricSavePrompt {
 public:
  explicit CountingPrompt(bool answer) : answer_(answer) {}
  bool AskYesNo(std::string_view question) override {
    questions.emplace_back(question);
    return answer_;
  }
  std::vector<std::string> questions;

 private:
  bool answer_;
};

// The scrambled form of a karaoke script: byte 0 anything, byte 1 the block length, then blocks
// of a key byte and up to block_length bytes XORed with it.
std::string ScrambleKaraoke(std::string_view plain, std::uint8_t block_length, std::uint32_t seed);

// Writes `bytes` as `name` in the folder and loads it; returns the state.
int LoadFromBytes(LyricAnalyzer& analyzer, const quillo::testing::TempFolder& folder,
                  const std::string& name, std::string_view bytes);

// "start<TAB>end<TAB>text" per line, for compact expectations.
std::vector<std::string> Rows(const LyricDocument& document);

}  // namespace quillo::lyrics::testing
