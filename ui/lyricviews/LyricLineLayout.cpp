#include "ui/lyricviews/LyricLineLayout.h"

#include <algorithm>

#include "lyrics/LyricTimeline.h"

namespace quillo::ui {

void LyricLineLayout::Build(const lyrics::LyricTimeline& timeline, int line_height) {
  lines_.clear();
  lines_.reserve(timeline.size());
  for (const lyrics::LyricLine& line : timeline.lines()) lines_.push_back(Line{line.text, 0, 0});
  Relayout(line_height);
}

void LyricLineLayout::Relayout(int line_height) {
  int y = 0;
  for (Line& line : lines_) {
    line.height = line_height;
    line.y = y;
    y += line_height;
  }
}

bool LyricLineLayout::SameTexts(const lyrics::LyricTimeline& timeline) const {
  if (timeline.size() != lines_.size()) return false;
  const auto& source = timeline.lines();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].text != source[i].text) return false;
  }
  return true;
}

int LyricLineLayout::TotalHeight() const {
  return lines_.empty() ? 0 : lines_.back().y + lines_.back().height;
}

int LyricLineLayout::CenteredTop(int index, int view_height) const {
  if (!IsValidIndex(index)) return 0;
  const Line& line = lines_[static_cast<std::size_t>(index)];
  return line.y + (line.height - view_height) / 2;
}

int LyricLineLayout::LineAtMiddle(int top, int view_height) const {
  const int middle = top + view_height / 2;
  // Lines are in y order: the last one starting at or above the middle is the only candidate.
  auto after = std::upper_bound(lines_.begin(), lines_.end(), middle,
                                [](int y, const Line& line) { return y < line.y; });
  if (after == lines_.begin()) return -1;
  const Line& line = *(after - 1);
  if (middle >= line.y + line.height) return -1;
  return static_cast<int>(after - 1 - lines_.begin());
}

std::pair<int, int> LyricLineLayout::VisibleRange(int top, int view_height) const {
  // A line shows when it reaches below the view's top and starts above its bottom.
  auto first = std::upper_bound(lines_.begin(), lines_.end(), top,
                                [](int t, const Line& line) { return t < line.y + line.height; });
  auto last = std::lower_bound(first, lines_.end(), top + view_height,
                               [](const Line& line, int bottom) { return line.y < bottom; });
  return {static_cast<int>(first - lines_.begin()), static_cast<int>(last - lines_.begin())};
}

}  // namespace quillo::ui
