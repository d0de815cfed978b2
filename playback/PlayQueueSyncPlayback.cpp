#include "playback/PlayQueueSyncPlayback.h"

#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "store/DocumentStore.h"
#include "store/Playlists.h"
#include "store/QueueSelection.h"

namespace quillo::playback {

std::string PlayQueueSyncPlayback::PlayingMusicId() {
  return parts_.player.IsActive() ? parts_.player.GetMusicId() : std::string();
}

std::string PlayQueueSyncPlayback::CurrentListId() {
  return parts_.store.CurrentList();
}

void PlayQueueSyncPlayback::SetCurrentList(const std::string& list_id) {
  parts_.playlists.SetCurrentList(list_id);
}

std::optional<store::MusicRecord> PlayQueueSyncPlayback::PickNext(bool wrap) {
  return parts_.selection.PickNext(wrap);
}

void PlayQueueSyncPlayback::PlayRecord(const store::MusicRecord& record) {
  // In the current list, which stays current.
  parts_.play.PlaySong(parts_.store.CurrentList(), record);
}

void PlayQueueSyncPlayback::Stop() {
  parts_.play.Stop();
}

}  // namespace quillo::playback
