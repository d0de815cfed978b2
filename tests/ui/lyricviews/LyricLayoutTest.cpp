// The lyric window's display-free parts: line heights and places, the middle line, the visible
// range, colour texts and the look read from the configuration, the painter's hint rule.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lyrics/LyricTimeline.h"
#include "platform/gfx/Painter.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/LyricAreaPainter.h"
#include "ui/lyricviews/LyricDlgLook.h"
#include "ui/lyricviews/LyricLineLayout.h"

namespace quillo::ui {
namespace {

// Equal but for the rounding of a 254 alpha over an opaque background.
bool Near(gfx::Color a, gfx::Color b) {
  return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

lyrics::LyricTimeline Timeline(int lines) {
  lyrics::LyricTimeline timeline;
  for (int i = 0; i < lines; ++i)
    timeline.AddLine(1000 * i, 1000 * i + 1000, "line " + std::to_string(i));
  timeline.Order();
  return timeline;
}

TEST(LyricLineLayoutTest, HeightsPlacesAndTheMiddleLine) {
  struct Case {
    int size_pt;
    int height;
  };
  for (const Case& c : {Case{9, 15}, Case{10, 16}, Case{12, 20}, Case{15, 25}, Case{1, 1}}) {
    SCOPED_TRACE(c.size_pt);
    LyricDlgLook look;
    look.font_size_pt = c.size_pt;
    LyricLineLayout layout;
    layout.Build(Timeline(6), look.line_height());
    ASSERT_EQ(layout.size(), 6);
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(layout.lines()[std::size_t(i)].height, c.height);
      EXPECT_EQ(layout.lines()[std::size_t(i)].y, i * c.height);
    }
    // Every line centred in a 59-pixel view is the one crossing the middle.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(layout.LineAtMiddle(layout.CenteredTop(i, 59), 59), i);
  }
  LyricLineLayout layout;
  layout.Build(Timeline(6), 15);
  EXPECT_EQ(layout.CenteredTop(3, 59), 45 - 22);
  EXPECT_EQ(layout.CenteredTop(-1, 59), 0);
  EXPECT_EQ(layout.LineAtMiddle(-100, 59), -1);     // above the first line
  EXPECT_EQ(layout.LineAtMiddle(90 - 29, 59), -1);  // the middle just below the last line
  EXPECT_EQ(layout.LineAtMiddle(89 - 29, 59), 5);
  EXPECT_EQ(layout.VisibleRange(23, 59), (std::pair<int, int>{1, 6}));  // 23..82: lines 1-5
  EXPECT_EQ(layout.VisibleRange(-59, 59), (std::pair<int, int>{0, 0}));
  layout.Relayout(20);
  EXPECT_EQ(layout.lines()[5].y, 100);
  EXPECT_EQ(layout.TotalHeight(), 120);
  EXPECT_TRUE(layout.SameTexts(Timeline(6)));
  EXPECT_FALSE(layout.SameTexts(Timeline(5)));
}

TEST(LyricDlgLookTest, ColourTextsAndStoredLook) {
  struct Case {
    const char* text;
    gfx::Color color;
  };
  const Case kCases[] = {
      {"#ff9900", {255, 153, 0, 254}},
      {"#6BC9FF", {0x6b, 0xc9, 0xff, 254}},
      {"#zz9900", {0, 153, 0, 254}},
      {"#1", {1, 0, 0, 254}},
      {"", {0, 0, 0, 254}},
      {"#12345", {0x12, 0x34, 5, 254}},
      {"#1g2h3i", {1, 2, 3, 254}},
      // The space-padded form older versions wrote reads as the same colour.
      {"# 0 affff", {0, 0x0a, 0xff, 254}},
      {"# 5 0 f", {5, 0, 0x0f, 254}},
  };
  for (const Case& c : kCases) EXPECT_EQ(ParseLyricColor(c.text, 254), c.color) << c.text;

  testing::TempFolder folder;
  store::StoreRuntime runtime(folder.path());
  ASSERT_TRUE(runtime.Open(false));
  LyricDlgLook defaults = LyricDlgLook::Read(runtime.store());
  EXPECT_EQ(defaults.background, (gfx::Color{0x1a, 0x1a, 0x1a, 255}));
  EXPECT_EQ(defaults.text, (gfx::Color{0x6b, 0xc9, 0xff, 254}));
  EXPECT_EQ(defaults.current, (gfx::Color{0xff, 0x99, 0x00, 254}));
  EXPECT_EQ(defaults.font_family, "宋体");
  EXPECT_EQ(defaults.line_height(), 15);
  EXPECT_FALSE(defaults.antialiased());
  struct SizeCase {
    const char* stored;
    int size_pt;
  };
  for (const SizeCase& c : {SizeCase{"15", 15}, SizeCase{"0", 1}, SizeCase{"-4", 1},
                            SizeCase{"100000", 200}, SizeCase{"big", 9}}) {
    runtime.store().SetConfigText(LyricDlgLook::kFontSizeKey, c.stored);
    EXPECT_EQ(LyricDlgLook::Read(runtime.store()).font_size_pt, c.size_pt) << c.stored;
  }
  runtime.store().SetConfigText(LyricDlgLook::kCurrentKey, "#00ff00");
  EXPECT_EQ(LyricDlgLook::Read(runtime.store()).current, (gfx::Color{0, 255, 0, 254}));
  runtime.Close();
}

TEST(LyricAreaPainterTest, StatusTextsAndTheHintOnlyInATallEnoughArea) {
  EXPECT_EQ(LyricAreaPainter::StatusText(true, 0), std::nullopt);
  EXPECT_EQ(LyricAreaPainter::StatusText(false, -1), LyricAreaPainter::kIdleText);
  EXPECT_EQ(LyricAreaPainter::StatusText(true, 3), LyricAreaPainter::kDownloadingText);
  for (int state : {-1, 2, 4}) {
    EXPECT_EQ(LyricAreaPainter::StatusText(true, state), LyricAreaPainter::kNotFoundText);
  }

  LyricLineLayout layout;
  layout.Build(Timeline(3), 15);
  const LyricDlgLook look;
  const gfx::Color hint{251, 220, 146, 255};
  for (int height : {40, 41}) {
    SCOPED_TRACE(height);
    gfx::Surface surface(100, 100);
    LyricAreaPainter::State state;
    state.area = gfx::Rect{0, 0, 100, height};
    state.current_index = 1;
    state.show_hint = true;
    state.top = layout.CenteredTop(1, height);
    {
      gfx::Painter painter(surface);
      EXPECT_EQ(LyricAreaPainter::Paint(painter, state, look, layout), 1);
    }
    EXPECT_EQ(surface.ColorAt(2, 1) == hint, height > 40);
    // Without a valid line nothing but the background, not even the hint.
    state.current_index = 7;
    {
      gfx::Painter painter(surface);
      EXPECT_EQ(LyricAreaPainter::Paint(painter, state, look, layout), -1);
    }
    EXPECT_EQ(surface.ColorAt(2, 1), look.background);
  }
}

TEST(LyricAreaPainterTest, SmallTextIsOneBitPerPixelLargeTextIsSmoothed) {
  for (int size_pt : {9, 14, 15, 18}) {
    SCOPED_TRACE(size_pt);
    LyricDlgLook look;
    look.font_size_pt = size_pt;
    lyrics::LyricTimeline timeline;
    timeline.AddLine(0, 1000, "歌词的颜色 Lyric");
    timeline.Order();
    LyricLineLayout layout;
    layout.Build(timeline, look.line_height());
    gfx::Surface surface(300, 60);
    LyricAreaPainter::State state;
    state.area = gfx::Rect{0, 0, 300, 60};
    state.current_index = 0;
    state.top = layout.CenteredTop(0, 60);
    {
      gfx::Painter painter(surface);
      ASSERT_EQ(LyricAreaPainter::Paint(painter, state, look, layout), 0);
    }
    int ink = 0, blended = 0;
    for (int y = 0; y < 60; ++y) {
      for (int x = 0; x < 300; ++x) {
        const gfx::Color c = surface.ColorAt(x, y);
        if (Near(c, look.current)) {
          ++ink;
        } else if (!Near(c, look.background)) {
          ++blended;
        }
      }
    }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(blended == 0, size_pt < LyricDlgLook::kSmoothFromPt) << blended;
  }
}

}  // namespace
}  // namespace quillo::ui
