// The spectrum's pixel heights and the rule that a box is drawn only when a bar or a peak moved.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/gfx/Painter.h"
#include "platform/gfx/Surface.h"
#include "ui/main/MainLayout.h"
#include "ui/main/SpectrumDisplay.h"

namespace quillo::ui {
namespace {

using Values = std::array<float, SpectrumDisplay::kBars>;

TEST(SpectrumDisplayTest, HeightsAreClampedAndAPeakNeverSitsBelowItsBar) {
  Values bars{}, peaks{};
  bars[0] = 0.5F;
  peaks[0] = 0.75F;
  bars[1] = 2.0F;  // above the box
  bars[2] = -1.0F;
  bars[3] = std::numeric_limits<float>::quiet_NaN();
  bars[4] = 0.6F;
  peaks[4] = 0.1F;  // a stale peak below its bar shows on the bar
  const auto h = SpectrumDisplay::HeightsOf(bars, peaks, 14);
  EXPECT_EQ(h.bars[0], 7);
  EXPECT_EQ(h.peaks[0], 11);
  EXPECT_EQ(h.bars[1], 14);
  EXPECT_EQ(h.bars[2], 0);
  EXPECT_EQ(h.bars[3], 0);
  EXPECT_EQ(h.peaks[4], h.bars[4]);
  EXPECT_EQ(h.bars[17], 0);
  EXPECT_EQ(h.peaks[17], 0);
}

TEST(SpectrumDisplayTest, DrawsOnlyWhenAPixelMovedAndFitsTheLayoutBox) {
  SpectrumDisplay display;
  Values bars{}, peaks{};
  bars[5] = 0.5F;
  peaks[5] = 0.5F;
  EXPECT_TRUE(display.Update(SpectrumDisplay::HeightsOf(bars, peaks, 14)));
  // A change below one pixel draws nothing again.
  bars[5] = 0.51F;
  EXPECT_FALSE(display.Update(SpectrumDisplay::HeightsOf(bars, peaks, 14)));
  bars[5] = 0.8F;
  EXPECT_TRUE(display.Update(SpectrumDisplay::HeightsOf(bars, peaks, 14)));
  display.Invalidate();
  EXPECT_TRUE(display.Update(SpectrumDisplay::HeightsOf(bars, peaks, 14)));

  // Bar 5 from the bottom of the box, its peak mark on top; bar 4 empty.
  const gfx::Rect box = MainLayout::SpectrumRect(MainLayout::kNormalMinimum);
  EXPECT_EQ(box.width(), SpectrumDisplay::kWidth);
  EXPECT_LE(box.right, MainLayout::kNormalMinimum.width);
  gfx::Surface surface(MainLayout::kNormalMinimum.width, MainLayout::kNormalMinimum.height);
  {
    gfx::Painter p(surface);
    display.Draw(p, box, gfx::Color{255, 0, 0, 255}, gfx::Color{0, 0, 255, 255});
  }
  const int x5 = box.left + 5 * (SpectrumDisplay::kBarWidth + SpectrumDisplay::kGap);
  EXPECT_EQ(surface.ColorAt(x5, box.bottom - 1).r, 255);
  EXPECT_EQ(surface.ColorAt(x5, box.bottom - 10).r, 255);  // 0.8 × 14 = 11 pixels
  EXPECT_EQ(surface.ColorAt(x5, box.bottom - 11).b, 255);  // the peak mark on the top pixel
  EXPECT_EQ(surface.ColorAt(x5, box.bottom - 12).a, 0);
  EXPECT_EQ(surface.ColorAt(x5 - 4, box.bottom - 1).a, 0);
}

}  // namespace
}  // namespace quillo::ui
