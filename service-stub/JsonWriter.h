#pragma once
// Builds compact JSON text for the test controls. Calls must nest properly (the writer keeps a
// stack to place commas); strings are escaped and invalid UTF-8 is replaced.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::stub {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);  // inside an object, before each value
  JsonWriter& String(std::string_view value);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // Shorthands for a key followed by a value.
  JsonWriter& Field(std::string_view key, std::string_view value) { return Key(key).String(value); }
  JsonWriter& Field(std::string_view key, const char* value) { return Key(key).String(value); }
  JsonWriter& Field(std::string_view key, std::int64_t value) { return Key(key).Int(value); }
  JsonWriter& Field(std::string_view key, int value) { return Key(key).Int(value); }
  JsonWriter& Field(std::string_view key, bool value) { return Key(key).Bool(value); }

  const std::string& text() const { return text_; }

 private:
  void BeforeValue();

  std::string text_;
  // One entry per open container: whether it has an element yet.
  std::vector<bool> has_element_;
  bool after_key_ = false;
};

}  // namespace quillo::stub
