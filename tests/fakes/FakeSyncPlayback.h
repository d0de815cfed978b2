#pragma once
// Playback for the playlist commands' tests: the playing song is set by the test, the current
// list and the next pick are the real store's, and starting or stopping a song is noted in the
// shared event log (with whether the song was still in the library at that moment).
#include <optional>
#include <string>
#include <vector>

#include "service/sync/SyncPlayback.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/QueueSelection.h"

namespace quillo::testing {

class FakeSyncPlayback : public service::SyncPlayback {
 public:
  FakeSyncPlayback(store::DocumentStore& store, store::MusicLibrary& library,
                   store::Playlists& playlists, store::QueueSelection& selection,
                   std::vector<std::string>& log)
      : store_(store), library_(library), playlists_(playlists), selection_(selection), log_(log) {}

  std::string PlayingMusicId() override { return playing; }
  std::string CurrentListId() override { return store_.CurrentList(); }
  void SetCurrentList(const std::string& list_id) override {
    log_.push_back("current list " + list_id);
    playlists_.SetCurrentList(list_id);
  }
  std::optional<store::MusicRecord> PickNext(bool wrap) override {
    log_.push_back(wrap ? "pick next wrap" : "pick next");
    return selection_.PickNext(wrap);
  }
  void PlayRecord(const store::MusicRecord& record) override {
    const std::string& id = store::IdOf(record);
    log_.push_back("play " + id + (library_.HasMusic(id) ? "" : " (gone)"));
    playing = id;
  }
  void Stop() override {
    log_.push_back("stop");
    playing.clear();
  }

  std::string playing;

 private:
  store::DocumentStore& store_;
  store::MusicLibrary& library_;
  store::Playlists& playlists_;
  store::QueueSelection& selection_;
  std::vector<std::string>& log_;
};

}  // namespace quillo::testing
