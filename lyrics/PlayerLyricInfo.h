#pragma once
// The lyric side's view of the media player: display title, duration and the current song.
// Window thread; the player must outlive this object.
#include "lyrics/LyricPlayerInfo.h"
#include "playback/Player.h"

namespace quillo::lyrics {

class PlayerLyricInfo : public LyricPlayerInfo {
 public:
  explicit PlayerLyricInfo(playback::Player& player) : player_(player) {}
  std::string DisplayTitle() const override { return player_.GetDisplayTitle(); }
  int DurationMs() const override { return player_.GetDurationMs(); }
  std::string CurrentMusicId() const override { return player_.GetMusicId(); }

 private:
  playback::Player& player_;
};

}  // namespace quillo::lyrics
