#pragma once
// The user and playlist elements of the document, and an index of each playlist's items by song
// id so that adding a song to a list or asking whether a list holds it does not walk the list.
//
// Every change to `item` elements of a playlist goes through this class (or is followed by
// Forget), so the index always matches the document. Callers hold the store's lock.
#include <tinyxml.h>

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/StoreSection.h"

namespace quillo::store {

class DocumentStore;

class PlaylistIndex : public StoreSection {
 public:
  static constexpr std::string_view kDefaultListName = "All";
  static constexpr std::string_view kLocalListId = "local";

  // Registers with the store to hear of removed elements; must live as long as the store is used.
  explicit PlaylistIndex(DocumentStore& store);

  void OnOpen(DocumentStore& store) override;
  void OnClose(DocumentStore& store) override;

  // "users#user:id:%s#" (created with its `playlists` child when create is set).
  TiXmlElement* UserElement(std::string_view user_id, bool create);
  TiXmlElement* PlaylistsElement(std::string_view user_id, bool create);
  // A stored playlist: "local" is the user with the empty id's, every other id the current
  // user's. A new default list is named "All", a new "local" list "local".
  TiXmlElement* PlaylistElement(std::string_view list_id, bool create, bool* created = nullptr);
  TiXmlElement* PlaylistElementOf(std::string_view user_id, std::string_view list_id, bool create,
                                  bool* created = nullptr);
  // Every user element, in document order.
  std::vector<TiXmlElement*> Users();
  // Every playlist element of one user, in document order.
  std::vector<TiXmlElement*> PlaylistsOf(std::string_view user_id);

  // The first item with the id, or nullptr.
  TiXmlElement* FindItem(TiXmlElement* playlist, std::string_view music_id);
  // Appends <item id=…> unless the list holds the id; answers whether it was appended.
  bool AppendItem(TiXmlElement* playlist, std::string_view music_id);
  // Inserts a copy of `item` as the first item (or the only one); answers the new element.
  TiXmlElement* PrependItemCopy(TiXmlElement* playlist, const TiXmlElement& item);
  // Removes one item element of the playlist.
  void RemoveItem(TiXmlElement* playlist, TiXmlElement* item);
  // Removes every item with the id; answers how many there were.
  int RemoveItemsWithId(TiXmlElement* playlist, std::string_view music_id);
  void RemoveAllItems(TiXmlElement* playlist);
  // The item elements in order.
  static std::vector<TiXmlElement*> Items(TiXmlElement* playlist);

  // Removes the playlist element with its items.
  void RemovePlaylist(TiXmlElement* playlist);
  // Drops what is known of a playlist whose items were changed directly (ids rewritten,
  // elements copied).
  void Forget(const TiXmlElement* playlist);
  void ForgetAll() { index_.clear(); }

 private:
  // The id an item carries ("" without one).
  static std::string_view ItemId(const TiXmlElement* item);
  // A list's items that carry an id, found by it. The items are the key: an id is not held a
  // second time (a list of 100,000 songs costs some 4 MB of index instead of 12). A list may
  // repeat a song; its items share a key.
  struct ItemIdHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view id) const { return std::hash<std::string_view>{}(id); }
    std::size_t operator()(const TiXmlElement* item) const { return (*this)(ItemId(item)); }
  };
  struct ItemIdEqual {
    using is_transparent = void;
    bool operator()(const TiXmlElement* a, const TiXmlElement* b) const {
      return ItemId(a) == ItemId(b);
    }
    bool operator()(std::string_view id, const TiXmlElement* item) const { return id == ItemId(item); }
    bool operator()(const TiXmlElement* item, std::string_view id) const { return ItemId(item) == id; }
  };
  using ItemsById = std::unordered_multiset<TiXmlElement*, ItemIdHash, ItemIdEqual>;
  ItemsById& IndexOf(TiXmlElement* playlist);
  // Elements removed by anyone else than this class: what is known of them is dropped, so no
  // pointer to a removed item is ever used.
  void OnElementRemoved(const TiXmlElement& element);

  DocumentStore& store_;
  std::unordered_map<const TiXmlElement*, ItemsById> index_;
  // Set while this class removes elements itself (it keeps the index up to date).
  bool removing_ = false;
};

}  // namespace quillo::store
