#pragma once
// Where a lyric fetched for playback is entered so that the play cache counts it against its
// limit and deletes it at close when its song has no music record. The application connects it
// to the play cache (kind "lyric"). Window thread.
#include <string>

namespace quillo::lyrics {

class LyricCacheSink {
 public:
  virtual ~LyricCacheSink() = default;
  // `path` is the absolute path of the downloaded lyric file.
  virtual void AddLyric(const std::string& music_id, const std::string& path) = 0;
};

}  // namespace quillo::lyrics
