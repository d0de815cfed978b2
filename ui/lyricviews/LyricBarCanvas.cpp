#include "ui/lyricviews/LyricBarCanvas.h"

#include <algorithm>
#include <string_view>

#include "platform/gfx/GradientText.h"
#include "platform/gfx/Painter.h"
#include "platform/text/TextUtil.h"
#include "ui/lyricviews/LyricBarLine.h"
#include "ui/lyricviews/LyricBarLook.h"

namespace quillo::ui {

void LyricBarCanvas::Resize(gfx::Size window) {
  text_area_ = gfx::Rect::FromXYWH(kTextLeft, kTextTop, window.width - 2 * kTextLeft, kTextHeight);
  unsung_ = gfx::Surface(text_area_.width(), kTextHeight);
  sung_ = gfx::Surface(text_area_.width(), kTextHeight);
  composite_ = gfx::Surface(window.width, window.height);
}

void LyricBarCanvas::Render(const LyricBarLine& line, const LyricBarLook& look) {
  if (unsung_.IsNull()) return;
  ++render_count_;
  const gfx::Rect whole{0, 0, unsung_.width(), unsung_.height()};
  {
    gfx::Painter(unsung_).Clear(whole);
    gfx::Painter(sung_).Clear(whole);
  }
  const LyricBarScheme& colors = look.colors();
  const gfx::VerticalGradient unsung{colors.unsung_top, colors.unsung_bottom, kGradientPeriod};
  const gfx::VerticalGradient sung{colors.sung_top, colors.sung_bottom, kGradientPeriod};
  const gfx::Color unsung_shadow_color = ShadowOf(colors.unsung_bottom);
  const gfx::Color sung_shadow_color = ShadowOf(colors.sung_bottom);
  const gfx::VerticalGradient unsung_shadow{unsung_shadow_color, unsung_shadow_color};
  const gfx::VerticalGradient sung_shadow{sung_shadow_color, sung_shadow_color};
  const gfx::Font wide = line.WideFont();
  const gfx::Font narrow = line.NarrowFont();
  // Each kind centred on its own height, as long as the line has one kind. A line that mixes
  // them (Latin words in a Chinese line) sits on one baseline, half way between the two centred
  // ones: the fonts' heights differ enough that centring each would put the Latin letters
  // visibly higher, and the Chinese font's baseline alone would cut the Latin descenders.
  double y_wide = (kTextHeight - line.height_wide()) / 2;
  double y_narrow = (kTextHeight - line.height_narrow()) / 2 - 1;
  if (line.height_wide() > 0 && line.height_narrow() > 0) {
    const double baseline = (y_wide + line.ascent_wide() + y_narrow + line.ascent_narrow()) / 2;
    y_wide = baseline - line.ascent_wide();
    y_narrow = baseline - line.ascent_narrow();
  }

  for (const LyricBarSegment& segment : line.segments()) {
    const std::string_view text = text::TrimView(segment.text);
    if (text.empty()) continue;
    // Past the area's right edge nothing shows (a line too wide even at the smallest size).
    if (segment.x >= unsung_.width()) break;
    const double y = segment.wide ? y_wide : y_narrow;
    const double x = segment.x;
    const gfx::GradientText run(text, segment.wide ? wide : narrow);
    run.Draw(unsung_, x + 1, y + 1, unsung_shadow);
    run.Draw(unsung_, x, y, unsung);
    run.Draw(sung_, x + 1, y + 1, sung_shadow);
    run.Draw(sung_, x, y, sung);
  }
  total_ = line.total();
  origin_x_ = look.align_left || total_ > text_area_.width()
                  ? kTextLeft
                  : kTextLeft + (text_area_.width() - total_) / 2;
  Compose();
}

void LyricBarCanvas::CopyColumns(const gfx::Surface& image, int from, int to) {
  gfx::Rect dest =
      gfx::Rect{origin_x_ + from, kTextTop, origin_x_ + to, kTextTop + kTextHeight}.Intersect(
          text_area_);
  if (dest.IsEmpty()) return;
  const gfx::Rect source = dest.Offset(-origin_x_, -kTextTop);
  gfx::Painter(composite_).CopyImage(image, source, gfx::Point{dest.left, dest.top});
}

void LyricBarCanvas::Compose() {
  if (composite_.IsNull()) return;
  gfx::Painter(composite_).Clear(gfx::Rect{0, 0, composite_.width(), composite_.height()});
  if (progress_ < 1) {
    CopyColumns(unsung_, 0, unsung_.width());
  } else {
    CopyColumns(unsung_, progress_, total_ + 1);
    CopyColumns(sung_, 0, progress_);
  }
}

std::optional<gfx::Rect> LyricBarCanvas::SetProgress(int p) {
  if (p == progress_) return std::nullopt;
  const int from = std::min(p, progress_);
  const int to = std::max(p, progress_);
  if (p > progress_) {
    CopyColumns(sung_, progress_, p);
  } else {
    CopyColumns(unsung_, p, progress_);
  }
  progress_ = p;
  return gfx::Rect{origin_x_ + from, kTextTop, origin_x_ + to, kTextTop + kTextHeight}.Intersect(
      text_area_);
}

}  // namespace quillo::ui
