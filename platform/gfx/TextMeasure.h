#pragma once
// Measures text as Painter::DrawText lays it out (Pango at 96 dpi, same options), so that sizes
// computed before a window exists match what is drawn. Window thread (Pango is not thread-safe).
#include <string_view>

#include "platform/gfx/Font.h"
#include "platform/gfx/Geometry.h"

namespace quillo::gfx {

class TextMeasure {
 public:
  // The size of the text laid out in a box max_width wide (0: no limit); with wrap the lines
  // break at max_width. The height is the sum of the line heights.
  static Size Measure(std::string_view utf8, const Font& font, int max_width = 0,
                      bool wrap = false);
  // Width of one line of text (no wrapping).
  static int Width(std::string_view utf8, const Font& font) { return Measure(utf8, font).width; }
};

}  // namespace quillo::gfx
