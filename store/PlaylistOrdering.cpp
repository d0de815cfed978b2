// Moving playlists and items, and sorting a playlist.
#include <algorithm>
#include <set>

#include "store/ChineseCollator.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/PlaylistIndex.h"
#include "store/Playlists.h"

namespace quillo::store {

bool Playlists::MovePlaylist(std::string_view list_id, std::string_view target_id, bool before) {
  auto lock = store_.Lock();
  TiXmlElement* moved = lists_.PlaylistElement(list_id, false);
  TiXmlElement* target = lists_.PlaylistElement(target_id, false);
  if (moved == nullptr || target == nullptr || moved == target) return false;
  // "local" belongs to another user than the other lists; elements of different parents
  // cannot be ordered against each other.
  if (moved->Parent() != target->Parent()) return false;
  TiXmlNode* neighbour = before ? target->PreviousSibling() : target->NextSibling();
  while (neighbour && neighbour->ToElement() == nullptr) {
    neighbour = before ? neighbour->PreviousSibling() : neighbour->NextSibling();
  }
  if (neighbour == moved) return false;
  TiXmlElement* copy = before ? store_.InsertCopyBefore(target, *moved) : store_.InsertCopyAfter(target, *moved);
  if (copy == nullptr) return false;
  lists_.RemovePlaylist(moved);
  return true;
}

bool Playlists::MoveTemporaryItems(std::vector<MusicRecordPtr>& list, std::string_view target_id,
                                   const std::vector<std::string>& music_ids, bool before) {
  auto target = std::find_if(list.begin(), list.end(), [&](const MusicRecordPtr& r) { return IdOf(r) == target_id; });
  if (target == list.end()) return false;
  std::set<std::string, std::less<>> wanted(music_ids.begin(), music_ids.end());
  wanted.erase(std::string(target_id));
  std::vector<MusicRecordPtr> front, back;  // records placed before and after the target
  bool target_listed = std::find(music_ids.begin(), music_ids.end(), target_id) != music_ids.end();
  bool past_target = false;
  std::map<std::string, MusicRecordPtr, std::less<>> taken;
  std::vector<MusicRecordPtr> rest;
  for (MusicRecordPtr& record : list) {
    if (wanted.count(IdOf(record)) && !taken.count(IdOf(record))) {
      std::string id = IdOf(record);
      taken.emplace(id, std::move(record));
    } else {
      rest.push_back(std::move(record));
    }
  }
  if (taken.empty()) {
    list = std::move(rest);
    return false;
  }
  for (const std::string& id : music_ids) {
    if (id == target_id) {
      past_target = true;
      continue;
    }
    auto found = taken.find(id);
    if (found == taken.end()) continue;
    bool goes_before = target_listed ? !past_target : before;
    (goes_before ? front : back).push_back(std::move(found->second));
    taken.erase(found);
  }
  auto at = std::find_if(rest.begin(), rest.end(), [&](const MusicRecordPtr& r) { return IdOf(r) == target_id; });
  std::size_t index = static_cast<std::size_t>(at - rest.begin());
  rest.insert(rest.begin() + static_cast<long>(index) + 1, back.begin(), back.end());
  rest.insert(rest.begin() + static_cast<long>(index), front.begin(), front.end());
  list = std::move(rest);
  return true;
}

bool Playlists::MoveItems(std::string_view list_id, std::string_view target_id,
                          const std::vector<std::string>& music_ids, bool before) {
  auto lock = store_.Lock();
  if (IsTemporaryId(list_id)) {
    std::vector<MusicRecordPtr>* list = TemporaryList(list_id);
    return list && MoveTemporaryItems(*list, target_id, music_ids, before);
  }
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  TiXmlElement* target = lists_.FindItem(playlist, target_id);
  if (target == nullptr) return false;
  std::set<std::string, std::less<>> removed;
  for (const std::string& id : music_ids) {
    if (id != target_id && lists_.RemoveItemsWithId(playlist, id) > 0) removed.insert(id);
  }
  if (removed.empty()) return false;
  TiXmlElement* previous = nullptr;
  for (const std::string& id : music_ids) {
    // Each id once, and only ids that were in the list: a move never adds songs.
    if (removed.erase(id) == 0) continue;
    TiXmlElement fresh("item");
    fresh.SetAttribute("id", id);
    if (previous) {
      previous = store_.InsertCopyAfter(previous, fresh);
    } else {
      previous = before ? store_.InsertCopyBefore(target, fresh) : store_.InsertCopyAfter(target, fresh);
    }
  }
  lists_.Forget(playlist);
  store_.MarkListsChanged();
  return true;
}

bool Playlists::SortPlaylist(std::string_view list_id, const std::string& attribute, bool keep_direction) {
  auto lock = store_.Lock();
  TiXmlElement* playlist = lists_.PlaylistElement(list_id, false);
  if (playlist == nullptr) return false;
  ChineseCollator collator;
  struct Entry {
    std::string key;
    std::string id;
  };
  std::vector<Entry> entries;
  std::vector<TiXmlElement*> items;
  for (TiXmlElement* item : lists_.Items(playlist)) {
    std::string id = DocumentStore::GetTextOr(item, "id");
    const MusicRecord* record = library_.CachedRecord(id);
    if (record == nullptr) {
      lists_.RemoveItem(playlist, item);
      continue;
    }
    auto value = record->find(attribute);
    entries.push_back({collator.SortKey(value == record->end() ? std::string() : value->second), std::move(id)});
    items.push_back(item);
  }
  std::optional<std::string> sort_asc = DocumentStore::GetText(playlist, "sort_asc");
  bool ascending;
  if (!sort_asc) {
    ascending = true;
    store_.SetText(playlist, "sort_asc", "true");
  } else if (*sort_asc == "true") {
    ascending = keep_direction;
    if (!keep_direction) store_.SetText(playlist, "sort_asc", "false");
  } else {
    ascending = !keep_direction;
    if (!keep_direction) store_.SetText(playlist, "sort_asc", "true");
  }
  std::sort(entries.begin(), entries.end(), [ascending](const Entry& a, const Entry& b) {
    return ascending ? a.key < b.key : b.key < a.key;
  });
  for (std::size_t i = 0; i < items.size(); ++i) items[i]->SetAttribute("id", entries[i].id);
  lists_.Forget(playlist);
  store_.SetText(playlist, "sort_column", attribute);
  store_.MarkListsChanged();
  return true;
}

}  // namespace quillo::store
