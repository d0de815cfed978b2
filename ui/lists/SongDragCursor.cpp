#include "ui/lists/SongDragCursor.h"

#include <algorithm>
#include <cstdio>

#include "platform/gfx/Painter.h"

namespace quillo::ui::lists {

int SongDragCursor::HeightFor(int songs) {
  return kTitleHeight + kLineHeight * std::clamp(songs, 0, kMaxLines);
}

std::string SongDragCursor::Title(int songs) {
  char text[64];
  std::snprintf(text, sizeof text, "共有%d首歌曲", songs);
  return text;
}

gfx::Surface SongDragCursor::Draw(const std::vector<std::string>& names, bool droppable) {
  const int count = int(names.size());
  const int height = HeightFor(count);
  gfx::Surface image(kWidth, height);
  gfx::Painter p(image);
  const gfx::Rect all{0, 0, kWidth, height};
  // Translucent, so the panel row under the pointer stays readable through the picture.
  p.FillRectSource(all, gfx::Color{255, 255, 255, 200});
  p.FillRectSource(gfx::Rect{0, 0, kWidth, kTitleHeight}, gfx::Color{62, 118, 196, 220});
  p.StrokeRect(all, gfx::Color{62, 118, 196, 255});
  const gfx::Font title_font = gfx::Font::Points("宋体", 10);
  const gfx::Font line_font = gfx::Font::Points("宋体", 9);
  gfx::TextOptions ellipsize;
  ellipsize.ellipsize = true;
  p.DrawText(Title(count), title_font, gfx::Color{255, 255, 255, 255},
             gfx::Rect{8 + kBadgeSize, 6, kWidth - 4, kTitleHeight - 4}, ellipsize);
  for (int i = 0; i < std::min(count, kMaxLines); ++i) {
    const int y = kTitleHeight + i * kLineHeight;
    p.DrawText(names[i], line_font, gfx::Color{40, 40, 40, 255},
               gfx::Rect{6, y + 2, kWidth - 6, y + kLineHeight}, ellipsize);
  }
  if (droppable) {
    // A green disc with a white plus, at the pointer's corner.
    const gfx::Rect badge{2, 5, 2 + kBadgeSize, 5 + kBadgeSize};
    p.FillRoundedRect(badge, kBadgeSize / 2.0, gfx::Color{46, 160, 67, 255});
    const int cx = badge.left + kBadgeSize / 2, cy = badge.top + kBadgeSize / 2;
    p.FillRect(gfx::Rect{cx - 5, cy - 1, cx + 5, cy + 1}, gfx::Color{255, 255, 255, 255});
    p.FillRect(gfx::Rect{cx - 1, cy - 5, cx + 1, cy + 5}, gfx::Color{255, 255, 255, 255});
  }
  image.MarkDirty();
  return image;
}

}  // namespace quillo::ui::lists
