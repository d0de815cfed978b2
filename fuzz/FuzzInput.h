#pragma once
// Splits one fuzz input into the values a target needs: a few leading bytes steer the target
// (which positions to ask for, how to cut the data into pieces), the rest is the data itself.
// Reading past the end answers zeros and empty text, so every input is usable.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillo::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t Byte() {
    if (bytes_.empty()) return 0;
    const auto value = static_cast<std::uint8_t>(bytes_.front());
    bytes_.remove_prefix(1);
    return value;
  }
  std::uint32_t Uint32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | Byte();
    return value;
  }
  // Up to `count` bytes.
  std::string Take(std::size_t count) {
    const std::string_view taken = bytes_.substr(0, count);
    bytes_.remove_prefix(taken.size());
    return std::string(taken);
  }
  // Text up to the next NUL (which is consumed), or the rest.
  std::string Text() {
    const std::size_t nul = bytes_.find('\0');
    std::string text(bytes_.substr(0, nul));
    bytes_.remove_prefix(nul == std::string_view::npos ? bytes_.size() : nul + 1);
    return text;
  }
  std::string Rest() {
    std::string rest(bytes_);
    bytes_ = {};
    return rest;
  }

 private:
  std::string_view bytes_;
};

}  // namespace quillo::fuzz
