#include "store/PlaylistIndex.h"

#include <algorithm>
#include <iterator>

#include "store/DocumentPrinter.h"
#include "store/DocumentStore.h"

namespace quillo::store {

PlaylistIndex::PlaylistIndex(DocumentStore& store) : store_(store) {
  store_.AddRemovalObserver([this](const TiXmlElement& element) { OnElementRemoved(element); });
}

void PlaylistIndex::OnElementRemoved(const TiXmlElement& element) {
  const std::string& name = element.ValueStr();
  if (name != "item" && !ids_.empty()) {
    // The ids of the list removed or of any list inside what is removed go with it.
    for (auto it = ids_.begin(); it != ids_.end();) {
      const TiXmlNode* node = it->first;
      while (node != nullptr && node != &element) node = node->Parent();
      it = node != nullptr ? ids_.erase(it) : std::next(it);
    }
  }
  if (removing_ || index_.empty()) return;
  if (name == "item") {
    if (const TiXmlNode* parent = element.Parent()) Forget(parent->ToElement());
  } else if (name == "playlist") {
    Forget(&element);
  } else if (element.FirstChildElement() != nullptr) {
    index_.clear();  // a user, its playlists or more: whatever it held is gone
  }
}

void PlaylistIndex::OnOpen(DocumentStore& store) {
  index_.clear();
  ids_.clear();
  for (ListItemsReadAhead& list : store.TakeItemsReadAhead()) HoldIds(list.playlist, std::move(list.ids));
}

// The ids stay: they are the document's content, and the store may still print it.
void PlaylistIndex::OnClose(DocumentStore&) { index_.clear(); }

void PlaylistIndex::HoldIds(TiXmlElement* playlist, std::vector<std::string> ids) {
  ids_[playlist] = std::move(ids);
  store_.SetChildPrinter(playlist, [this, playlist](std::string& out, int depth) {
    const std::vector<std::string>* ids = HeldIds(playlist);
    if (ids == nullptr) return;
    for (const std::string& id : *ids) {
      out.append(static_cast<std::size_t>(depth) * 4, ' ');
      out += "<item";
      AppendAttribute(out, "id", id);
      out += " />\n";
    }
  });
}

const std::vector<std::string>* PlaylistIndex::HeldIds(const TiXmlElement* playlist) const {
  if (ids_.empty()) return nullptr;
  auto found = ids_.find(playlist);
  return found == ids_.end() ? nullptr : &found->second;
}

void PlaylistIndex::BuildItems(TiXmlElement* playlist) {
  auto found = ids_.find(playlist);
  if (found == ids_.end()) return;
  const std::vector<std::string> ids = std::move(found->second);
  ids_.erase(found);
  store_.SetChildPrinter(playlist, nullptr);
  DocumentStore::PutItemElementsFirst(*playlist, ids);
}

const TiXmlElement* PlaylistIndex::PlaylistToRead(std::string_view list_id) {
  const std::string user_id = list_id == kLocalListId ? std::string() : store_.CurrentUser();
  TiXmlElement* playlists = PlaylistsElement(user_id, false);
  return playlists ? store_.FindChild(playlists, "playlist", "id", list_id, false) : nullptr;
}

void PlaylistIndex::ForEachItemId(const TiXmlElement* playlist,
                                  const std::function<bool(const std::string& id)>& visit) {
  if (playlist == nullptr) return;
  if (const std::vector<std::string>* ids = HeldIds(playlist)) {
    for (const std::string& id : *ids) {
      if (!visit(id)) return;
    }
  }
  static const std::string kNoId;
  for (const TiXmlElement* item = playlist->FirstChildElement("item"); item;
       item = item->NextSiblingElement("item")) {
    const std::string* id = item->Attribute(std::string("id"));
    if (!visit(id ? *id : kNoId)) return;
  }
}

bool PlaylistIndex::IsEmpty(const TiXmlElement* playlist) const {
  if (playlist == nullptr) return true;
  const std::vector<std::string>* ids = HeldIds(playlist);
  return (ids == nullptr || ids->empty()) && playlist->FirstChildElement() == nullptr;
}

std::optional<MusicRecord> PlaylistIndex::ItemAttributes(const TiXmlElement* playlist,
                                                         std::string_view music_id) {
  if (playlist == nullptr) return std::nullopt;
  if (const std::vector<std::string>* ids = HeldIds(playlist)) {
    if (std::find(ids->begin(), ids->end(), music_id) == ids->end()) return std::nullopt;
    return MusicRecord{{"id", std::string(music_id)}};
  }
  // Looking an item up builds the index, not the items: the element is not changed.
  const TiXmlElement* item = FindItem(const_cast<TiXmlElement*>(playlist), music_id);
  if (item == nullptr) return std::nullopt;
  return DocumentStore::ReadAllAttributes(item);
}

std::optional<MusicRecord> PlaylistIndex::FirstItemAttributes(const TiXmlElement* playlist) {
  if (playlist == nullptr) return std::nullopt;
  if (const std::vector<std::string>* ids = HeldIds(playlist); ids != nullptr && !ids->empty()) {
    return MusicRecord{{"id", ids->front()}};
  }
  const TiXmlElement* item = playlist->FirstChildElement("item");
  if (item == nullptr) return std::nullopt;
  return DocumentStore::ReadAllAttributes(item);
}

TiXmlElement* PlaylistIndex::UserElement(std::string_view user_id, bool create) {
  TiXmlElement* users = store_.Resolve("users#", create);
  return store_.FindChild(users, "user", "id", user_id, create);
}

TiXmlElement* PlaylistIndex::PlaylistsElement(std::string_view user_id, bool create) {
  TiXmlElement* user = UserElement(user_id, create);
  return store_.ResolveStep(user, "playlists", create);
}

TiXmlElement* PlaylistIndex::PlaylistElementOf(std::string_view user_id, std::string_view list_id,
                                               bool create, bool* created) {
  if (created) *created = false;
  TiXmlElement* playlists = PlaylistsElement(user_id, create);
  if (playlists == nullptr) return nullptr;
  TiXmlElement* playlist = store_.FindChild(playlists, "playlist", "id", list_id, false);
  if (playlist != nullptr) BuildItems(playlist);
  if (playlist != nullptr || !create) return playlist;
  playlist = store_.FindChild(playlists, "playlist", "id", list_id, true);
  if (playlist == nullptr) return nullptr;
  if (created) *created = true;
  if (list_id.empty()) store_.SetText(playlist, "name", kDefaultListName);
  if (list_id == kLocalListId) store_.SetText(playlist, "name", kLocalListId);
  return playlist;
}

TiXmlElement* PlaylistIndex::PlaylistElement(std::string_view list_id, bool create, bool* created) {
  if (list_id == kLocalListId) return PlaylistElementOf("", list_id, create, created);
  return PlaylistElementOf(store_.CurrentUser(), list_id, create, created);
}

std::vector<TiXmlElement*> PlaylistIndex::Users() {
  std::vector<TiXmlElement*> users;
  TiXmlElement* parent = store_.Resolve("users#", false);
  if (parent == nullptr) return users;
  for (TiXmlElement* user = parent->FirstChildElement("user"); user; user = user->NextSiblingElement("user")) {
    users.push_back(user);
  }
  return users;
}

std::vector<TiXmlElement*> PlaylistIndex::PlaylistsOf(std::string_view user_id) {
  std::vector<TiXmlElement*> lists = ListElementsOf(user_id);
  for (TiXmlElement* list : lists) BuildItems(list);
  return lists;
}

std::vector<const TiXmlElement*> PlaylistIndex::PlaylistsToRead(std::string_view user_id) {
  const std::vector<TiXmlElement*> lists = ListElementsOf(user_id);
  return {lists.begin(), lists.end()};
}

std::vector<TiXmlElement*> PlaylistIndex::ListElementsOf(std::string_view user_id) {
  std::vector<TiXmlElement*> lists;
  TiXmlElement* parent = PlaylistsElement(user_id, false);
  if (parent == nullptr) return lists;
  for (TiXmlElement* list = parent->FirstChildElement("playlist"); list;
       list = list->NextSiblingElement("playlist")) {
    lists.push_back(list);
  }
  return lists;
}

std::string_view PlaylistIndex::ItemId(const TiXmlElement* item) {
  const std::string* id = item->Attribute(std::string("id"));
  return id ? std::string_view(*id) : std::string_view();
}

PlaylistIndex::ItemsById& PlaylistIndex::IndexOf(TiXmlElement* playlist) {
  BuildItems(playlist);
  auto found = index_.find(playlist);
  if (found != index_.end()) return found->second;
  ItemsById& items = index_[playlist];
  for (TiXmlElement* item = playlist->FirstChildElement("item"); item; item = item->NextSiblingElement("item")) {
    if (item->Attribute(std::string("id")) != nullptr) items.insert(item);
  }
  return items;
}

TiXmlElement* PlaylistIndex::FindItem(TiXmlElement* playlist, std::string_view music_id) {
  if (playlist == nullptr) return nullptr;
  auto [first, last] = IndexOf(playlist).equal_range(music_id);
  if (first == last) return nullptr;
  if (std::next(first) == last) return *first;
  // A repeated song: the first of its items in the list's order.
  for (TiXmlElement* item = playlist->FirstChildElement("item"); item; item = item->NextSiblingElement("item")) {
    if (std::find(first, last, item) != last) return item;
  }
  return *first;
}

bool PlaylistIndex::AppendItem(TiXmlElement* playlist, std::string_view music_id) {
  if (playlist == nullptr || FindItem(playlist, music_id) != nullptr) return false;
  TiXmlElement fresh("item");
  fresh.SetAttribute("id", std::string(music_id));
  TiXmlNode* inserted = playlist->InsertEndChild(fresh);
  if (inserted == nullptr) return false;
  IndexOf(playlist).insert(inserted->ToElement());
  store_.MarkListsChanged();
  return true;
}

TiXmlElement* PlaylistIndex::PrependItemCopy(TiXmlElement* playlist, const TiXmlElement& item) {
  if (playlist == nullptr) return nullptr;
  BuildItems(playlist);
  TiXmlElement* first = playlist->FirstChildElement();
  TiXmlNode* inserted = first ? playlist->InsertBeforeChild(first, item) : playlist->InsertEndChild(item);
  if (inserted == nullptr) return nullptr;
  store_.MarkListsChanged();
  // An item in front changes which duplicate is first; rebuilding is cheap for the short lists
  // that grow at the front.
  Forget(playlist);
  return inserted->ToElement();
}

void PlaylistIndex::RemoveItem(TiXmlElement* playlist, TiXmlElement* item) {
  if (playlist == nullptr || item == nullptr) return;
  auto found = index_.find(playlist);
  if (found != index_.end() && item->Attribute(std::string("id")) != nullptr) {
    auto [first, last] = found->second.equal_range(ItemId(item));
    auto entry = std::find(first, last, item);
    if (entry != last) found->second.erase(entry);
  }
  removing_ = true;
  store_.RemoveElement(item);
  removing_ = false;
}

int PlaylistIndex::RemoveItemsWithId(TiXmlElement* playlist, std::string_view music_id) {
  if (playlist == nullptr) return 0;
  ItemsById& items = IndexOf(playlist);
  auto [first, last] = items.equal_range(music_id);
  const std::vector<TiXmlElement*> elements(first, last);
  items.erase(first, last);
  removing_ = true;
  for (TiXmlElement* item : elements) store_.RemoveElement(item);
  removing_ = false;
  return static_cast<int>(elements.size());
}

void PlaylistIndex::RemoveAllItems(TiXmlElement* playlist) {
  if (playlist == nullptr) return;
  removing_ = true;
  for (TiXmlElement* item : Items(playlist)) store_.RemoveElement(item);
  removing_ = false;
  index_[playlist].clear();
}

std::vector<TiXmlElement*> PlaylistIndex::Items(TiXmlElement* playlist) {
  std::vector<TiXmlElement*> items;
  if (playlist == nullptr) return items;
  BuildItems(playlist);
  for (TiXmlElement* item = playlist->FirstChildElement("item"); item; item = item->NextSiblingElement("item")) {
    items.push_back(item);
  }
  return items;
}

void PlaylistIndex::RemovePlaylist(TiXmlElement* playlist) {
  if (playlist == nullptr) return;
  index_.erase(playlist);
  store_.RemoveElement(playlist);
}

void PlaylistIndex::Forget(const TiXmlElement* playlist) { index_.erase(playlist); }

}  // namespace quillo::store
