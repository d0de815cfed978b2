// The playlist panel's commands, the "添加到播放列表" submenu and dropped songs.
#include <algorithm>
#include <set>

#include "platform/text/TextUtil.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/sync/ListKinds.h"
#include "service/sync/MirrorRequests.h"
#include "service/sync/PhoneLists.h"
#include "service/sync/PlaylistSync.h"
#include "service/sync/SyncPrompt.h"
#include "service/sync/SyncView.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"

namespace quillo::service {
namespace {

// The prompt's answer as a list name: a name of blanks only would give a list the service
// refuses (and a row without a caption), so it counts as cancelled.
std::optional<std::string> AskListName(SyncPrompt& prompt, const std::string& initial_text) {
  std::optional<std::string> name =
      prompt.PromptBox(SyncPrompt::kTitle, SyncPrompt::kPlaylistNameMessage, initial_text);
  if (!name || text::Trim(*name).empty()) return std::nullopt;
  return name;
}

std::vector<std::string> IdsOf(const std::vector<store::MusicRecord>& records) {
  std::vector<std::string> ids;
  for (const store::MusicRecord& record : records) ids.push_back(store::IdOf(record));
  return ids;
}

}  // namespace

PlaylistSync::PlaylistSync(Parts parts) : parts_(parts) {}

std::vector<PlaylistSync::SelectedSong> PlaylistSync::SelectedSongs() {
  std::vector<SelectedSong> songs;
  for (const int row : parts_.view.SelectedRows()) {
    std::optional<store::MusicRecord> record = parts_.view.RowRecord(row);
    if (record && !store::IdOf(*record).empty()) songs.push_back({row, std::move(*record)});
  }
  return songs;
}

void PlaylistSync::Mirror(const ServiceCall& call) {
  if (MirrorRequests* mirror = parts_.requests.mirror()) {
    mirror->Send(call);
  } else {
    parts_.requests.Send(call);
  }
}

void PlaylistSync::Mirror(const std::optional<ServiceCall>& call) {
  if (call) Mirror(*call);
}

void PlaylistSync::AddToIndexWhenMissing(const store::MusicRecord& record) {
  if (!parts_.library.HasMusic(store::IdOf(record))) parts_.library.AddMusic(record);
}

std::string PlaylistSync::NewPlaylist() {
  std::optional<std::string> name = AskListName(parts_.prompt, kNewPlaylistName);
  if (!name) return {};
  const std::string id = ServiceRequests::NewPlaylistId();
  if (id.empty()) return {};
  const std::optional<std::string> selected = parts_.view.SelectedPanelListId();
  if (parts_.phone.IsConnected() && (!selected || IsDeviceListId(*selected))) {
    std::string phone_list = parts_.phone.CreateList(id, *name);
    parts_.view.RefreshPlaylistPanel();
    parts_.phone.StartUpdate();
    return phone_list;
  }
  parts_.playlists.SetPlaylistName(id, *name);
  parts_.view.RefreshPlaylistPanel();
  Mirror(ServiceRequests::CreatePlaylist(*name, id));
  return id;
}

bool PlaylistSync::RenamePlaylist() {
  const std::optional<std::string> selected = parts_.view.SelectedPanelListId();
  if (!selected) return false;
  const std::string& id = *selected;
  std::string present_name;
  if (IsDeviceListId(id)) {
    for (const store::PlaylistEntry& entry : parts_.phone.Lists()) {
      if (entry.id == id) present_name = entry.name;
    }
  } else if (std::optional<store::PlaylistInfo> info = parts_.playlists.GetPlaylistInfo(id)) {
    present_name = info->name;
  }
  std::optional<std::string> name = AskListName(parts_.prompt, present_name);
  if (!name) return false;
  if (IsDeviceListId(id)) {
    const bool renamed = parts_.phone.RenameList(id, *name);
    parts_.view.RefreshPlaylistPanel();
    parts_.phone.StartUpdate();
    return renamed;
  }
  const bool renamed = parts_.playlists.RenamePlaylist(id, *name);
  if (renamed) Mirror(ServiceRequests::RenamePlaylist(id, *name));
  parts_.view.RefreshPlaylistPanel();
  return renamed;
}

bool PlaylistSync::DeletePlaylist() {
  const std::optional<std::string> selected = parts_.view.SelectedPanelListId();
  if (!selected) return false;
  const std::string& id = *selected;
  if (IsDeviceListId(id)) {
    const bool deleted = parts_.phone.DeleteList(id);
    parts_.view.RefreshPlaylistPanel();
    parts_.phone.StartUpdate();
    return deleted;
  }
  // The default list and "local" cannot be deleted.
  if (!IsUserPlaylistId(id) || !parts_.playlists.DeletePlaylist(id)) return false;
  parts_.view.RefreshPlaylistPanel();
  Mirror(ServiceRequests::DeletePlaylist(id));
  return true;
}

std::vector<store::PlaylistEntry> PlaylistSync::AddToListSequence(const std::string& shown_id) {
  if (IsDeviceListId(shown_id)) return parts_.phone.Lists();
  return parts_.playlists.ListPlaylists(/*without_devices=*/true);
}

std::vector<AddToListEntry> PlaylistSync::AddToListEntries() {
  const std::string shown = parts_.view.ShownListId();
  std::vector<store::PlaylistEntry> sequence = AddToListSequence(shown);
  std::vector<AddToListEntry> entries;
  for (std::size_t n = 0; n < sequence.size(); ++n) {
    if (sequence[n].id == shown) continue;
    entries.push_back(
        {kFirstAddToListCommand + static_cast<int>(n), sequence[n].id, sequence[n].name});
  }
  return entries;
}

bool PlaylistSync::AddToList(int command_id) {
  const std::string shown = parts_.view.ShownListId();
  const std::vector<store::PlaylistEntry> sequence = AddToListSequence(shown);
  const long n = static_cast<long>(command_id) - kFirstAddToListCommand;
  if (n < 0 || n >= static_cast<long>(sequence.size())) return false;
  const std::string target = sequence[static_cast<std::size_t>(n)].id;
  if (target == shown) return false;
  std::vector<store::MusicRecord> records;
  for (SelectedSong& song : SelectedSongs()) records.push_back(std::move(song.record));
  if (records.empty()) return false;

  if (IsDeviceListId(shown) && IsDeviceListId(target)) {
    const bool added = parts_.phone.AddSongs(target, records);
    if (added) parts_.phone.StartUpdate();
    return added;
  }
  if (IsDeviceListId(shown) || IsDeviceListId(target)) return false;
  if (!IsUserPlaylistId(target)) return false;
  for (const store::MusicRecord& record : records) {
    AddToIndexWhenMissing(record);
    parts_.playlists.AddItem(target, store::IdOf(record));
  }
  Mirror(ServiceRequests::AddMusicToPlaylist(target, IdsOf(records)));
  return true;
}

std::string PlaylistSync::NewListFromSelection(const std::optional<std::string>& name) {
  std::vector<store::MusicRecord> records;
  for (SelectedSong& song : SelectedSongs()) records.push_back(std::move(song.record));
  if (records.empty()) return {};
  const std::string shown = parts_.view.ShownListId();
  const bool from_phone = IsDeviceListId(shown);

  std::optional<std::string> album;
  std::optional<std::string> artist;
  auto value = [](const store::MusicRecord& record, const char* attribute) {
    auto it = record.find(attribute);
    return it == record.end() ? std::string() : it->second;
  };
  for (std::size_t n = 0; n < records.size(); ++n) {
    // A phone's songs go to the phone's list; entering them into the library would leave songs
    // there that vanish with the phone.
    if (!from_phone) AddToIndexWhenMissing(records[n]);
    if (n == 0) {
      album = value(records[n], "album_name");
      artist = value(records[n], "artist_name");
      continue;
    }
    if (album && *album != value(records[n], "album_name")) album.reset();
    if (artist && *artist != value(records[n], "artist_name")) artist.reset();
  }
  std::string list_name = kNewPlaylistName;
  if (name && !text::Trim(*name).empty()) {
    list_name = *name;
  } else if (album && !album->empty()) {
    list_name = *album;
  } else if (artist && !artist->empty()) {
    list_name = *artist;
  }
  const std::string id = ServiceRequests::NewPlaylistId();
  if (id.empty()) return {};

  if (!from_phone) {
    parts_.playlists.SetPlaylistName(id, list_name);
    for (const store::MusicRecord& record : records) {
      parts_.playlists.AddItem(id, store::IdOf(record));
    }
    parts_.view.RefreshPlaylistPanel();
    Mirror(ServiceRequests::CreatePlaylistWithMusic(list_name, id, IdsOf(records)));
    return id;
  }
  if (!parts_.phone.IsConnected()) return {};
  std::string phone_list = parts_.phone.CreateList(id, list_name);
  if (!phone_list.empty()) parts_.phone.AddSongs(phone_list, records);
  parts_.view.RefreshPlaylistPanel();
  parts_.phone.StartUpdate();
  return phone_list;
}

bool PlaylistSync::CopyToComputer() {
  if (!IsDeviceListId(parts_.view.ShownListId())) return false;
  std::vector<store::MusicRecord> records;
  for (SelectedSong& song : SelectedSongs()) records.push_back(std::move(song.record));
  if (records.empty()) return false;
  return parts_.phone.CopyFromPhone(std::string(), records);
}

bool PlaylistSync::AddDroppedSongs(const std::string& target_id,
                                   const std::vector<store::MusicRecord>& songs) {
  if (IsDeviceListId(target_id)) return parts_.phone.CopySongs(target_id, songs);
  if (!target_id.empty() && !IsUserPlaylistId(target_id)) return false;
  // A phone's songs have no file in the library yet: entering their records would leave songs
  // that vanish with the phone.
  const bool from_phone = std::any_of(songs.begin(), songs.end(), [](const store::MusicRecord& r) {
    return IsDeviceListId(store::IdOf(r));
  });
  if (from_phone) return parts_.phone.CopyFromPhone(target_id, songs);
  std::vector<std::string> ids;
  for (const store::MusicRecord& record : songs) {
    const std::string& id = store::IdOf(record);
    if (id.empty()) continue;
    AddToIndexWhenMissing(record);
    parts_.playlists.AddItem(target_id, id);
    ids.push_back(id);
  }
  if (ids.empty()) return false;
  Mirror(ServiceRequests::AddDroppedMusic(target_id, ids));
  return true;
}

}  // namespace quillo::service
