#pragma once
// What loading a lyric needs to know about the song that is playing. The media player provides
// it; tools and tests pass fixed values. Called on the window thread.
#include <string>

namespace quillo::lyrics {

class LyricPlayerInfo {
 public:
  virtual ~LyricPlayerInfo() = default;
  // The player's display title (the title followed by the duration in minutes and seconds);
  // it decides between UTF-8 and GBK for files without a byte order mark.
  virtual std::string DisplayTitle() const = 0;
  // The current song's duration in ms, -1 while no playback graph exists; the last LRC line
  // ends there.
  virtual int DurationMs() const = 0;
  // The music id of the song the player holds; empty when none (tools play nothing). A fetched
  // lyric is loaded only while its song is still this one.
  virtual std::string CurrentMusicId() const { return {}; }
};

}  // namespace quillo::lyrics
