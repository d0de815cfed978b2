#pragma once
// The lyric side of starting a song: the play queue tells the lyric views when a song starts,
// stops or ends; finding, loading and fetching the lyric is the implementer's (the lyric
// fetcher and views). Window thread only.
#include <string>

#include "store/MusicRecord.h"

namespace quillo::playback {

struct LyricStart {
  // The song's record as it is being played (the library's record when it has one).
  store::MusicRecord record;
  std::string title;
  // The file played, empty when the song is streamed.
  std::string song_path;
  // The current list: lyric fetches differ for temporary ("t_") and phone ("d_") lists.
  std::string list_id;
};

class LyricStarter {
 public:
  virtual ~LyricStarter() = default;
  // Before a new song starts: the lyric views forget the previous one.
  virtual void ResetLyricViews() = 0;
  // After the player was asked to play: look up, load or fetch the song's lyric.
  virtual void StartLyrics(const LyricStart& start) = 0;
  // Playback stopped (reattach false) or the song ended (reattach true): the lyric view is
  // cleared, and re-attached to the player after an end.
  virtual void ClearLyricView(bool reattach) = 0;
};

}  // namespace quillo::playback
