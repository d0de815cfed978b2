#include "ui/dialogs/NewConfigPreviews.h"

#include <algorithm>
#include <cmath>

#include "platform/gfx/GradientText.h"
#include "platform/gfx/Painter.h"
#include "platform/text/TextUtil.h"
#include "store/ConfigKeys.h"
#include "ui/dialogs/NewConfigWorkingCopy.h"
#include "ui/lyricviews/LyricBarLook.h"

namespace quillo::ui {
namespace keys = store::keys;
namespace {
constexpr int kImageWidth = 339;
constexpr int kImageHeight = 68;

// One colouring of the sample: the shadow at (0, 0), the gradient at (1, 1).
gfx::Surface SampleImage(const gfx::GradientText& text, int height, gfx::Color top,
                         gfx::Color bottom) {
  gfx::Surface image(kImageWidth, kImageHeight);
  const gfx::Color shadow = ShadowOf(bottom);
  text.Draw(image, 0, 0, gfx::VerticalGradient{shadow, shadow, std::max(1, height)});
  text.Draw(image, 1, 1, gfx::VerticalGradient{top, bottom, std::max(1, height)});
  return image;
}
}  // namespace

void NewConfigPreviews::DrawLyricBar(gfx::Surface& target, const gfx::Rect& area,
                                     const NewConfigWorkingCopy& working) {
  int scheme = text::LeadingNumber(working.Get(keys::kLyricBarColor)).value_or(0);
  if (scheme < 0 || scheme >= kLyricBarSchemeCount) scheme = 0;
  const LyricBarScheme& colors = kLyricBarSchemes[std::size_t(scheme)];
  const int size = std::clamp(text::LeadingNumber(working.Get(keys::kLyricBarFontSize)).value_or(40),
                              1, 200);
  const gfx::GradientText text(kSample, gfx::Font::Points(working.Get(keys::kLyricBarChnFont), size));
  const gfx::TextExtent extent = text.Extent();
  const int height = static_cast<int>(std::ceil(extent.height));
  const int width = static_cast<int>(std::ceil(extent.width)) + 1;
  const gfx::Surface unsung = SampleImage(text, height, colors.unsung_top, colors.unsung_bottom);
  const gfx::Surface sung = SampleImage(text, height, colors.sung_top, colors.sung_bottom);

  const bool left = working.Get(keys::kLyricBarTextAlign) == "left";
  const int x = left ? area.left : area.left + (area.width() - std::min(width, area.width())) / 2;
  const int y = area.top + (area.height() - std::min(height + 1, area.height())) / 2;
  const int shown_w = std::min({width, area.width(), kImageWidth});
  const int shown_h = std::min({height + 1, area.height(), kImageHeight});
  gfx::Painter painter(target);
  painter.PushClip(area);
  if (working.Get(keys::kLyricBarKaraMode) == "false") {
    painter.DrawImage(unsung, gfx::Rect{0, 0, shown_w, shown_h}, gfx::Point{x, y});
  } else {
    const int sung_w = std::min(shown_w, static_cast<int>(extent.width * kKaraokeShare));
    painter.DrawImage(sung, gfx::Rect{0, 0, sung_w, shown_h}, gfx::Point{x, y});
    painter.DrawImage(unsung, gfx::Rect{sung_w, 0, shown_w, shown_h}, gfx::Point{x + sung_w, y});
  }
  painter.PopClip();
}

void NewConfigPreviews::DrawLyricWindow(gfx::Surface& target, const gfx::Rect& area,
                                        const NewConfigWorkingCopy& working) {
  const gfx::Color background = working.ColorOf(keys::kLyricDlgBColor);
  const gfx::Color text = working.ColorOf(keys::kLyricDlgFColor);
  const gfx::Color current = working.ColorOf(keys::kLyricDlgCColor);
  const int size =
      std::clamp(text::LeadingNumber(working.Get(keys::kLyricDlgFontSizePt)).value_or(9), 1, 200);
  const gfx::Font font = gfx::Font::Points(working.Get(keys::kLyricDlgFont), size);
  // The lyric window's line pitch.
  const int line = std::max(1, size * 5 / 3);
  gfx::Painter painter(target);
  painter.FillRectSource(area, background);
  painter.PushClip(area);
  const int block = 3 * line;
  const int top = area.top + std::max(0, (area.height() - block) / 2);
  gfx::TextOptions options;
  options.align = gfx::TextAlign::kCenter;
  options.vertical_center = true;
  options.antialias = size >= 15;
  const char* lines[3] = {kSample, kCurrentSample, kSample};
  for (int i = 0; i < 3; ++i) {
    const int y = top + i * line;
    if (y + line > area.bottom) break;  // a line that does not fit is cut with those below it
    painter.DrawText(lines[i], font, i == 1 ? current : text,
                     gfx::Rect{area.left, y, area.right, y + line}, options);
  }
  painter.PopClip();
}

}  // namespace quillo::ui
