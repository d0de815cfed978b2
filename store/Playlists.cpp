#include "store/Playlists.h"

#include "platform/text/TextUtil.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "store/ListDocument.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/SafeNames.h"

namespace quillo::store {

Playlists::Playlists(DocumentStore& store, PlaylistIndex& lists, MusicLibrary& library)
    : store_(store), lists_(lists), library_(library) {}

void Playlists::OnOpen(DocumentStore&) {
  temporary_.clear();
  RebuildRecentlyPlayed();
}

void Playlists::OnClose(DocumentStore&) { temporary_.clear(); }

bool Playlists::IsTemporaryId(std::string_view list_id) { return text::StartsWith(list_id, "t_"); }

std::vector<MusicRecordPtr>* Playlists::TemporaryList(std::string_view list_id) {
  auto it = temporary_.find(list_id);
  return it == temporary_.end() ? nullptr : &it->second;
}

// ---- Users ------------------------------------------------------------------------------

std::vector<UserInfo> Playlists::ListUsers() {
  auto lock = store_.Lock();
  std::vector<UserInfo> users;
  for (TiXmlElement* user : lists_.Users()) {
    std::string id = DocumentStore::GetTextOr(user, "id");
    if (id.empty()) continue;
    users.push_back({id, DocumentStore::GetTextOr(user, "username"), DocumentStore::GetTextOr(user, "contextKey")});
  }
  return users;
}

UserInfo Playlists::CurrentUserInfo() {
  auto lock = store_.Lock();
  std::string current = store_.CurrentUser();
  if (current.empty()) return {};
  TiXmlElement* user = lists_.UserElement(current, false);
  if (user == nullptr) return {};
  return {DocumentStore::GetTextOr(user, "id"), DocumentStore::GetTextOr(user, "username"),
          DocumentStore::GetTextOr(user, "contextKey")};
}

void Playlists::ForgetSessionKey() {
  auto lock = store_.Lock();
  TiXmlElement* user = lists_.UserElement(store_.CurrentUser(), false);
  if (user) store_.RemoveAttribute(user, "contextKey");
  store_.MarkListsChanged();
}

void Playlists::Logout() {
  auto lock = store_.Lock();
  if (TiXmlElement* user = lists_.UserElement(store_.CurrentUser(), false)) {
    store_.RemoveAttribute(user, "contextKey");
  }
  store_.SetCurrentUserField(std::string());
  RebuildRecentlyPlayed();
  store_.NotifyUserChanged(std::string());
  store_.RemoveConfig(keys::kContextId);
  store_.RemoveConfig(keys::kCurrentUser);
}

void Playlists::SetCurrentUser(const std::string& user_id) {
  // The recently played list is rebuilt from the document, so this takes the lock like every
  // other operation (it is re-entrant: the login answer calls this while holding it).
  auto lock = store_.Lock();
  store_.SetCurrentUserField(user_id);
  RebuildRecentlyPlayed();
  store_.SetConfigText("sorvel.currentuser", user_id);
}

// ---- Lists --------------------------------------------------------------------------------

std::vector<PlaylistEntry> Playlists::ListPlaylists(bool without_devices) {
  auto lock = store_.Lock();
  std::vector<PlaylistEntry> entries;
  for (const TiXmlElement* playlist : lists_.PlaylistsToRead(store_.CurrentUser())) {
    std::string id = DocumentStore::GetTextOr(playlist, "id");
    if (IsHexId32(id)) entries.push_back({DocumentStore::GetTextOr(playlist, "name"), id});
  }
  if (!without_devices && library_.device_source()) {
    for (PlaylistEntry& entry : library_.device_source()->DevicePlaylists()) entries.push_back(std::move(entry));
  }
  return entries;
}

int Playlists::CountPlaylists() {
  auto lock = store_.Lock();
  return static_cast<int>(lists_.PlaylistsToRead(store_.CurrentUser()).size());
}

std::string Playlists::FindPlaylistByName(std::string_view name) {
  auto lock = store_.Lock();
  for (const TiXmlElement* playlist : lists_.PlaylistsToRead(store_.CurrentUser())) {
    if (DocumentStore::GetText(playlist, "name") == std::optional<std::string>(std::string(name))) {
      return DocumentStore::GetTextOr(playlist, "id");
    }
  }
  return {};
}

bool Playlists::PlaylistExists(std::string_view list_id) {
  auto lock = store_.Lock();
  if (IsTemporaryId(list_id)) return TemporaryList(list_id) != nullptr;
  return lists_.PlaylistToRead(list_id) != nullptr;
}

bool Playlists::PlaylistIsEmpty(std::string_view list_id) {
  auto lock = store_.Lock();
  return lists_.IsEmpty(lists_.PlaylistToRead(list_id));
}

std::optional<PlaylistInfo> Playlists::GetPlaylistInfo(std::string_view list_id) {
  auto lock = store_.Lock();
  const TiXmlElement* playlist = lists_.PlaylistToRead(list_id);
  if (playlist == nullptr) return std::nullopt;
  return PlaylistInfo{DocumentStore::GetTextOr(playlist, "id"), DocumentStore::GetTextOr(playlist, "name"),
                      DocumentStore::GetTextOr(playlist, "sort_column"),
                      DocumentStore::GetTextOr(playlist, "sort_asc")};
}

void Playlists::SetPlaylistName(std::string_view list_id, std::string_view name) {
  auto lock = store_.Lock();
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, true);
  if (playlist) store_.SetText(playlist, "name", name);
  store_.MarkListsChanged();
}

bool Playlists::RenamePlaylist(std::string_view list_id, std::string_view name) {
  auto lock = store_.Lock();
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  if (playlist == nullptr) return false;
  store_.SetText(playlist, "name", name);
  return true;
}

bool Playlists::DeletePlaylist(std::string_view list_id) {
  auto lock = store_.Lock();
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  if (playlist == nullptr) return false;
  lists_.RemovePlaylist(playlist);
  return true;
}

std::string Playlists::CreatePlaylist(std::string_view name) {
  auto lock = store_.Lock();
  std::string id = DocumentStore::NewIdText();
  if (id.empty()) return {};
  SetPlaylistName(id, name);
  return id;
}

std::vector<MusicRecordPtr> Playlists::ListRecords(std::string_view list_id) {
  auto lock = store_.Lock();
  std::vector<MusicRecordPtr> records;
  if (text::StartsWith(list_id, "d_")) {
    if (DeviceListSource* devices = library_.device_source()) {
      for (MusicRecord& record : devices->DeviceListRecords(std::string(list_id))) {
        records.push_back(std::make_shared<const MusicRecord>(std::move(record)));
      }
    }
    return records;
  }
  if (IsTemporaryId(list_id)) {
    std::vector<MusicRecordPtr>* list = TemporaryList(list_id);
    return list ? *list : records;
  }
  bool songs_missing = false;
  lists_.ForEachItemId(lists_.PlaylistToRead(list_id), [&](const std::string& id) {
    MusicRecordPtr record = id.empty() ? nullptr : library_.SharedRecord(id);
    if (record) {
      records.push_back(std::move(record));
    } else {
      songs_missing = true;
    }
    return true;
  });
  if (songs_missing) {
    TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
    for (TiXmlElement* item : lists_.Items(playlist)) {
      const std::string* id = item->Attribute(std::string("id"));
      if (id == nullptr || !library_.HasMusic(*id)) lists_.RemoveItem(playlist, item);
    }
  }
  return records;
}

bool Playlists::ContainsItem(std::string_view list_id, std::string_view music_id) {
  auto lock = store_.Lock();
  return lists_.ItemAttributes(lists_.PlaylistToRead(list_id), music_id).has_value();
}

bool Playlists::AddItem(std::string_view list_id, std::string_view music_id) {
  auto lock = store_.Lock();
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  if (playlist == nullptr || !library_.HasMusic(music_id)) return false;
  return lists_.AppendItem(playlist, music_id);
}

bool Playlists::RemoveItem(std::string_view list_id, std::string_view music_id) {
  auto lock = store_.Lock();
  if (IsTemporaryId(list_id)) {
    std::vector<MusicRecordPtr>* list = TemporaryList(list_id);
    if (list == nullptr) return false;
    for (auto it = list->begin(); it != list->end(); ++it) {
      auto id = (*it)->find("id");
      if (id == (*it)->end() || id->second != music_id) continue;
      list->erase(it);
      if (list_id == kRecentListId) {
        TiXmlElement* stored = lists_.PlaylistElement(list_id, false);
        lists_.RemoveItem(stored, lists_.FindItem(stored, music_id));
      }
      return true;
    }
    return false;
  }
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  TiXmlElement* item = lists_.FindItem(playlist, music_id);
  if (item == nullptr) return false;
  lists_.RemoveItem(playlist, item);
  store_.MarkListsChanged();
  // A local song exists only while "local" holds it.
  if (list_id == PlaylistIndex::kLocalListId) library_.DeleteMusic(std::string(music_id));
  return true;
}

void Playlists::ClearList(std::string_view list_id) {
  auto lock = store_.Lock();
  if (IsTemporaryId(list_id)) {
    auto it = temporary_.find(list_id);
    if (it != temporary_.end()) temporary_.erase(it);
    if (TiXmlElement* stored = lists_.PlaylistElement(list_id, false)) lists_.RemovePlaylist(stored);
    store_.MarkListsChanged();
    return;
  }
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  if (playlist == nullptr) return;
  if (list_id == PlaylistIndex::kLocalListId) {
    // Ids first: deleting a song removes its items, duplicates included, from this list.
    std::vector<std::string> ids;
    lists_.ForEachItemId(playlist, [&](const std::string& id) {
      ids.push_back(id);
      return true;
    });
    for (const std::string& id : ids) library_.DeleteMusic(id);
    // DeleteMusic has removed the items of the songs it knew; what is left goes too.
    playlist = lists_.PlaylistElement(list_id, false);
  }
  lists_.RemoveAllItems(playlist);
}

// ---- Temporary lists ----------------------------------------------------------------------

void Playlists::SetFilterList(std::vector<MusicRecord> records) {
  SetTemporaryRecords(std::string(kFilterListId), std::move(records));
}

void Playlists::SetTemporaryRecords(const std::string& list_id, std::vector<MusicRecord> records) {
  auto lock = store_.Lock();
  std::vector<MusicRecordPtr>& list = temporary_[list_id];
  list.clear();
  list.reserve(records.size());
  for (MusicRecord& record : records) list.push_back(std::make_shared<const MusicRecord>(std::move(record)));
}

bool Playlists::SetTemporaryList(const std::string& list_id, std::string_view list_document) {
  std::optional<ListDocument> list = ParseListDocument(list_document);
  if (!list) return false;
  SetTemporaryRecords(list_id, std::move(list->records));
  return true;
}

}  // namespace quillo::store
