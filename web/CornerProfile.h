#pragma once
// The cut-corner outline of an HTML window. A profile is a list of insets, one per pixel row
// from the window's edge inwards: row i of each corner starts `insets[i]` pixels in. The same
// profile is applied to all four corners. Any thread.
#include <vector>

#include "platform/gfx/Geometry.h"

namespace quillo::web {

class CornerProfile {
 public:
  // The default outline: 4, 2, 1, 0.
  static CornerProfile Default();
  // No cut corners: a rectangular window.
  static CornerProfile Rectangular() { return CornerProfile({}); }
  // From a window's options: a count of 0 is rectangular; otherwise the given insets (the first
  // `count` of them, missing ones 0, when count is positive), or the default when none are
  // given. Negative insets count as 0.
  static CornerProfile FromOptions(int count, const std::vector<int>& insets);

  explicit CornerProfile(std::vector<int> insets);

  const std::vector<int>& insets() const { return insets_; }
  bool IsRectangular() const;

  // The outline of a window of this size as a closed polygon (clockwise from the top-left
  // corner's first row; the last point joins the first). Empty when the window is rectangular
  // or too small for the profile (fewer rows than twice the profile, or narrower than twice the
  // widest inset).
  std::vector<gfx::Point> Polygon(gfx::Size size) const;
  // The same area as a union of rectangles (one band per cut row, one for the rest); empty
  // exactly when Polygon is.
  std::vector<gfx::Rect> Bands(gfx::Size size) const;

 private:
  bool Fits(gfx::Size size) const;
  std::vector<int> insets_;
};

}  // namespace quillo::web
