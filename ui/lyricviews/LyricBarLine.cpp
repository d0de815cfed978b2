#include "ui/lyricviews/LyricBarLine.h"

#include <algorithm>

#include "platform/text/TextUtil.h"

namespace quillo::ui {

bool LyricBarLine::IsWide(std::string_view utf8) {
  // U+0100 is the first code point whose UTF-8 lead byte is 0xC4; every later one leads with a
  // byte at or above it.
  return std::any_of(utf8.begin(), utf8.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0xC4; });
}

void LyricBarLine::SetWords(const std::vector<std::string_view>& words) {
  segments_.clear();
  segments_.reserve(words.size());
  for (std::string_view word : words) {
    segments_.push_back(LyricBarSegment{0, 0, IsWide(word), std::string(word)});
  }
  total_ = 0;
}

bool LyricBarLine::Measure(LyricBarTextMeter& meter, int configured_size, int area_width,
                           const std::string& wide_face, const std::string& narrow_face) {
  wide_face_ = wide_face;
  narrow_face_ = narrow_face;
  measured_for_ = configured_size;
  int size = configured_size;
  int last_tried = configured_size;
  while (size > kFloorSize) {
    last_tried = size;
    if (Pass(meter, size, area_width, true)) return fits_ = true;
    size -= 2;
  }
  // Nothing fitted: the whole line at the smallest size tried, so that every segment has its
  // place even though the line is too wide.
  fits_ = Pass(meter, last_tried, area_width, false);
  return fits_;
}

bool LyricBarLine::Pass(LyricBarTextMeter& meter, int size, int area_width, bool stop_early) {
  font_size_ = size;
  const gfx::Font wide = WideFont();
  const gfx::Font narrow = NarrowFont();
  total_ = 0;
  height_wide_ = height_narrow_ = ascent_wide_ = ascent_narrow_ = 0;
  bool fits = true;
  for (LyricBarSegment& segment : segments_) {
    const std::string_view trimmed = text::TrimView(segment.text);
    if (trimmed.empty()) {
      // White space has no ink to measure: half the size per character.
      segment.width = int(text::CodePointCount(segment.text)) * size / 2;
    } else {
      const gfx::TextExtent extent = meter.Measure(trimmed, segment.wide ? wide : narrow);
      // A unit without advance (a joiner, a mark) still takes its pixel; failing the pass on it
      // would shrink every line that holds one to the smallest size.
      segment.width = int(extent.width) + 1;
      int& height = segment.wide ? height_wide_ : height_narrow_;
      int& ascent = segment.wide ? ascent_wide_ : ascent_narrow_;
      height = std::max(height, int(extent.height));
      ascent = std::max(ascent, int(extent.baseline));
    }
    segment.x = total_;
    total_ += segment.width;
    if (total_ > area_width) {
      fits = false;
      if (stop_early) return false;
    }
  }
  return fits;
}

std::optional<int> LyricBarLine::ProgressFor(std::size_t word, int percent) const {
  if (word >= segments_.size()) return std::nullopt;
  const LyricBarSegment& s = segments_[word];
  return percent * s.width / 100 + s.x;
}

}  // namespace quillo::ui
