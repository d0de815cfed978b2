#pragma once
// What the playlist commands need of playback when they remove the playing song: the play
// queue's operations over the player and the store's current list. The main window implements
// it over its PlayQueue (playback/PlayQueueSyncPlayback); a process without a player uses
// IdlePlayback. Window thread only.
#include <optional>
#include <string>

#include "store/MusicRecord.h"

namespace quillo::service {

class SyncPlayback {
 public:
  virtual ~SyncPlayback() = default;

  // The id of the song the player is playing (or has paused); empty when nothing plays.
  virtual std::string PlayingMusicId() = 0;
  // The play queue's list ("" is the default list).
  virtual std::string CurrentListId() = 0;
  virtual void SetCurrentList(const std::string& list_id) = 0;
  // The next song of the current list, which becomes the current item; no value when there is
  // none.
  virtual std::optional<store::MusicRecord> PickNext(bool wrap) = 0;
  // Starts the song (the play queue's PlayRecord).
  virtual void PlayRecord(const store::MusicRecord& record) = 0;
  virtual void Stop() = 0;
};

}  // namespace quillo::service
