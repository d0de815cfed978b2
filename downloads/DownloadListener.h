#pragma once
// What the download manager tells the rest of the program: the lyric component waits for a
// queued lyric, the main window redraws an artist picture, progress displays follow songs.
// Window thread.
#include <optional>
#include <string>

namespace quillo::downloads {

class DownloadListener {
 public:
  virtual ~DownloadListener() = default;
  // A queued lyric arrived at `path`, or (no path) its download failed.
  virtual void OnLyricDownloaded(const std::string& /*music_id*/,
                                 const std::optional<std::string>& /*path*/) {}
  // A song's download ended: filed (status 2, also when an older copy was taken over) or not
  // (status 3, or 0 for a paused song). Not called for songs that were stopped.
  virtual void OnSongFinished(const std::string& /*music_id*/, bool /*filed*/) {}
  // The picture of the artist is now at `path`.
  virtual void OnArtistPictureDownloaded(const std::string& /*artist_id*/,
                                         const std::string& /*path*/) {}
};

}  // namespace quillo::downloads
