#pragma once
// A straight (not premultiplied) colour with alpha, as text and line colours are given.
#include <cstdint>

namespace quillo::gfx {

struct Color {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 255;

  static constexpr Color Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return Color{r, g, b, 255};
  }
  bool operator==(const Color&) const = default;
};

}  // namespace quillo::gfx
