#pragma once
#include <compare>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace quillo::store {

// The name of one attribute of a song's record, reading as its text.
//
// A library of 100,000 songs holds some 700,000 names, nearly all from the few dozen the
// program and the service use. Those are shared texts, so such a name is one pointer (8 bytes
// instead of a string's 32); any other name is this object's own copy. Safe to use from any
// thread: the shared texts never change.
class AttributeName {
 public:
  AttributeName() : AttributeName(std::string_view()) {}
  // Implicit: records are built from plain texts.
  AttributeName(std::string_view name) : text_(Make(name)) {}
  AttributeName(const std::string& name) : AttributeName(std::string_view(name)) {}
  AttributeName(const char* name) : AttributeName(std::string_view(name)) {}
  AttributeName(const AttributeName& other) : text_(Make(other.str())) {}
  // The moved-from name reads as empty.
  AttributeName(AttributeName&& other) noexcept : text_(std::exchange(other.text_, Empty())) {}
  AttributeName& operator=(const AttributeName& other) {
    if (this != &other) text_ = Make(other.str());
    return *this;
  }
  AttributeName& operator=(AttributeName&& other) noexcept {
    if (this != &other) text_ = std::exchange(other.text_, Empty());
    return *this;
  }
  ~AttributeName() = default;

  const std::string& str() const { return *text_; }
  operator const std::string&() const { return *text_; }
  operator std::string_view() const { return *text_; }
  std::size_t size() const { return text_->size(); }
  bool empty() const { return text_->empty(); }
  const char* c_str() const { return text_->c_str(); }
  char operator[](std::size_t index) const { return (*text_)[index]; }

  // Whether the name is one of the shared texts (no copy of its own).
  bool IsShared() const { return Shared(text_.get()); }

  friend bool operator==(const AttributeName& a, const AttributeName& b) {
    return a.text_.get() == b.text_.get() || *a.text_ == *b.text_;
  }
  friend bool operator==(const AttributeName& a, std::string_view b) { return *a.text_ == b; }
  friend bool operator==(const AttributeName& a, const std::string& b) { return *a.text_ == b; }
  friend bool operator==(const AttributeName& a, const char* b) { return *a.text_ == b; }
  friend std::strong_ordering operator<=>(const AttributeName& a, const AttributeName& b) {
    return std::string_view(*a.text_) <=> std::string_view(*b.text_);
  }
  friend std::strong_ordering operator<=>(const AttributeName& a, std::string_view b) {
    return std::string_view(*a.text_) <=> b;
  }

 private:
  // Deletes the name's own copy; a shared text is never deleted.
  struct Release {
    void operator()(const std::string* text) const {
      if (!Shared(text)) delete text;
    }
  };
  using Text = std::unique_ptr<const std::string, Release>;

  // The shared text of the name, or a new copy of it.
  static Text Make(std::string_view name);
  static bool Shared(const std::string* text);
  static Text Empty();

  Text text_;
};

}  // namespace quillo::store
