#pragma once
// The user and playlist elements of the document, and an index of each playlist's items by song
// id so that adding a song to a list or asking whether a list holds it does not walk the list.
//
// Every change to `item` elements of a playlist goes through this class (or is followed by
// Forget), so the index always matches the document. Callers hold the store's lock.
//
// A list whose items were all plain `<item id="…" />` in the data file holds them as ids after
// an open, not as elements: a list of 100,000 songs is 3 MB instead of 30 and takes no time to
// build. Its element then has no children; the store prints the ids in their place. The
// functions below that take a const playlist read either form without building anything. Every
// function that hands out a playlist element or item elements builds the items first, so no
// caller ever sees, copies or changes a list without its items.
#include <tinyxml.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/MusicRecord.h"
#include "store/StoreSection.h"

namespace quillo::store {

class DocumentStore;

class PlaylistIndex : public StoreSection {
 public:
  static constexpr std::string_view kDefaultListName = "All";
  static constexpr std::string_view kLocalListId = "local";

  // Registers with the store to hear of removed elements; must live as long as the store is used.
  explicit PlaylistIndex(DocumentStore& store);

  // Takes the lists whose items the store read as ids.
  void OnOpen(DocumentStore& store) override;
  void OnClose(DocumentStore& store) override;
  bool TakesItemsReadAhead() const override { return true; }

  // "users#user:id:%s#" (created with its `playlists` child when create is set).
  TiXmlElement* UserElement(std::string_view user_id, bool create);
  TiXmlElement* PlaylistsElement(std::string_view user_id, bool create);
  // A stored playlist: "local" is the user with the empty id's, every other id the current
  // user's. A new default list is named "All", a new "local" list "local".
  TiXmlElement* PlaylistElement(std::string_view list_id, bool create, bool* created = nullptr);
  TiXmlElement* PlaylistElementOf(std::string_view user_id, std::string_view list_id, bool create,
                                  bool* created = nullptr);
  // Every user element, in document order. Reach their lists through PlaylistsOf.
  std::vector<TiXmlElement*> Users();
  // Every playlist element of one user, in document order.
  std::vector<TiXmlElement*> PlaylistsOf(std::string_view user_id);

  // ---- Reading without building elements ------------------------------------------------
  // The stored playlist PlaylistElement finds (never created), its items possibly still ids.
  const TiXmlElement* PlaylistToRead(std::string_view list_id);
  // The playlists PlaylistsOf answers, their items possibly still ids.
  std::vector<const TiXmlElement*> PlaylistsToRead(std::string_view user_id);
  // Calls `visit` with each item's id in order ("" for an item without one) until it answers
  // false.
  void ForEachItemId(const TiXmlElement* playlist, const std::function<bool(const std::string& id)>& visit);
  // Whether the list holds no element (items held as ids count as elements).
  bool IsEmpty(const TiXmlElement* playlist) const;
  // The attributes of the first item with the id, or of the list's first item; none when there
  // is no such item.
  std::optional<MusicRecord> ItemAttributes(const TiXmlElement* playlist, std::string_view music_id);
  std::optional<MusicRecord> FirstItemAttributes(const TiXmlElement* playlist);

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
  std::vector<TiXmlElement*> Items(TiXmlElement* playlist);

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
  // Keeps a list's items as ids and has the store print them as items.
  void HoldIds(TiXmlElement* playlist, std::vector<std::string> ids);
  // Makes the elements of a list held as ids, in front of any other child; the document's text
  // stays the same.
  void BuildItems(TiXmlElement* playlist);
  // A user's playlist elements as they are.
  std::vector<TiXmlElement*> ListElementsOf(std::string_view user_id);
  // The ids held for the list, or nullptr when its items are elements.
  const std::vector<std::string>* HeldIds(const TiXmlElement* playlist) const;

  DocumentStore& store_;
  std::unordered_map<const TiXmlElement*, ItemsById> index_;
  // Lists whose items are held as ids (document content, not a cache).
  std::unordered_map<const TiXmlElement*, std::vector<std::string>> ids_;
  // Set while this class removes elements itself (it keeps the index up to date).
  bool removing_ = false;
};

}  // namespace quillo::store
