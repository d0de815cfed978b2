#pragma once
// Playback for a process without a player (quillo-tool): nothing ever plays, so the commands
// never replace or stop a song; the current list and the next pick are the store's. Window
// thread (the store's operations take its lock).
#include "service/sync/SyncPlayback.h"

namespace quillo::store {
class DocumentStore;
class Playlists;
class QueueSelection;
}  // namespace quillo::store

namespace quillo::service {

class IdlePlayback : public SyncPlayback {
 public:
  // All must outlive this object.
  IdlePlayback(store::DocumentStore& store, store::Playlists& playlists,
               store::QueueSelection& selection)
      : store_(store), playlists_(playlists), selection_(selection) {}

  std::string PlayingMusicId() override { return {}; }
  std::string CurrentListId() override;
  void SetCurrentList(const std::string& list_id) override;
  std::optional<store::MusicRecord> PickNext(bool wrap) override;
  void PlayRecord(const store::MusicRecord&) override {}
  void Stop() override {}

 private:
  store::DocumentStore& store_;
  store::Playlists& playlists_;
  store::QueueSelection& selection_;
};

}  // namespace quillo::service
