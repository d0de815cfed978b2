#pragma once
// The main window's spectrum: 18 bars and their falling peak marks, drawn from the player's
// analyser into a small box of the player panel. It remembers the heights it drew (in pixels)
// so that the window redraws and presents the box only when a bar or a peak moved by a pixel:
// at rest, nothing is drawn. Window thread.
#include <array>

#include "platform/gfx/Color.h"
#include "platform/gfx/Geometry.h"
#include "platform/gfx/Painter.h"

namespace quillo::ui {

class SpectrumDisplay {
 public:
  static constexpr int kBars = 18;
  static constexpr int kBarWidth = 3;
  static constexpr int kGap = 1;
  static constexpr int kWidth = kBars * (kBarWidth + kGap) - kGap;

  struct Heights {
    std::array<int, kBars> bars{};
    std::array<int, kBars> peaks{};
    bool operator==(const Heights&) const = default;
  };

  // The heights in pixels of values 0..1 in a box `height` pixels high (a peak mark stays
  // inside the box).
  static Heights HeightsOf(const std::array<float, kBars>& bars,
                           const std::array<float, kBars>& peaks, int height);
  // Takes new heights; answers whether they differ from those drawn last.
  bool Update(const Heights& heights);
  // Draws the last heights into the box (its background already restored): bars from the
  // bottom, a one-pixel peak mark above each.
  void Draw(gfx::Painter& painter, const gfx::Rect& box, gfx::Color bar, gfx::Color peak) const;
  // Forgets what was drawn (the window was drawn again from its skin).
  void Invalidate() { drawn_ = false; }
  const Heights& heights() const { return heights_; }

 private:
  Heights heights_;
  bool drawn_ = false;
};

}  // namespace quillo::ui
