#pragma once
// The settings dialog's count sliders: a 192-pixel track with a 13-pixel thumb, so 179 pixels of
// travel for counts 1 … max. A count gives the thumb's left edge (rounded down); the thumb's
// left edge gives the nearest count, so that a thumb let go where a count put it gives that
// count back (rounding down both ways would lose one on every release). Pure; any thread.
#include <algorithm>

namespace quillo::ui {

struct CountSlider {
  static constexpr int kTrackWidth = 192;
  static constexpr int kThumbWidth = 13;
  static constexpr int kTravel = kTrackWidth - kThumbWidth;

  int track_left;
  int max_count;

  constexpr int ThumbLeft(int count) const {
    count = std::clamp(count, 1, max_count);
    return track_left + (count - 1) * kTravel / (max_count - 1);
  }
  constexpr int CountAt(int thumb_left) const {
    const int offset = std::clamp(thumb_left - track_left, 0, kTravel);
    return (offset * (max_count - 1) + kTravel / 2) / kTravel + 1;
  }
};

}  // namespace quillo::ui
