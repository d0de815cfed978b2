// The song list's commands that take songs out: delete, remove from the list, clear; and adding
// a temporary list's songs to the library.
#include <algorithm>
#include <set>

#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/sync/ListKinds.h"
#include "service/sync/MirrorRequests.h"
#include "service/sync/PhoneLists.h"
#include "service/sync/PlaylistSync.h"
#include "service/sync/SyncPlayback.h"
#include "service/sync/SyncView.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"

namespace quillo::service {

int PlaylistSync::AddToLibrary() {
  std::vector<std::string> added;
  for (const SelectedSong& song : SelectedSongs()) {
    const std::string& id = store::IdOf(song.record);
    if (parts_.library.HasMusic(id)) continue;
    if (parts_.library.AddMusic(song.record)) added.push_back(id);
  }
  if (!added.empty()) Mirror(ServiceRequests::AddMusic(added));
  return static_cast<int>(added.size());
}

void PlaylistSync::StopOrMoveToDefaultList() {
  if (parts_.playback.CurrentListId() != kDefaultListId) {
    parts_.playback.SetCurrentList(std::string(kDefaultListId));
    if (std::optional<store::MusicRecord> next = parts_.playback.PickNext(/*wrap=*/true)) {
      parts_.playback.PlayRecord(*next);
      return;
    }
  }
  parts_.playback.Stop();
}

bool PlaylistSync::DeleteSongs() {
  const std::vector<SelectedSong> songs = SelectedSongs();
  if (songs.empty()) return false;
  std::vector<std::string> ids;
  for (const SelectedSong& song : songs) ids.push_back(store::IdOf(song.record));
  const std::string shown = parts_.view.ShownListId();
  if (!IsDeviceListId(shown)) return DeleteLibrarySongs(ids);

  const bool stop_afterwards = LeavePlayingSong({ids.begin(), ids.end()});
  for (const std::string& id : ids) parts_.phone.DeleteSong(shown, id);
  parts_.view.RefreshSongList();
  if (stop_afterwards) StopOrMoveToDefaultList();
  parts_.phone.StartUpdate();
  return true;
}

bool PlaylistSync::DeleteLibrarySongs(const std::vector<std::string>& music_ids) {
  if (music_ids.empty()) return false;
  const bool stop_afterwards = LeavePlayingSong({music_ids.begin(), music_ids.end()});
  for (const std::string& id : music_ids) parts_.library.DeleteMusic(id);
  Mirror(ServiceRequests::DeleteMusic(music_ids));
  parts_.view.RefreshSongList();
  if (stop_afterwards) StopOrMoveToDefaultList();
  return true;
}

bool PlaylistSync::LeavePlayingSong(const std::set<std::string>& going) {
  // The playing song is going: its successor in the current list starts now, while its
  // record still exists.
  const std::string current = parts_.playback.CurrentListId();
  const std::string playing = parts_.playback.PlayingMusicId();
  if (IsTemporaryListId(current) || playing.empty() || going.count(playing) == 0) return false;
  const std::vector<store::MusicRecordPtr> list = parts_.playlists.ListRecords(current);
  const store::MusicRecord* replacement = nullptr;
  auto at = std::find_if(list.begin(), list.end(), [&](const store::MusicRecordPtr& record) {
    return store::IdOf(*record) == playing;
  });
  if (at != list.end()) {
    auto next = std::find_if(std::next(at), list.end(), [&](const store::MusicRecordPtr& record) {
      return going.count(store::IdOf(*record)) == 0;
    });
    if (next != list.end()) replacement = next->get();
  }
  if (replacement == nullptr && !list.empty() && going.count(store::IdOf(*list.front())) == 0) {
    replacement = list.front().get();
  }
  if (replacement == nullptr) return true;
  parts_.playback.PlayRecord(*replacement);
  return false;
}

bool PlaylistSync::RemoveFromList() {
  const std::vector<SelectedSong> songs = SelectedSongs();
  if (songs.empty()) return false;
  const std::string shown = parts_.view.ShownListId();
  std::set<std::string> selected_ids;
  std::set<int> selected_rows;
  for (const SelectedSong& song : songs) {
    selected_ids.insert(store::IdOf(song.record));
    selected_rows.insert(song.row);
  }

  bool stop_afterwards = false;
  const std::string playing = parts_.playback.PlayingMusicId();
  if (shown == parts_.playback.CurrentListId() && !playing.empty() &&
      selected_ids.count(playing) != 0) {
    const int first = *selected_rows.begin();
    std::optional<int> found;
    for (int row = first + 1; row < parts_.view.RowCount(); ++row) {
      if (selected_rows.count(row) == 0) {
        found = row;
        break;
      }
    }
    if (!found && first != 0) found = 0;
    if (found) {
      if (std::optional<store::MusicRecord> record = parts_.view.RowRecord(*found)) {
        parts_.playback.PlayRecord(*record);
      } else {
        parts_.playback.Stop();
      }
    } else {
      stop_afterwards = true;
    }
  }

  const bool on_phone = IsDeviceListId(shown);
  const bool mirrored = IsUserPlaylistId(shown);
  std::vector<std::string> ids;
  for (const SelectedSong& song : songs) {
    const std::string& id = store::IdOf(song.record);
    if (on_phone) {
      parts_.phone.RemoveSong(shown, id);
    } else {
      parts_.playlists.RemoveItem(shown, id);
    }
    if (mirrored) ids.push_back(id);
  }
  if (mirrored) Mirror(ServiceRequests::DeleteMusicFromPlaylist(shown, ids));
  parts_.view.RefreshSongList();
  if (stop_afterwards) StopOrMoveToDefaultList();
  if (shown == kLocalListId && parts_.playlists.PlaylistIsEmpty(shown)) {
    parts_.view.RefreshPlaylistPanel();
  }
  if (on_phone) parts_.phone.StartUpdate();
  return true;
}

bool PlaylistSync::ClearList() {
  const std::string shown = parts_.view.ShownListId();
  const bool on_phone = IsDeviceListId(shown);
  if (on_phone) {
    parts_.phone.ClearList(shown);
  } else {
    parts_.playlists.ClearList(shown);
  }
  parts_.view.RefreshSongList();
  // The song that plays goes on; the queue continues in the default list.
  if (shown == parts_.playback.CurrentListId()) {
    parts_.playback.SetCurrentList(std::string(kDefaultListId));
  }
  if (!on_phone && IsUserPlaylistId(shown)) {
    Mirror(ServiceRequests(parts_.store.ClientId()).ClearPlaylist(shown));
  }
  if (shown == kLocalListId) parts_.view.RefreshPlaylistPanel();
  if (on_phone) parts_.phone.StartUpdate();
  return true;
}

}  // namespace quillo::service
