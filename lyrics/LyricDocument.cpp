#include "lyrics/LyricDocument.h"

#include <climits>

namespace quillo::lyrics {

void LyricDocument::Clear() {
  state = kStateNone;
  modified = false;
  offset_ms = 0;
  header_lines.clear();
  timeline.Clear();
}

std::optional<LyricPosition> LyricDocument::LocateLine(std::int64_t position_ms,
                                                       bool skip_empty) const {
  return timeline.Locate(position_ms - offset_ms, skip_empty);
}

const LyricLine* LyricDocument::FindLine(std::int64_t position_ms) const {
  return timeline.Find(position_ms - offset_ms);
}

bool LyricDocument::AdjustTiming(int delta_ms, int kind, std::optional<std::size_t> line) {
  if (state != kStateLoaded) return false;
  switch (kind) {
    case kShiftLine:
      if (!line || !timeline.CanShiftLine(*line, delta_ms)) return false;
      timeline.ShiftLine(*line, delta_ms);
      break;
    case kShiftFromLine:
      if (!line || !timeline.CanShiftFrom(*line, delta_ms)) return false;
      timeline.ShiftFrom(*line, delta_ms);
      break;
    case kShiftOffset: {
      const std::int64_t moved = static_cast<std::int64_t>(offset_ms) + delta_ms;
      if (moved < INT_MIN || moved > INT_MAX) return false;
      offset_ms = static_cast<int>(moved);
      break;
    }
    case kSetOffset:
      offset_ms = delta_ms;
      break;
    default:
      return false;
  }
  modified = true;
  return true;
}

std::string LyricDocument::GetPlainText() const {
  std::string text;
  for (const LyricLine& line : timeline.lines()) {
    if (line.index > 0) text += "\r\n";
    text += line.text;
  }
  return text;
}

}  // namespace quillo::lyrics
