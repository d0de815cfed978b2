#pragma once
// Ordered multimap from a name to a (value, flags) entry: request headers, form parameters and
// cached response headers. Names compare without regard to ASCII case; entries with equal
// names keep the order in which they were added (a new one goes after them). A value may be
// absent (null). Pointers answered by Get stay valid until that entry is replaced or removed.
//
// Form parameter flags: kNameEncoded, kValueEncoded (such text is sent as it is, only converted
// to the ANSI code page, never escaped).
#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <string_view>

namespace Dravik {

class CHttpClientMapT {
 public:
  static constexpr unsigned kNameEncoded = 2;
  static constexpr unsigned kValueEncoded = 4;

  struct Entry {
    std::string name;
    std::optional<std::string> value;
    unsigned flags = 0;
  };
  using const_iterator = std::list<Entry>::const_iterator;

  // Appends an entry. Throws on a null or empty name.
  void Add(const char* name, const char* value, unsigned flags = 0);
  // Replaces the index-th entry of the name, or adds one when the name is absent. Throws on a
  // null or empty name, and with error 101 when the name exists but has no index-th entry.
  void Set(const char* name, const char* value, unsigned flags = 0, std::size_t index = 0);
  // The index-th value of the name; null when there is no such entry or its value is null.
  const char* Get(std::string_view name, std::size_t index = 0) const;
  bool Exists(std::string_view name, std::size_t index = 0) const;
  std::size_t Count(std::string_view name) const;
  std::size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  void Remove(std::string_view name);
  void Clear() { entries_.clear(); }

  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

  // Name order: ASCII case folded, bytewise otherwise.
  static int CompareNames(std::string_view a, std::string_view b);

 private:
  const Entry* Find(std::string_view name, std::size_t index) const;
  static void CheckName(const char* where, const char* name);

  std::list<Entry> entries_;
};

}  // namespace Dravik
