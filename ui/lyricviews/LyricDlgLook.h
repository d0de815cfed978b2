#pragma once
// How the lyric window draws: its three colours, its font and size, read from the configuration
// ("window.lyricdlg.*") at creation and on every settings reload. Window thread.
#include <string>
#include <string_view>

#include "platform/gfx/Color.h"
#include "platform/gfx/Font.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::ui {

struct LyricDlgLook {
  static constexpr const char* kBackgroundKey = "window.lyricdlg.bcolor";
  static constexpr const char* kTextKey = "window.lyricdlg.fcolor";
  static constexpr const char* kCurrentKey = "window.lyricdlg.ccolor";
  static constexpr const char* kFontKey = "window.lyricdlg.font";
  static constexpr const char* kFontSizeKey = "window.lyricdlg.fontsize_pt";
  static constexpr const char* kDefaultBackground = "#1a1a1a";
  static constexpr const char* kDefaultText = "#6bc9ff";
  static constexpr const char* kDefaultCurrent = "#ff9900";
  static constexpr const char* kDefaultFont = "宋体";
  static constexpr int kDefaultFontSizePt = 9;
  // A stored size is kept within these bounds: 0 or less cannot be drawn, and a line taller
  // than any screen shows nothing useful.
  static constexpr int kMinFontSizePt = 1;
  static constexpr int kMaxFontSizePt = 200;
  // Below this size text is drawn one bit per pixel with grid fitting, as small CJK text reads
  // best; from it on, anti-aliased.
  static constexpr int kSmoothFromPt = 15;

  gfx::Color background = gfx::Color{0x1a, 0x1a, 0x1a, 255};
  gfx::Color text = gfx::Color{0x6b, 0xc9, 0xff, 254};
  gfx::Color current = gfx::Color{0xff, 0x99, 0x00, 254};
  std::string font_family = kDefaultFont;
  int font_size_pt = kDefaultFontSizePt;

  static LyricDlgLook Read(const store::DocumentStore& store);

  gfx::Font LineFont() const { return gfx::Font::Points(font_family, font_size_pt); }
  bool antialiased() const { return font_size_pt >= kSmoothFromPt; }
  // A line is size × 5 / 3 pixels high.
  int line_height() const { return font_size_pt * 5 / 3; }
};

// A colour text as the settings store it: three pairs of hexadecimal digits after its first
// character, red, green and blue. A pair may start with a space (the padding older versions
// wrote) and reads as far as it has hexadecimal digits; a pair without any (or missing) gives 0.
gfx::Color ParseLyricColor(std::string_view text, std::uint8_t alpha);

}  // namespace quillo::ui
