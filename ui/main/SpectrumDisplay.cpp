#include "ui/main/SpectrumDisplay.h"

#include <algorithm>
#include <cmath>

namespace quillo::ui {

SpectrumDisplay::Heights SpectrumDisplay::HeightsOf(const std::array<float, kBars>& bars,
                                                    const std::array<float, kBars>& peaks,
                                                    int height) {
  Heights h;
  auto pixels = [height](float value) {
    if (!(value > 0.0F)) return 0;  // NaN and below zero draw nothing
    return std::clamp(int(std::lround(double(value) * height)), 0, height);
  };
  for (int i = 0; i < kBars; ++i) {
    h.bars[i] = pixels(bars[i]);
    // The mark sits on the bar's top at the least; 0 hides it.
    h.peaks[i] = std::max(pixels(peaks[i]), h.bars[i]);
  }
  return h;
}

bool SpectrumDisplay::Update(const Heights& heights) {
  if (drawn_ && heights == heights_) return false;
  heights_ = heights;
  drawn_ = true;
  return true;
}

void SpectrumDisplay::Draw(gfx::Painter& painter, const gfx::Rect& box, gfx::Color bar,
                           gfx::Color peak) const {
  for (int i = 0; i < kBars; ++i) {
    const int left = box.left + i * (kBarWidth + kGap);
    if (heights_.bars[i] > 0) {
      painter.FillRect(gfx::Rect{left, box.bottom - heights_.bars[i], left + kBarWidth, box.bottom},
                       bar);
    }
    if (heights_.peaks[i] > 0) {
      const int top = box.bottom - heights_.peaks[i];
      painter.FillRect(gfx::Rect{left, top, left + kBarWidth, top + 1}, peak);
    }
  }
}

}  // namespace quillo::ui
