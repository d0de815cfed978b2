#pragma once
// One line of text laid out once, measured typographically (the logical extent Pango lays it out
// in, in fractions of a pixel: no padding, no rounding) and drawn as often as needed, filled with
// a repeating vertical gradient. The lyric bar draws its large letters with it. Same Pango
// context, resolution and anti-aliasing as Painter::DrawText; window thread (Pango is not
// thread-safe).
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"
#include "platform/gfx/Surface.h"

namespace quillo::gfx {

// From `top` at y = 0 of the target to `bottom` at y = period_px, then again from `top`: the
// colour of a pixel depends on its row modulo the period only. top == bottom is a solid fill.
struct VerticalGradient {
  Color top;
  Color bottom;
  int period_px = 100;
};

struct TextExtent {
  double width = 0;
  double height = 0;
  double baseline = 0;  // from the logical top
};

class GradientText {
 public:
  GradientText(std::string_view utf8, const Font& font);
  ~GradientText();
  GradientText(const GradientText&) = delete;
  GradientText& operator=(const GradientText&) = delete;

  TextExtent Extent() const;
  // Draws the line with its logical top-left corner at (x, y), blended over the target.
  void Draw(Surface& target, double x, double y, const VerticalGradient& fill) const;

  // The extent of one line without keeping its layout.
  static TextExtent Measure(std::string_view utf8, const Font& font);

 private:
  struct Layout;
  std::unique_ptr<Layout> layout_;
};

// target := source with every pixel (premultiplied) scaled by alpha / 255. Same sizes.
void CopyFaded(Surface& target, const Surface& source, std::uint8_t alpha);

}  // namespace quillo::gfx
