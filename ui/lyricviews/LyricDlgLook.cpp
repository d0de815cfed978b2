#include "ui/lyricviews/LyricDlgLook.h"

#include <algorithm>

#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"

namespace quillo::ui {
namespace {
std::uint8_t HexPair(std::string_view text, std::size_t from) {
  int value = 0;
  std::size_t i = from;
  // Older versions padded a small component with a space ("# 5ffff"): a pair may start with one.
  while (i < from + 2 && i < text.size() && text[i] == ' ') ++i;
  for (; i < from + 2 && i < text.size(); ++i) {
    int digit = text::HexDigitValue(text[i]);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return static_cast<std::uint8_t>(value);
}
}  // namespace

gfx::Color ParseLyricColor(std::string_view text, std::uint8_t alpha) {
  return gfx::Color{HexPair(text, 1), HexPair(text, 3), HexPair(text, 5), alpha};
}

LyricDlgLook LyricDlgLook::Read(const store::DocumentStore& store) {
  LyricDlgLook look;
  look.background = ParseLyricColor(store.GetConfigText(kBackgroundKey, kDefaultBackground), 255);
  look.text = ParseLyricColor(store.GetConfigText(kTextKey, kDefaultText), 254);
  look.current = ParseLyricColor(store.GetConfigText(kCurrentKey, kDefaultCurrent), 254);
  look.font_family = store.GetConfigText(kFontKey, kDefaultFont);
  if (look.font_family.empty()) look.font_family = kDefaultFont;
  int size = text::LeadingNumber(store.GetConfigText(kFontSizeKey)).value_or(kDefaultFontSizePt);
  look.font_size_pt = std::clamp(size, kMinFontSizePt, kMaxFontSizePt);
  return look;
}

}  // namespace quillo::ui
