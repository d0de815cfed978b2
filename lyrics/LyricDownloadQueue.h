#pragma once
// The download manager's lyric request, as the song-start code uses it: a service song without
// a lyric file in an ordinary list gets its lyric through the download queue, which later calls
// LyricAnalyzer::LoadIfCurrent with the file (or with none on failure). Window thread.
#include <string>

namespace quillo::lyrics {

class LyricDownloadQueue {
 public:
  virtual ~LyricDownloadQueue() = default;
  // Queues a lyric download unless the song already has a lyric file or one is queued; true
  // when a download was queued.
  virtual bool QueueLyric(const std::string& music_id) = 0;
};

}  // namespace quillo::lyrics
