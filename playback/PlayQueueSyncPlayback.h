#pragma once
// The playlist commands' view of playback in the program: the player's song, the store's current
// list and the selection; what they start or stop goes through the play surface, as every
// other control's does. Window thread only.
#include "service/sync/SyncPlayback.h"

namespace quillo::store {
class DocumentStore;
class Playlists;
class QueueSelection;
}  // namespace quillo::store

namespace quillo::playback {

class Player;
class PlaySurface;

class PlayQueueSyncPlayback : public service::SyncPlayback {
 public:
  struct Parts {
    store::DocumentStore& store;
    store::Playlists& playlists;
    store::QueueSelection& selection;
    PlaySurface& play;
    Player& player;
  };
  // Everything in parts must outlive this object.
  explicit PlayQueueSyncPlayback(Parts parts) : parts_(parts) {}

  // The player's song while it plays or is paused; empty when it is idle.
  std::string PlayingMusicId() override;
  std::string CurrentListId() override;
  void SetCurrentList(const std::string& list_id) override;
  std::optional<store::MusicRecord> PickNext(bool wrap) override;
  void PlayRecord(const store::MusicRecord& record) override;
  void Stop() override;

 private:
  Parts parts_;
};

}  // namespace quillo::playback
