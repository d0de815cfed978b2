#pragma once
// One unit a line is sung in: a character of an LRC line, or a unit of a karaoke line.
#include <cstdint>

namespace quillo::lyrics {

struct LyricWord {
  // Relative to the line's start; a word covers [start_ms, end_ms).
  int start_ms = 0;
  int end_ms = 0;
  // The word's text is line.text.substr(text_offset, text_size): every unit is a piece of its
  // line's text, so a word stores where it lies instead of a copy (a long line has many words).
  std::uint32_t text_offset = 0;
  std::uint32_t text_size = 0;
};

}  // namespace quillo::lyrics
