// The desktop lyric bar on a real X display: the window manager hints, its width, karaoke
// colouring of a lyric from quillo-service measured on the presented pixels, the pointer passing
// through a locked bar, and the texts it shows for awkward lyrics. Screenshots go to
// QUILLO_SCREENSHOT_DIR when it is set.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <gdk/gdkx.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "../GuiHarness.h"
#include "LyricBarTestSupport.h"
#include "lyrics/LyricDocument.h"
#include "platform/gfx/Painter.h"
#include "platform/window/GtkWindowPresenter.h"
#include "platform/window/WindowSystem.h"
#include "support/ServiceProcess.h"
#include "ui/lyricviews/CLyricBar.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {

using Id = CLyricBar::ControlId;

// The bar that notes the presses that reach it (and does not start a move, which would grab the
// pointer).
class ProbedBar : public CLyricBar {
 public:
  using CLyricBar::CLyricBar;
  void OnLButtonDown(const window::MouseEvent& e) override {
    ++presses;
    CLyricBar::OnLButtonDown(e);
  }
  bool IsDragArea(int, int) override { return false; }
  int presses = 0;
};

// A plain window: a desktop-like picture, and the presses that reach it.
class PictureWindow : public LayerWnd {
 public:
  PictureWindow() : LayerWnd(0) { SetUsesLayerTimer(false); }
  void DrawBackground() override {
    gfx::Surface& s = back_buffer();
    gfx::Painter p(s);
    for (int y = 0; y < s.height(); y += 4) {
      const int t = y * 255 / std::max(1, s.height());
      p.FillRectSource(gfx::Rect{0, y, s.width(), y + 4},
                       gfx::Color::Rgb(30 + t / 5, 70 + t / 3, 120 + t / 3));
    }
    p.FillRectSource(gfx::Rect{0, s.height() * 3 / 4, s.width(), s.height()},
                     gfx::Color::Rgb(58, 96, 60));
    p.FillRoundedRect(
        gfx::Rect::FromXYWH(s.width() / 6, s.height() / 5, s.width() / 2, s.height() / 2), 8,
        gfx::Color{245, 246, 248, 255});
    p.FillRect(gfx::Rect::FromXYWH(s.width() / 6, s.height() / 5, s.width() / 2, 30),
               gfx::Color::Rgb(60, 64, 72));
    for (int i = 0; i < 6; ++i) {
      p.FillRoundedRect(gfx::Rect::FromXYWH(24, 30 + i * 90, 56, 56), 10,
                        gfx::Color{255, 255, 255, 70});
    }
  }
  void OnLButtonDown(const window::MouseEvent&) override { ++presses; }
  int presses = 0;
};

class LyricBarGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    screen_ = window::WindowSystem::Instance()->ScreenBounds();
  }
  void TearDown() override {
    bar_.reset();
    picture_.reset();
  }
  void OpenBar() {
    bar_ = std::make_unique<ProbedBar>(world_.Parts());
    ASSERT_TRUE(bar_->Open());
    ASSERT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(*bar_); }));
  }
  void OpenPicture() {
    picture_ = std::make_unique<PictureWindow>();
    ASSERT_TRUE(picture_->Create(screen_, nullptr));
    ASSERT_TRUE(testing::WaitFor([&] { return testing::IsOnScreen(*picture_); }));
  }
  ::Window Xid(LayerWnd& w) {
    auto* presenter = dynamic_cast<window::GtkWindowPresenter*>(w.presenter());
    return presenter
               ? gdk_x11_window_get_xid(gtk_widget_get_window(GTK_WIDGET(presenter->gtk_window())))
               : 0;
  }
  // Share of the line's columns drawn in the sung colours (scheme 0: sung letters are blue to
  // aquamarine, unsung ones red to yellow), and the rightmost sung column from the text's left.
  struct Share {
    double sung = 0;
    int last_sung = -1;
  };
  Share SungShare() {
    const gfx::Surface& frame = *bar_->presented();
    const LyricBarCanvas& canvas = bar_->canvas();
    const gfx::Rect area = canvas.text_area();
    int sung = 0, unsung = 0;
    Share share;
    for (int x = canvas.origin_x(); x < canvas.origin_x() + canvas.total(); ++x) {
      bool is_sung = false, is_unsung = false;
      for (int y = area.top; y < area.bottom; ++y) {
        const gfx::Color c = frame.ColorAt(x, y);
        if (c.a < 250) continue;
        if (c.b > 150 && c.g > 90) is_sung = true;
        if (c.r > 200 && c.b < 60) is_unsung = true;
      }
      if (is_sung) {
        ++sung;
        share.last_sung = x - canvas.origin_x();
      } else if (is_unsung) {
        ++unsung;
      }
    }
    share.sung = sung + unsung ? double(sung) / (sung + unsung) : 0;
    return share;
  }
  // Pixels of the presented frame's text area that are not transparent.
  int InkPixels() {
    const gfx::Surface* frame = bar_->presented();
    if (!frame) return 0;
    const gfx::Rect area = bar_->canvas().text_area();
    int ink = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) ink += frame->ColorAt(x, y).a > 128;
    }
    return ink;
  }
  // The bottom of the screen as a compositing desktop shows it: the picture with the bar's
  // presented frame blended over it.
  void Screenshot(const std::string& name) {
    const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR");
    if (!dir || !picture_ || !bar_ || !bar_->presented()) return;
    const gfx::Rect bar = bar_->WindowRect();
    const gfx::Rect crop{0, bar.top - 120, screen_.width(),
                         std::min(screen_.bottom, bar.bottom + 60)};
    gfx::Surface shot(crop.width(), crop.height());
    {
      gfx::Painter p(shot);
      p.DrawImage(picture_->back_buffer(), crop, gfx::Rect{0, 0, crop.width(), crop.height()});
      const gfx::Surface& frame = *bar_->presented();
      p.DrawImage(frame, gfx::Rect{0, 0, frame.width(), frame.height()},
                  gfx::Point{bar.left - crop.left, bar.top - crop.top});
    }
    EXPECT_TRUE(shot.WritePng(std::string(dir) + "/" + name));
  }

  testing::LyricBarWorld world_;
  gfx::Rect screen_;
  std::unique_ptr<PictureWindow> picture_;
  std::unique_ptr<ProbedBar> bar_;
};

TEST_F(LyricBarGuiTest, StaysAboveOutOfTheTaskbarAndTakesNinetyPercentOfTheScreen) {
  OpenBar();
  Display* display = gdk_x11_get_default_xdisplay();
  Atom state = XInternAtom(display, "_NET_WM_STATE", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(display, Xid(*bar_), state, 0, 64, False, XA_ATOM, &type, &format,
                               &count, &after, &data),
            Success);
  std::vector<std::string> names;
  for (unsigned long i = 0; i < count; ++i) {
    char* name = XGetAtomName(display, reinterpret_cast<Atom*>(data)[i]);
    names.emplace_back(name);
    XFree(name);
  }
  if (data) XFree(data);
  EXPECT_NE(std::find(names.begin(), names.end(), "_NET_WM_STATE_ABOVE"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "_NET_WM_STATE_SKIP_TASKBAR"), names.end());
  XWindowAttributes attributes{};
  ASSERT_TRUE(XGetWindowAttributes(display, Xid(*bar_), &attributes));
  EXPECT_EQ(attributes.width, screen_.width() * 9 / 10);
  EXPECT_EQ(attributes.height, 120);
}

TEST_F(LyricBarGuiTest, SungShareOfTheLineFollowsTheKaraokeTimeline) {
  // A karaoke lyric as the service serves it.
  testing::ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  std::string karaoke;
  for (const testing::ServiceSong& song : service.Catalogue()) {
    if (song.karaoke && !song.karaoke_file.empty()) {
      karaoke = song.karaoke_file;
      break;
    }
  }
  ASSERT_FALSE(karaoke.empty()) << "the catalogue has no karaoke lyric";
  ASSERT_EQ(world_.analyzer.LoadLyric(karaoke, "song1"), 0);
  // A line of at least three units; the middle of its first unit, then of its last but one.
  const lyrics::LyricDocument& document = world_.analyzer.document();
  const lyrics::LyricLine* line = nullptr;
  for (const lyrics::LyricLine& candidate : document.timeline.lines()) {
    if (candidate.words.size() >= 3 && !candidate.IsBlank()) {
      line = &candidate;
      break;
    }
  }
  ASSERT_NE(line, nullptr);
  std::vector<int> positions;
  for (std::size_t k : {std::size_t{0}, line->words.size() - 2}) {
    const lyrics::LyricWord& word = line->words[k];
    positions.push_back(document.offset_ms + line->start_ms + (word.start_ms + word.end_ms) / 2);
  }
  OpenPicture();
  OpenBar();
  world_.PlayAt(positions.front());
  world_.player.NotifyState(playback::PlayerState::kOpening);
  double previous = -1;
  for (int position_ms : positions) {
    world_.PlayAt(position_ms);
    const auto at = world_.analyzer.LocateLine(position_ms, true);
    ASSERT_TRUE(at && at->line == line->index) << position_ms;
    ASSERT_TRUE(testing::WaitFor([&] {
      return bar_->shown_text() == line->text && bar_->presented() &&
             bar_->progress() == bar_->line().ProgressFor(at->word, at->percent).value_or(-1);
    })) << position_ms;
    const Share share = SungShare();
    EXPECT_GT(share.sung, previous) << position_ms;
    previous = share.sung;
    // The boundary lies inside the unit being sung.
    const LyricBarSegment& word = bar_->line().segments()[at->word];
    EXPECT_GE(share.last_sung, word.x - 2) << position_ms;
    EXPECT_LE(share.last_sung, word.x + word.width + 2) << position_ms;
  }
  Screenshot("lyric-bar.png");
  // Hovered: the background and the toolbar fade in.
  const gfx::Rect r = bar_->WindowRect();
  ASSERT_TRUE(testing::ClickAt(gfx::Point{r.left + 40, r.top + 60}));
  ASSERT_TRUE(testing::WaitFor([&] { return bar_->fade() == CLyricBar::kFadeSteps; }));
  EXPECT_EQ(bar_->presented(), &bar_->back_buffer());
  Screenshot("lyric-bar-hover.png");
}

TEST_F(LyricBarGuiTest, LockedBarLetsTheClickThroughToTheWindowBelow) {
  OpenPicture();
  OpenBar();
  const gfx::Rect r = bar_->WindowRect();
  const gfx::Point spot{r.left + r.width() / 2, r.top + 70};
  ASSERT_TRUE(testing::ClickAt(spot));
  ASSERT_TRUE(testing::WaitFor([&] { return bar_->presses == 1; }));
  EXPECT_EQ(picture_->presses, 0);
  ASSERT_TRUE(testing::ClickAt(testing::ControlCentre(*bar_, Id::kLock)));
  ASSERT_TRUE(testing::WaitFor([&] { return bar_->locked(); }));
  const int bar_presses = bar_->presses;
  ASSERT_TRUE(testing::ClickAt(spot));
  ASSERT_TRUE(testing::WaitFor([&] { return picture_->presses == 1; }));
  EXPECT_EQ(bar_->presses, bar_presses);
  bar_->ToggleBarLock();
  ASSERT_TRUE(testing::ClickAt(gfx::Point{spot.x + 3, spot.y}));
  ASSERT_TRUE(testing::WaitFor([&] { return bar_->presses == bar_presses + 1; }));
  EXPECT_EQ(picture_->presses, 1);
  EXPECT_EQ(world_.host.calls, (std::vector<std::string>{"locked", "unlocked"}));
}

TEST_F(LyricBarGuiTest, AwkwardLyricsAreDrawnWithTheirTexts) {
  std::string long_line;
  for (int i = 0; i < 500; ++i) long_line += i % 2 ? "歌" : "w";
  struct Case {
    const char* name;
    std::string lyric;  // empty: no lyric at all
    int position_ms;
    std::string shown;
  } cases[] = {
      {"500 characters", "[00:01.00]" + long_line + "\n", 2000, long_line},
      {"only spaces after a line", "[00:01.00]前一行\n[00:02.00]      \n", 3000, "前一行"},
      {"no time tags", "a lyric\nwithout tags\n", 2000, CLyricBar::kNotFoundText},
      {"no lyric", "", 2000, CLyricBar::kNotFoundText},
  };
  OpenBar();
  for (const Case& c : cases) {
    world_.analyzer.Reset();
    if (!c.lyric.empty()) world_.LoadLyric("case.lrc", c.lyric);
    world_.PlayAt(c.position_ms);
    EXPECT_TRUE(testing::WaitFor([&] { return bar_->shown_text() == c.shown; })) << c.name;
    EXPECT_TRUE(testing::WaitFor([&] { return InkPixels() > 100; })) << c.name;
  }
}

}  // namespace
}  // namespace quillo::ui
