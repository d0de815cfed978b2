#pragma once
// Walking UTF-8 text one code point at a time (internal to the lyric subsystem).
#include <cstddef>
#include <string_view>

namespace quillo::lyrics {

// Bytes of the code point that starts at `position`, from its lead byte; never past the end of
// the text and at least 1, so a walk over any bytes ends.
inline std::size_t CodePointSize(std::string_view text, std::size_t position) {
  const auto lead = static_cast<unsigned char>(text[position]);
  std::size_t size = 1;
  if (lead >= 0xF0) {
    size = 4;
  } else if (lead >= 0xE0) {
    size = 3;
  } else if (lead >= 0xC0) {
    size = 2;
  }
  const std::size_t left = text.size() - position;
  return size < left ? size : left;
}

// The code point at `position` (only for well-formed text; bad bytes read as themselves).
inline char32_t CodePointAt(std::string_view text, std::size_t position, std::size_t size) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[position + i]); };
  switch (size) {
    case 2:
      return ((byte(0) & 0x1Fu) << 6) | (byte(1) & 0x3Fu);
    case 3:
      return ((byte(0) & 0x0Fu) << 12) | ((byte(1) & 0x3Fu) << 6) | (byte(2) & 0x3Fu);
    case 4:
      return ((byte(0) & 0x07u) << 18) | ((byte(1) & 0x3Fu) << 12) | ((byte(2) & 0x3Fu) << 6) |
             (byte(3) & 0x3Fu);
    default:
      return byte(0);
  }
}

}  // namespace quillo::lyrics
