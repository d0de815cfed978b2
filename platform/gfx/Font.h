#pragma once
// A font request as the windows name them: a face ("宋体", "Arial", ...), a size in points or in
// pixels, and a weight. Faces are resolved through our fontconfig aliases (FontAliases.h).
#include <string>

namespace quillo::gfx {

struct Font {
  std::string family = "宋体";
  // Size in points at 96 dots per inch; used when pixel_size is 0.
  double size_points = 9;
  // Em size in pixels, for fonts given by cell height (the edit box's "height 15").
  double pixel_size = 0;
  bool bold = false;

  static Font Points(std::string family, double points, bool bold = false) {
    Font f;
    f.family = std::move(family);
    f.size_points = points;
    f.bold = bold;
    return f;
  }
  static Font Pixels(std::string family, double pixels, bool bold = false) {
    Font f;
    f.family = std::move(family);
    f.pixel_size = pixels;
    f.bold = bold;
    return f;
  }
  // The em size in pixels either way.
  double EmPixels() const { return pixel_size > 0 ? pixel_size : size_points * 96.0 / 72.0; }
  bool operator==(const Font&) const = default;
};

enum class TextAlign { kLeft, kCenter, kRight };

struct TextOptions {
  TextAlign align = TextAlign::kLeft;
  // Wrap at the box width (words, or characters inside a word); otherwise one line per '\n'.
  bool wrap = false;
  // Centre the text block vertically inside the box.
  bool vertical_center = false;
  // Cut a line that does not fit with "…".
  bool ellipsize = false;
  // False: one bit per pixel with full grid fitting, as small text of the lyric window is drawn
  // (crisp at 9 points); true: grey anti-aliasing.
  bool antialias = true;
};

}  // namespace quillo::gfx
