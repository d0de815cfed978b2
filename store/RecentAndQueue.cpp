// The recently played list, the current list and item, and the download queue's view of the
// default list.
#include <algorithm>

#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"

namespace quillo::store {
namespace {

TiXmlElement ItemCarrying(const MusicRecord& record) {
  TiXmlElement item("item");
  item.SetAttribute("id", IdOf(record));
  for (const auto& [name, value] : record) {
    if (name != "id" && !name.empty()) item.SetAttribute(name, value);
  }
  return item;
}

}  // namespace

void Playlists::AddRecentlyPlayed(const MusicRecord& record) {
  auto lock = store_.Lock();
  const std::string& id = IdOf(record);
  if (id.empty()) return;
  std::vector<MusicRecordPtr>& recent = temporary_[std::string(kRecentListId)];
  TiXmlElement* stored = lists_.PlaylistElement(kRecentListId, true);
  if (stored == nullptr) return;
  auto known = std::find_if(recent.begin(), recent.end(), [&](const MusicRecordPtr& r) { return IdOf(*r) == id; });
  if (known != recent.end()) recent.erase(known);
  lists_.RemoveItemsWithId(stored, id);
  lists_.PrependItemCopy(stored, ItemCarrying(record));
  MusicRecord shown = record;
  MusicLibrary::AddSearchKeys(shown);
  recent.insert(recent.begin(), std::make_shared<const MusicRecord>(std::move(shown)));
  while (recent.size() > kRecentListLength) {
    recent.pop_back();
    std::vector<TiXmlElement*> items = lists_.Items(stored);
    if (!items.empty()) lists_.RemoveItem(stored, items.back());
  }
  // The stored copy follows the list even when older data left it longer.
  for (std::vector<TiXmlElement*> items = lists_.Items(stored); items.size() > kRecentListLength;
       items.pop_back()) {
    lists_.RemoveItem(stored, items.back());
  }
  store_.MarkListsChanged();
}

MusicRecordPtr Playlists::FindInTemporaryLists(std::string_view music_id) {
  auto lock = store_.Lock();
  for (const auto& [list_id, records] : temporary_) {
    for (const MusicRecordPtr& record : records) {
      if (IdOf(*record) == music_id) return record;
    }
  }
  return nullptr;
}

void Playlists::RebuildRecentlyPlayed() {
  auto lock = store_.Lock();
  std::vector<MusicRecordPtr>& recent = temporary_[std::string(kRecentListId)];
  recent.clear();
  const std::string user = store_.CurrentUser();
  if (TiXmlElement* stored = lists_.PlaylistElementOf(user, kRecentListId, false)) {
    for (TiXmlElement* item : lists_.Items(stored)) {
      MusicRecord record = DocumentStore::ReadAllAttributes(item);
      MusicLibrary::AddSearchKeys(record);
      recent.push_back(std::make_shared<const MusicRecord>(std::move(record)));
    }
    return;
  }
  // Older data called the list "latest" and kept only ids in it.
  TiXmlElement* old = lists_.PlaylistElementOf(user, "latest", false);
  if (old == nullptr) return;
  store_.SetText(old, "id", kRecentListId);
  for (TiXmlElement* item : lists_.Items(old)) {
    const MusicRecord* record = library_.CachedRecord(DocumentStore::GetTextOr(item, "id"));
    if (record == nullptr) {
      store_.RemoveElement(item);
      continue;
    }
    for (const auto& [name, value] : *record) {
      if (name != "id") item->SetAttribute(name, value);
    }
  }
  lists_.Forget(old);
  store_.MarkListsChanged();
}

void Playlists::SetCurrentList(const std::string& list_id) {
  auto lock = store_.Lock();
  store_.SetCurrentListField(list_id);
  store_.SetConfigText("module.music.currentplaylist", list_id);
}

void Playlists::SetCurrentItem(const std::string& music_id) {
  auto lock = store_.Lock();
  store_.SetCurrentItemField(music_id);
  store_.SetConfigText("module.music.currentplay", music_id);
}

std::optional<MusicRecord> Playlists::CurrentItemElement() {
  auto lock = store_.Lock();
  const TiXmlElement* list = lists_.PlaylistToRead(store_.CurrentList());
  if (list == nullptr) {
    SetCurrentList("");
    list = lists_.PlaylistElement("", true);
    if (list == nullptr) return std::nullopt;
  }
  std::optional<MusicRecord> item = lists_.ItemAttributes(list, store_.CurrentItem());
  if (!item) {
    item = lists_.FirstItemAttributes(list);
    SetCurrentItem(item ? IdOf(*item) : std::string());
  }
  return item;
}

bool Playlists::SetCurrentItemAttribute(std::string_view attribute, std::string_view text) {
  auto lock = store_.Lock();
  const std::string music_id = store_.CurrentItem();
  return !music_id.empty() && library_.SetMusicAttribute(music_id, attribute, text);
}

std::optional<MusicRecord> Playlists::FirstItemOfCurrentList() {
  auto lock = store_.Lock();
  const TiXmlElement* list = lists_.PlaylistToRead(store_.CurrentList());
  if (list == nullptr) list = lists_.PlaylistElement(store_.CurrentList(), true);
  std::optional<MusicRecord> item = lists_.FirstItemAttributes(list);
  if (!item) return std::nullopt;
  store_.SetCurrentItemField(IdOf(*item));
  return item;
}

std::vector<std::string> Playlists::TakeWaitingSongs(std::size_t count) {
  auto lock = store_.Lock();
  std::vector<std::string> taken;
  if (count == 0) return taken;
  lists_.ForEachItemId(lists_.PlaylistToRead(""), [&](const std::string& id) {
    if (IsLocalId(id) || library_.IsPaused(id)) return true;
    const MusicRecord* record = library_.CachedRecord(id);
    if (record == nullptr || SongStatusOf(*record) != SongStatus::kWaiting) return true;
    if (std::find(taken.begin(), taken.end(), id) != taken.end()) return true;
    taken.push_back(id);
    return taken.size() < count;
  });
  // Marked once the walk is over: a status change does not touch the list, but it need not
  // run inside its walk either.
  for (const std::string& id : taken) library_.SetSongStatus(id, SongStatus::kDownloading);
  return taken;
}

std::vector<MusicRecord> Playlists::DownloadQueueRecords() {
  auto lock = store_.Lock();
  std::vector<MusicRecord> records;
  lists_.ForEachItemId(lists_.PlaylistToRead(""), [&](const std::string& id) {
    if (IsLocalId(id)) return true;
    const MusicRecord* record = library_.CachedRecord(id);
    if (record == nullptr || SongStatusOf(*record) == SongStatus::kDownloaded) return true;
    MusicRecord copy = *record;
    copy["paused"] = library_.IsPaused(id) ? "true" : "false";
    records.push_back(std::move(copy));
    return true;
  });
  return records;
}

}  // namespace quillo::store
