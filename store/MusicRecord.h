#pragma once
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/AttributeName.h"

namespace quillo::store {

// One song: attribute name → text, as the attributes of a `file` element, in name order.
//
// A library holds one of these for every song (100,000 of them in a large one), so it is a
// sorted vector of pairs rather than a tree, and the names are mostly shared texts: a song of
// ten attributes is one allocation of 400 bytes instead of ten nodes of 112, and it is read far
// more often than changed. It keeps the map operations the callers use. Unlike a map, an
// insertion moves the other entries: iterators and references into a record do not survive
// adding an attribute to it.
class MusicRecord {
 public:
  using value_type = std::pair<AttributeName, std::string>;
  using key_type = std::string;
  using mapped_type = std::string;
  using size_type = std::size_t;
  using iterator = std::vector<value_type>::iterator;
  using const_iterator = std::vector<value_type>::const_iterator;

  MusicRecord() = default;
  // A name given twice keeps its first text, as a map's construction does.
  MusicRecord(std::initializer_list<value_type> entries) { insert(entries.begin(), entries.end()); }
  template <class InputIt>
  MusicRecord(InputIt first, InputIt last) {
    insert(first, last);
  }

  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }
  const_iterator cbegin() const { return entries_.cbegin(); }
  const_iterator cend() const { return entries_.cend(); }

  size_type size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  void clear() { entries_.clear(); }
  void reserve(size_type count) { entries_.reserve(count); }
  // Gives back spare room; a record about to be held for long calls it once.
  void shrink_to_fit() { entries_.shrink_to_fit(); }

  iterator find(std::string_view name) {
    auto it = lower_bound(name);
    return it != end() && it->first == name ? it : end();
  }
  const_iterator find(std::string_view name) const {
    auto it = lower_bound(name);
    return it != end() && it->first == name ? it : end();
  }
  size_type count(std::string_view name) const { return find(name) != end() ? 1 : 0; }
  bool contains(std::string_view name) const { return find(name) != end(); }

  // The attribute's text; throws std::out_of_range when the record has no such attribute.
  const std::string& at(std::string_view name) const {
    auto it = find(name);
    if (it == end()) throw std::out_of_range("music record has no such attribute");
    return it->second;
  }
  std::string& at(std::string_view name) {
    return const_cast<std::string&>(std::as_const(*this).at(name));
  }
  // The attribute's text, added empty when missing.
  std::string& operator[](std::string_view name) { return try_emplace(name).first->second; }

  // Adds the attribute unless the record has it; the bool says whether it was added.
  template <class... Args>
  std::pair<iterator, bool> try_emplace(std::string_view name, Args&&... text) {
    auto it = lower_bound(name);
    if (it != end() && it->first == name) return {it, false};
    it = entries_.emplace(it, std::piecewise_construct, std::forward_as_tuple(name),
                          std::forward_as_tuple(std::forward<Args>(text)...));
    return {it, true};
  }
  template <class Name, class Text>
  std::pair<iterator, bool> emplace(Name&& name, Text&& text) {
    auto it = lower_bound(std::string_view(name));
    if (it != end() && it->first == std::string_view(name)) return {it, false};
    it = entries_.emplace(it, std::forward<Name>(name), std::forward<Text>(text));
    return {it, true};
  }
  std::pair<iterator, bool> insert(value_type entry) {
    return emplace(std::move(entry.first), std::move(entry.second));
  }
  template <class InputIt>
  void insert(InputIt first, InputIt last) {
    for (; first != last; ++first) emplace(first->first, first->second);
  }
  // Sets the attribute, adding it when missing; the bool says whether it was added.
  template <class Text>
  std::pair<iterator, bool> insert_or_assign(std::string_view name, Text&& text) {
    auto [it, added] = try_emplace(name);
    it->second = std::forward<Text>(text);
    return {it, added};
  }

  // Removes the attribute; answers how many were removed (0 or 1).
  size_type erase(std::string_view name) {
    auto it = find(name);
    if (it == end()) return 0;
    entries_.erase(it);
    return 1;
  }
  iterator erase(const_iterator position) { return entries_.erase(position); }

  friend bool operator==(const MusicRecord& a, const MusicRecord& b) {
    return a.entries_ == b.entries_;
  }

 private:
  iterator lower_bound(std::string_view name) {
    return std::lower_bound(entries_.begin(), entries_.end(), name, NameBefore);
  }
  const_iterator lower_bound(std::string_view name) const {
    return std::lower_bound(entries_.begin(), entries_.end(), name, NameBefore);
  }
  static bool NameBefore(const value_type& entry, std::string_view name) {
    return std::string_view(entry.first) < name;
  }

  std::vector<value_type> entries_;
};

// A record shared without copying (the song cache hands these out; they never change).
using MusicRecordPtr = std::shared_ptr<const MusicRecord>;

// The search keys the library derives from "name" and "artist_name" (pinyin initials); they
// are never stored.
inline constexpr std::string_view kSearchNameKey = "_name";
inline constexpr std::string_view kSearchArtistKey = "_artist_name";

// Whether a song's element carries the attribute after its "id" (search keys are not stored).
inline bool IsStoredAfterId(std::string_view attribute) {
  return attribute != "id" && attribute != kSearchNameKey && attribute != kSearchArtistKey;
}

// The record's "id" attribute, or an empty text.
inline const std::string& IdOf(const MusicRecord& record) {
  static const std::string kEmpty;
  auto it = record.find("id");
  return it == record.end() ? kEmpty : it->second;
}
inline const std::string& IdOf(const MusicRecordPtr& record) { return IdOf(*record); }

}  // namespace quillo::store
