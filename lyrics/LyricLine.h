#pragma once
// One line of the timeline. Previous and next are the lines at index - 1 and index + 1 of the
// timeline that owns it (LyricTimeline::Previous / Next).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/LyricWord.h"

namespace quillo::lyrics {

struct LyricLine {
  std::string text;  // what is displayed, UTF-8
  int start_ms = 0;  // from the start of the song
  int end_ms = 0;
  std::size_t index = 0;  // position in the timeline
  std::vector<LyricWord> words;

  std::string_view WordText(const LyricWord& word) const {
    return std::string_view(text).substr(word.text_offset, word.text_size);
  }
  // "Empty" for the skip-empty rule of LocateLine: nothing but white space.
  bool IsBlank() const;
};

}  // namespace quillo::lyrics
