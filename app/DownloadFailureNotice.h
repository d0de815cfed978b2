#pragma once
// Tells the person when a song could not be downloaded, naming it: on the main window's status
// line, in a desktop notice where the desktop shows them, and as a line of the run's output.
// This is where a failed download shows until the download windows exist.
//
// Window thread (a download listener). The library outlives this object.
#include <functional>
#include <string>

#include "downloads/DownloadListener.h"

namespace quillo::store {
class MusicLibrary;
}

namespace quillo::app {

class DownloadFailureNotice : public downloads::DownloadListener {
 public:
  struct Outputs {
    // Each may be empty.
    std::function<void(const std::string& text)> status_line;
    std::function<void(const std::string& title, const std::string& body)> notify;
    std::function<void(const std::string& line)> report;
  };

  DownloadFailureNotice(const store::MusicLibrary& library, Outputs outputs);

  // Only a song that ended as failed is told; a filed song and a paused one (it goes back to
  // waiting) are not.
  void OnSongFinished(const std::string& music_id, bool filed) override;

  // "ARTIST - TITLE", or the title alone without an artist.
  static std::string SongName(const std::string& artist, const std::string& title);
  // "下载失败：" and the song's name.
  static std::string StatusText(const std::string& song_name);

 private:
  const store::MusicLibrary& library_;
  Outputs outputs_;
};

}  // namespace quillo::app
