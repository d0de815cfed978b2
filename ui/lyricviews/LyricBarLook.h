#pragma once
// What the desktop lyric bar reads from the configuration: colour scheme, karaoke mode, text
// alignment, fonts and size, and the five colour schemes themselves. Plain values; Read takes
// them from the store (window thread).
#include <array>
#include <string>

#include "platform/gfx/Color.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::ui {

struct LyricBarScheme {
  const char* tooltip;
  gfx::Color unsung_top, unsung_bottom, sung_top, sung_bottom;
};

inline constexpr int kLyricBarSchemeCount = 5;
inline constexpr std::array<LyricBarScheme, kLyricBarSchemeCount> kLyricBarSchemes = {{
    {"桔黄", gfx::Color::Rgb(255, 0, 0), gfx::Color::Rgb(255, 255, 0),
     gfx::Color::Rgb(65, 105, 225), gfx::Color::Rgb(127, 255, 212)},
    {"淡粉", gfx::Color::Rgb(253, 191, 250), gfx::Color::Rgb(254, 104, 230),
     gfx::Color::Rgb(254, 249, 207), gfx::Color::Rgb(231, 224, 93)},
    {"草绿", gfx::Color::Rgb(127, 241, 87), gfx::Color::Rgb(10, 137, 2),
     gfx::Color::Rgb(249, 248, 26), gfx::Color::Rgb(209, 201, 27)},
    {"雅灰", gfx::Color::Rgb(250, 250, 250), gfx::Color::Rgb(180, 180, 180),
     gfx::Color::Rgb(96, 219, 255), gfx::Color::Rgb(6, 128, 254)},
    {"天青", gfx::Color::Rgb(0, 255, 127), gfx::Color::Rgb(0, 191, 255), gfx::Color::Rgb(255, 0, 0),
     gfx::Color::Rgb(255, 215, 0)},
}};

// The shadow of a gradient: its bottom colour with red, green and blue halved, opaque.
constexpr gfx::Color ShadowOf(gfx::Color bottom) {
  return gfx::Color::Rgb(bottom.r / 2, bottom.g / 2, bottom.b / 2);
}

struct LyricBarLook {
  static constexpr const char* kColorKey = "window.lyricbar.color";
  static constexpr const char* kKaraokeKey = "window.lyricbar.karamode";
  static constexpr const char* kAlignKey = "window.lyricbar.text_align";
  static constexpr const char* kFontSizeKey = "window.lyricbar.fontsize";
  static constexpr const char* kWideFontKey = "window.lyricbar.chnfont";
  static constexpr const char* kNarrowFontKey = "window.lyricbar.engfont";
  static constexpr int kDefaultFontSize = 40;
  // Sizes outside these bounds are taken as the nearest bound: the text area is 70 pixels high,
  // and a size of 0 or below would lay nothing out.
  static constexpr int kMinFontSize = 8;
  static constexpr int kMaxFontSize = 72;

  int scheme = 0;                    // 0..4; anything else in the store reads as 0
  bool karaoke = true;               // the key is not "false"
  bool align_left = false;           // the key is "left"; otherwise centred
  int font_size = kDefaultFontSize;  // points
  std::string wide_font = "黑体";
  std::string narrow_font = "Verdana";

  static LyricBarLook Read(const store::DocumentStore& store);
  // The configured size as stored, clamped into [kMinFontSize, kMaxFontSize]; unreadable text
  // gives the default.
  static int ReadFontSize(const store::DocumentStore& store);
  const LyricBarScheme& colors() const { return kLyricBarSchemes[scheme]; }
};

}  // namespace quillo::ui
