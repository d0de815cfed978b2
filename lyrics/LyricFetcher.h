#pragma once
// The lyric side of starting, stopping and ending songs: the play queue's LyricStarter. At each
// song start it looks for the song's lyric file, loads it, and otherwise decides which lyric to
// fetch: into the cache folder for a temporary list, nothing for a phone's song, by name beside
// the file for a local song, else through the download manager. A service song whose lyric
// stands beside its file is refreshed from the checked copy in the background.
//
// Window thread only.
#include <functional>
#include <string>

#include "playback/LyricStarter.h"
#include "service/api/ServiceFileUrls.h"
#include "store/MusicLibrary.h"

namespace quillo::playback {
class Player;
}
namespace quillo::store {
class DocumentStore;
}  // namespace quillo::store

namespace quillo::lyrics {

class LyricAnalyzer;
class LyricDownloadQueue;
class LyricSavePrompt;

class LyricFetcher : public playback::LyricStarter {
 public:
  struct Parts {
    LyricAnalyzer& analyzer;
    store::DocumentStore& store;   // named folders "lyric" and ".cache"
    store::MusicLibrary& library;  // LyricPath, MusicPath
    playback::Player& player;      // songs started by id, title and artist
    LyricSavePrompt& prompt;       // over the main window
    // Builds the lyric and stream URLs.
    service::ServiceFileUrls urls;
    // May be null: a service song in an ordinary list then gets no lyric.
    LyricDownloadQueue* download_queue = nullptr;
    // The lyric views' share of ResetLyricViews and ClearLyricView; may be empty.
    std::function<void()> reset_views;
    std::function<void(bool reattach)> clear_views;
  };

  // Everything in parts must outlive the fetcher.
  explicit LyricFetcher(Parts parts) : parts_(std::move(parts)) {}

  void ResetLyricViews() override;
  // Saves a changed lyric (asking over the main window), resets the analyzer, then loads the
  // song's lyric file or starts the fetch that fits the song and its list.
  void StartLyrics(const playback::LyricStart& start) override;
  // Stopped: the lyric is dropped. Ended: a changed lyric is offered for saving first.
  void ClearLyricView(bool reattach) override;

  // A song requested by a hosted page: streams it with the title "title - artist" and downloads
  // its lyric into the "lyric" folder as "artist-title.lrc" (cleaned). The caller posts the
  // now-playing message, as the play queue does. False when the player refused the stream.
  bool StartSongById(const std::string& music_id, const std::string& title,
                     const std::string& artist);

  // At program close: a changed lyric is offered for saving.
  void SaveAtClose();

 private:
  // The song's lyric file: the library's rules, or for a phone's song the file of the same
  // name beside it on the phone.
  store::LyricLocation FindLyric(const playback::LyricStart& start);
  void FetchMissing(const playback::LyricStart& start, const std::string& music_id);

  Parts parts_;
};

}  // namespace quillo::lyrics
