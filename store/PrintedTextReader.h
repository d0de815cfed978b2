#pragma once
// Walks a data file's text as this program prints it: white space, fixed tags and
// name="value" attributes whose values use only the entities the printer writes. Used to read
// the large, regular parts of the file (songs, list items) without building XML elements.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

#include "store/DocumentStore.h"

namespace quillo::store {

class PrintedTextReader {
 public:
  PrintedTextReader(std::string_view text, std::size_t at) : text_(text), at_(at) {}

  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

  std::size_t at() const { return at_; }
  bool AtEnd() const { return at_ >= text_.size(); }
  // Whether a white-space character comes next.
  bool AtSpace() const { return !AtEnd() && IsSpace(text_[at_]); }
  void SkipSpace() {
    while (at_ < text_.size() && IsSpace(text_[at_])) ++at_;
  }
  // Moves past `expected` when the text continues with it.
  bool Take(std::string_view expected) {
    if (text_.substr(at_, expected.size()) != expected) return false;
    at_ += expected.size();
    return true;
  }

  // name="value" with the value's entities decoded as the XML parser decodes them.
  bool Attribute(std::string& name, std::string& value) {
    const std::size_t name_start = at_;
    while (at_ < text_.size() && text_[at_] != '=' && !IsSpace(text_[at_]) && text_[at_] != '/' &&
           text_[at_] != '>')
      ++at_;
    name.assign(text_.substr(name_start, at_ - name_start));
    if (!DocumentStore::IsXmlName(name) || !Take("=\"")) return false;
    value.clear();
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c == '<') return false;
      if (c == '&') {
        if (!Entity(value)) return false;
        continue;
      }
      value += c;
      ++at_;
    }
    return false;
  }

 private:
  static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  bool Entity(std::string& value) {
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (const auto& [entity, character] : kNamed) {
      if (Take(entity)) {
        value += character;
        return true;
      }
    }
    // "&#xH;" or "&#xHH;", as control characters are printed.
    if (!Take("&#x")) return false;
    int code = 0;
    int digits = 0;
    while (digits < 2 && at_ < text_.size() && HexValue(text_[at_]) >= 0) {
      code = code * 16 + HexValue(text_[at_]);
      ++at_;
      ++digits;
    }
    if (digits == 0 || code == 0 || code >= 0x80 || !Take(";")) return false;
    value += static_cast<char>(code);
    return true;
  }

  std::string_view text_;
  std::size_t at_;
};

}  // namespace quillo::store
