#pragma once
// Where a playback position falls in the timeline: the line, the word being sung in it and how
// far into that word (0..100).
#include <cstddef>

namespace quillo::lyrics {

struct LyricPosition {
  std::size_t line = 0;
  std::size_t word = 0;
  int percent = 0;

  bool operator==(const LyricPosition&) const = default;
};

}  // namespace quillo::lyrics
