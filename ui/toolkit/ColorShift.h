#pragma once
// The theme colour shift: a hue rotation and two shifts (saturation and lightness) applied to
// whole skin images. Values outside their range count as 0.
#include "platform/gfx/Color.h"
#include "platform/gfx/Surface.h"

namespace quillo::ui {

struct ColorShift {
  int hue = 0;         // 0 ≤ hue < 360
  int saturation = 0;  // −100 … 100
  int lightness = 0;   // −100 … 100

  static ColorShift Clamped(int hue, int saturation, int lightness);
  bool IsIdentity() const { return hue == 0 && saturation == 0 && lightness == 0; }
  bool operator==(const ColorShift&) const = default;

  // One straight colour shifted: hue rotated, saturation and lightness moved towards their
  // ends by the given percentage (−100 takes them to 0, 100 to full). Alpha is kept.
  gfx::Color Apply(gfx::Color c) const;
  // Every pixel of the image shifted (premultiplication handled).
  void ApplyTo(gfx::Surface& image) const;
};

}  // namespace quillo::ui
