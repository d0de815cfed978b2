#include "ui/lyricviews/LyricAreaPainter.h"

#include "platform/gfx/Painter.h"
#include "ui/lyricviews/LyricDlgLook.h"
#include "ui/lyricviews/LyricLineLayout.h"

namespace quillo::ui {
namespace {
constexpr gfx::Color kHintFill = gfx::Color{251, 220, 146, 255};
constexpr gfx::Color kHintFrame = gfx::Color{255, 153, 0, 254};
constexpr gfx::Color kHintInk = gfx::Color{255, 0, 0, 254};

gfx::TextOptions Centred(bool antialias) {
  gfx::TextOptions options;
  options.align = gfx::TextAlign::kCenter;
  options.vertical_center = true;
  // One row per line: a line wider than the window is cut with "…" rather than wrapped into
  // rows that the line's band would clip.
  options.ellipsize = true;
  options.antialias = antialias;
  return options;
}

void PaintHint(gfx::Painter& painter, const gfx::Rect& area) {
  gfx::Rect strip =
      gfx::Rect::FromXYWH(area.left, area.top, area.width(), LyricAreaPainter::kHintHeight);
  painter.FillRect(strip, kHintFill);
  painter.StrokeRect(gfx::Rect::FromXYWH(area.left, area.top, area.width() - 1, 17), kHintFrame);
  painter.DrawText(LyricAreaPainter::kHintText, gfx::Font::Points("宋体", 9), kHintInk, strip,
                   Centred(false));
}
}  // namespace

std::optional<std::string> LyricAreaPainter::StatusText(bool player_active, int lyric_state) {
  if (lyric_state == 0) return std::nullopt;
  if (!player_active) return std::string(kIdleText);
  if (lyric_state == 3) return std::string(kDownloadingText);
  return std::string(kNotFoundText);
}

int LyricAreaPainter::Paint(gfx::Painter& painter, const State& state, const LyricDlgLook& look,
                            const LyricLineLayout& layout) {
  const gfx::Rect& area = state.area;
  if (area.IsEmpty()) return -1;
  const int view_height = area.height();
  painter.PushClip(area);
  painter.FillRectSource(area, look.background);
  const gfx::TextOptions options = Centred(look.antialiased());
  const gfx::Font font = look.LineFont();
  int marked = -1;
  if (state.status_text) {
    painter.DrawText(*state.status_text, font, look.current, area, options);
  } else if (layout.IsValidIndex(state.current_index)) {
    marked = layout.LineAtMiddle(state.top, view_height);
    auto [first, last] = layout.VisibleRange(state.top, view_height);
    for (int i = first; i < last; ++i) {
      const LyricLineLayout::Line& line = layout.lines()[static_cast<std::size_t>(i)];
      const int y = line.y + area.top - state.top;
      painter.DrawText(line.text, font, i == marked ? look.current : look.text,
                       gfx::Rect::FromXYWH(area.left, y, area.width(), line.height), options);
    }
    if (state.scrolling) {
      const int middle = view_height / 2 + area.top;
      painter.FillRect(gfx::Rect{area.left, middle, area.right, middle + 1}, look.current);
    }
  } else {
    // No valid line to place the view by: nothing more, not even the hint.
    painter.PopClip();
    return -1;
  }
  if (state.show_hint && view_height > kHintMinViewHeight) PaintHint(painter, area);
  painter.PopClip();
  return marked;
}

}  // namespace quillo::ui
