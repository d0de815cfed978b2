#include "ui/lyricviews/LyricBarLook.h"

#include <algorithm>

#include "platform/text/TextUtil.h"
#include "store/DocumentStore.h"

namespace quillo::ui {

int LyricBarLook::ReadFontSize(const store::DocumentStore& store) {
  const std::optional<int> size = text::LeadingNumber(store.GetConfigText(kFontSizeKey));
  return std::clamp(size.value_or(kDefaultFontSize), kMinFontSize, kMaxFontSize);
}

LyricBarLook LyricBarLook::Read(const store::DocumentStore& store) {
  LyricBarLook look;
  const int scheme = store.GetConfigInt(kColorKey, 0);
  look.scheme = scheme >= 0 && scheme < kLyricBarSchemeCount ? scheme : 0;
  look.karaoke = store.GetConfigText(kKaraokeKey, "true") != "false";
  look.align_left = store.GetConfigText(kAlignKey, "middle") == "left";
  look.font_size = ReadFontSize(store);
  const std::string wide = store.GetConfigText(kWideFontKey);
  const std::string narrow = store.GetConfigText(kNarrowFontKey);
  if (!wide.empty()) look.wide_font = wide;
  if (!narrow.empty()) look.narrow_font = narrow;
  return look;
}

}  // namespace quillo::ui
