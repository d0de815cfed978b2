#pragma once
// Helpers of the lyric fetching tests: a player whose current song the test sets, and a cache
// sink that records its entries.
#include <string>
#include <utility>
#include <vector>

#include "lyrics/LyricCacheSink.h"
#include "lyrics/LyricPlayerInfo.h"

namespace quillo::lyrics::testing {

class CurrentSongPlayer : public LyricPlayerInfo {
 public:
  std::string DisplayTitle() const override { return {}; }
  int DurationMs() const override { return 10000; }
  std::string CurrentMusicId() const override { return current; }
  std::string current;
};

class RecordingCache : public LyricCacheSink {
 public:
  void AddLyric(const std::string& music_id, const std::string& path) override {
    entries.emplace_back(music_id, path);
  }
  std::vector<std::pair<std::string, std::string>> entries;
};

}  // namespace quillo::lyrics::testing
