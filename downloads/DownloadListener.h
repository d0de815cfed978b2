#pragma once
// What the download manager tells the rest of the program about companion files: the lyric
// component waits for a queued lyric, the main window redraws an artist picture. Window thread.
#include <optional>
#include <string>

namespace quillo::downloads {

class DownloadListener {
 public:
  virtual ~DownloadListener() = default;
  // A queued lyric arrived at `path`, or (no path) its download failed.
  virtual void OnLyricDownloaded(const std::string& /*music_id*/,
                                 const std::optional<std::string>& /*path*/) {}
  // The picture of the artist is now at `path`.
  virtual void OnArtistPictureDownloaded(const std::string& /*artist_id*/,
                                         const std::string& /*path*/) {}
};

}  // namespace quillo::downloads
