// The toolkit's mouse rules, drawing and sizes, driven through a fake window system.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "FakeWindowSystem.h"
#include "platform/loop/MainLoop.h"
#include "resources/skins/SkinLayout.h"
#include "ui/toolkit/ClickCounter.h"
#include "ui/toolkit/LayerEdit.h"
#include "ui/toolkit/LayerListView.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/LayerWnd.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace {
using testing::Click;
using testing::FakeWindowSystem;
using testing::Move;
using testing::Press;
using testing::Release;

class Probe : public LayerWnd {
 public:
  Probe() : LayerWnd(skin::kDialogFrame) {}
  void InitLayer() override {
    AddButton(24, 21, 10, 10, skin::kit::kCloseButton.x, skin::kit::kCloseButton.y, 5, "关闭");
    AddSlider(10, 10, 20, 50, skin::kit::kScrollUp.x, skin::kit::kScrollUp.y, 6,
              gfx::Rect{20, 50, 120, 60});
    AddButton(20, 20, 150, 10, skin::kit::kCloseButton.x, skin::kit::kCloseButton.y, 7, {}, true);
    AddToggle(ControlKind::kRadio, gfx::Rect::FromXYWH(10, 80, 12, 12), 8, false);
    AddLinkedLabel(gfx::Rect::FromXYWH(30, 80, 60, 15), "选项", 9, 8);
  }
  void OnControlEvent(LayerControl* control, int code) override {
    events.push_back({control ? control->id : -1, code});
  }
  void OnControlPressed(LayerControl&, int id) override { pressed.push_back(id); }
  void OnSliderMove(LayerControl& c) override { moves.push_back(c.bounds.left); }
  void OnSliderRelease(LayerControl& c) override { releases.push_back(c.bounds.left); }
  bool IsDragArea(int, int y) override { return y < 100; }

  std::vector<std::pair<int, int>> events;
  std::vector<int> pressed, moves, releases;
};

class LayerWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    probe.Create(gfx::Rect::FromXYWH(100, 100, 200, 200), nullptr);
    ASSERT_TRUE(probe.IsCreated());
  }
  window::WindowEvents& sink() { return probe; }
  void Pump() { loop.PumpPending(); }

  loop::MainLoop loop;
  FakeWindowSystem system;
  Probe probe;
};

TEST_F(LayerWndTest, ClickRaisesEventOnlyWhenPressAndReleaseAreInside) {
  struct Case {
    gfx::Point down, up;
    bool raises;
  } cases[] = {
      {{15, 15}, {20, 20}, true},    // inside, inside
      {{15, 15}, {60, 60}, false},   // starts inside, ends outside
      {{60, 30}, {15, 15}, false},   // starts outside, ends inside
      {{155, 15}, {155, 15}, false}, // hidden control
  };
  for (const Case& c : cases) {
    probe.events.clear();
    Press(sink(), c.down);
    Release(sink(), c.up);
    Pump();
    EXPECT_EQ(!probe.events.empty(), c.raises) << c.down.x << "," << c.up.x;
    if (c.raises) {
      EXPECT_EQ(probe.events[0], (std::pair<int, int>{5, 5}));
    }
  }
  EXPECT_EQ(probe.pressed, (std::vector<int>{5, 5}));
}

TEST_F(LayerWndTest, HoverFollowsThePointerAndLeaveClearsIt) {
  LayerControl* button = probe.FindControl(5);
  Move(sink(), {15, 15});
  EXPECT_TRUE(button->hovered);
  Move(sink(), {100, 150});
  EXPECT_FALSE(button->hovered);
  Move(sink(), {15, 15});
  sink().OnNativeMouseLeave();
  EXPECT_FALSE(button->hovered);
  LayerControl* hidden = probe.FindControl(7);
  Move(sink(), {155, 15});
  EXPECT_FALSE(hidden->hovered);
}

TEST_F(LayerWndTest, SliderDragIsClampedToItsTrack) {
  Press(sink(), {25, 55});  // on the thumb, 5 pixels right of its left edge
  EXPECT_EQ(probe.dragged_slider(), probe.FindControl(6));
  Move(sink(), {65, 90});
  EXPECT_EQ(probe.FindControl(6)->bounds, gfx::Rect::FromXYWH(60, 50, 10, 10));
  Move(sink(), {400, 55});  // far past the end
  EXPECT_EQ(probe.FindControl(6)->bounds.left, 110);
  Move(sink(), {-50, 55});
  EXPECT_EQ(probe.FindControl(6)->bounds.left, 20);
  Release(sink(), {-50, 55});
  EXPECT_EQ(probe.moves, (std::vector<int>{60, 110, 20}));
  EXPECT_EQ(probe.releases, (std::vector<int>{20}));
  EXPECT_EQ(probe.dragged_slider(), nullptr);
}

TEST_F(LayerWndTest, TrackClickCentresTheThumbAndReleasesAtOnce) {
  Press(sink(), {90, 55});
  EXPECT_EQ(probe.FindControl(6)->bounds.left, 85);
  EXPECT_EQ(probe.releases, (std::vector<int>{85}));
  EXPECT_EQ(probe.dragged_slider(), nullptr);
  Press(sink(), {118, 55});  // near the end: clamped
  EXPECT_EQ(probe.FindControl(6)->bounds.left, 110);
  EXPECT_EQ(system.last->move_drags, 0);  // the track took the clicks
}

TEST_F(LayerWndTest, PressOutsideControlsMovesWindowOnlyInDragArea) {
  Press(sink(), {150, 60});
  Release(sink(), {150, 60});
  EXPECT_EQ(system.last->move_drags, 1);
  Press(sink(), {150, 150});  // IsDragArea says no
  EXPECT_EQ(system.last->move_drags, 1);
}

TEST_F(LayerWndTest, LinkedLabelActsForItsControl) {
  Click(sink(), {40, 85});
  Pump();
  ASSERT_EQ(probe.events.size(), 1u);
  EXPECT_EQ(probe.events[0], (std::pair<int, int>{8, 8}));
}

TEST_F(LayerWndTest, HiddenControlsDoNotDraw) {
  gfx::Rect hidden = probe.FindControl(7)->bounds;
  probe.DrawAll();
  for (int y = hidden.top; y < hidden.bottom; ++y) {
    for (int x = hidden.left; x < hidden.right; ++x) {
      ASSERT_EQ(probe.back_buffer().PixelAt(x, y), 0u) << x << "," << y;
    }
  }
  probe.ShowControl(7, true);
  bool drawn = false;
  for (int y = hidden.top; y < hidden.bottom; ++y) {
    for (int x = hidden.left; x < hidden.right; ++x) drawn |= probe.back_buffer().PixelAt(x, y) != 0;
  }
  EXPECT_TRUE(drawn);
}

TEST_F(LayerWndTest, ResizeBelowMinimumKeepsTheBackBuffer) {
  probe.SetMinimumSize({150, 150});
  probe.SetWindowRect(gfx::Rect::FromXYWH(100, 100, 120, 300));
  EXPECT_EQ(probe.back_buffer().size(), (gfx::Size{200, 200}));
  probe.SetWindowRect(gfx::Rect::FromXYWH(100, 100, 250, 180));
  EXPECT_EQ(probe.back_buffer().size(), (gfx::Size{250, 180}));
}

TEST_F(LayerWndTest, LayerTimerPushesOnlyWhenSomethingWasDrawn) {
  // An idle window wakes nobody: its layer timer runs only while a drawing waits (the first
  // drawing's tick may still be due).
  EXPECT_TRUE(loop.PumpUntil([&] { return !probe.loop_target()->HasTimer(kLayerTimerId); },
                             std::chrono::seconds(5)));
  int before = system.last->presents;
  probe.UpdateIfDirty();
  EXPECT_EQ(system.last->presents, before);
  Move(sink(), {15, 15});  // hover redraw
  EXPECT_TRUE(probe.needs_update());
  EXPECT_TRUE(probe.loop_target()->HasTimer(kLayerTimerId));
  EXPECT_TRUE(loop.PumpUntil([&] { return system.last->presents > before; },
                             std::chrono::seconds(5)));
  EXPECT_FALSE(probe.needs_update());
  EXPECT_TRUE(loop.PumpUntil([&] { return !probe.loop_target()->HasTimer(kLayerTimerId); },
                             std::chrono::seconds(5)));
  // A later drawing starts it again and is presented.
  before = system.last->presents;
  Move(sink(), {190, 190});  // leaves the button: another hover redraw
  EXPECT_TRUE(loop.PumpUntil([&] { return system.last->presents > before; },
                             std::chrono::seconds(5)));
}

// A small animation (the spectrum) repaints its box alone, unless other drawing waits.
TEST_F(LayerWndTest, APartDrawnAloneIsPresentedAloneAndWithOtherDrawingInFull) {
  struct Animated : Probe {
    void Frame(const gfx::Rect& part) {
      DrawAndPresentPart(part, [&] {
        RestoreBackground(part);
        gfx::Painter(back_buffer()).FillRectSource(part, gfx::Color::Rgb(0x20, 0x80, 0x20));
      });
    }
  } animated;
  animated.Create(gfx::Rect::FromXYWH(300, 100, 200, 200), nullptr);
  animated.Show();
  EXPECT_TRUE(loop.PumpUntil([&] { return !animated.needs_update(); }, std::chrono::seconds(5)));
  auto* presenter = system.last;
  const int full = presenter->presents;
  const gfx::Rect box = gfx::Rect::FromXYWH(40, 120, 60, 20);

  ASSERT_TRUE(loop.PumpUntil([&] { return !animated.loop_target()->HasTimer(kLayerTimerId); },
                             std::chrono::seconds(5)));
  animated.Frame(box);
  animated.Frame(box);
  EXPECT_EQ(presenter->parts, (std::vector<gfx::Rect>{box, box}));
  EXPECT_EQ(presenter->presents, full);
  EXPECT_FALSE(animated.needs_update());
  // Presented already: no layer tick is left to wake the loop for nothing.
  EXPECT_FALSE(animated.loop_target()->HasTimer(kLayerTimerId));
  EXPECT_EQ(animated.back_buffer().ColorAt(50, 130), gfx::Color::Rgb(0x20, 0x80, 0x20));

  // A hover redraw waits for the layer timer: the next frame presents everything.
  Move(animated, {15, 15});
  ASSERT_TRUE(animated.needs_update());
  animated.Frame(box);
  EXPECT_EQ(presenter->presents, full + 1);
  EXPECT_EQ(presenter->parts.size(), 2u);
  EXPECT_FALSE(animated.needs_update());

  // Hidden, nothing is presented and the frame waits for the next showing.
  animated.Hide();
  animated.Frame(box);
  EXPECT_EQ(presenter->parts.size(), 2u);
  EXPECT_TRUE(animated.needs_update());
  const int before_showing = presenter->presents;
  animated.Show();
  EXPECT_GT(presenter->presents, before_showing);
  EXPECT_FALSE(animated.needs_update());
  animated.Destroy();
}

// The caret's blink repaints the box alone, and stops, shown, once the box has been left
// alone for a while; typing starts it again.
TEST_F(LayerWndTest, AFocusedBoxBlinksInItsBoxAndSettlesShown) {
  probe.Show();
  ASSERT_TRUE(loop.PumpUntil([&] { return !probe.needs_update(); }, std::chrono::seconds(5)));
  const gfx::Rect box = gfx::Rect::FromXYWH(20, 120, 80, 18);
  LayerEdit edit(probe, box);
  ASSERT_TRUE(edit.Create());
  testing::FakeEditHost* host = system.last->last_edit;
  host->Focus();
  edit.OnEditFocus(true);
  ASSERT_TRUE(loop.PumpUntil([&] { return !probe.needs_update(); }, std::chrono::seconds(5)));
  const int renders = host->renders;
  const std::size_t parts = system.last->parts.size();

  EXPECT_TRUE(loop.PumpUntil([&] { return !edit.caret_shown(); }, std::chrono::seconds(5)));
  EXPECT_TRUE(loop.PumpUntil([&] { return edit.caret_shown(); }, std::chrono::seconds(5)));
  EXPECT_GE(host->renders, renders + 2);  // each tick shows the entry as it is now
  ASSERT_GE(system.last->parts.size(), parts + 2);
  EXPECT_EQ(system.last->parts.back(), box);

  EXPECT_TRUE(loop.PumpUntil([&] { return !edit.caret_blinking(); },
                             std::chrono::milliseconds(LayerEdit::kCaretBlinkTimeoutMs * 2)));
  EXPECT_TRUE(edit.caret_shown());
  host->SetText("周");
  EXPECT_TRUE(edit.caret_blinking());
  EXPECT_TRUE(edit.caret_shown());
  edit.Destroy();
}

TEST_F(LayerWndTest, AWindowThatAnimatesByTheTickKeepsItsLayerTimer) {
  struct Animated : Probe {
    Animated() { SetLayerTicks(LayerTicks::kAlways); }
    void UpdateIfDirty() override { ++ticks; }
    int ticks = 0;
  } animated;
  animated.Create(gfx::Rect::FromXYWH(300, 100, 100, 100), nullptr);
  ASSERT_TRUE(animated.IsCreated());
  EXPECT_TRUE(loop.PumpUntil([&] { return animated.ticks >= 3; }, std::chrono::seconds(5)));
  EXPECT_TRUE(animated.loop_target()->HasTimer(kLayerTimerId));
  animated.Destroy();
}

TEST_F(LayerWndTest, DestroyReleasesEverythingAndDropsQueuedEvents) {
  Click(sink(), {15, 15});
  probe.Destroy();
  Pump();
  EXPECT_TRUE(probe.events.empty());
  EXPECT_TRUE(probe.controls().empty());
  EXPECT_TRUE(probe.back_buffer().IsNull());
  EXPECT_TRUE(LayerWindowRegistry::All().empty());
}

TEST_F(LayerWndTest, DisabledWindowIgnoresInput) {
  probe.SetEnabled(false);
  Click(sink(), {15, 15});
  Pump();
  EXPECT_TRUE(probe.events.empty());
  EXPECT_FALSE(system.last->enabled);
}

class Rows : public LayerListViewS {
 public:
  Rows(LayerWnd& owner, int count) : LayerListViewS(owner, gfx::Rect{10, 20, 110, 80}, 15, 12), count_(count) {}
  void DrawRow(gfx::Painter&, int, int, int, const gfx::Rect&, bool) override {}
  int RowCount() const override { return count_; }

 private:
  int count_;
};

TEST_F(LayerWndTest, ListRowAtPoint) {
  Rows rows(probe, 10);
  struct Case {
    gfx::Point p;
    int scroll;
    int row;
  } cases[] = {
      {{10, 20}, 0, 0},  {{97, 34}, 0, 0},  {{97, 35}, 0, 1},  {{98, 35}, 0, -1},  // scroll bar
      {{9, 30}, 0, -1},  {{50, 19}, 0, -1}, {{50, 80}, 0, -1}, {{50, 20}, 30, 2},
      {{50, 79}, 90, 9},
  };
  for (const Case& c : cases) {
    rows.SetScrollOffset(c.scroll);
    EXPECT_EQ(rows.RowAt(c.p), c.row) << c.p.x << "," << c.p.y << " scroll " << c.scroll;
  }
  Rows short_list(probe, 2);
  EXPECT_EQ(short_list.RowAt({50, 60}), -1);  // below the last row
  short_list.SetScrollOffset(50);
  EXPECT_EQ(short_list.scroll_offset(), 0);  // nothing to scroll
}

TEST(RunModalTest, CenteredOnKeepsLeftAndTopOnScreen) {
  EXPECT_EQ(CenteredOn(gfx::Rect{100, 100, 500, 400}, {200, 100}), gfx::Rect::FromXYWH(200, 200, 200, 100));
  EXPECT_EQ(CenteredOn(gfx::Rect{-300, -200, 0, 0}, {350, 130}), gfx::Rect::FromXYWH(0, 0, 350, 130));
}

TEST(SurfaceTest, MalformedPngBytesNeverCrash) {
  std::mt19937 random(7);
  std::string png_head("\x89PNG\r\n\x1a\n", 8);
  for (int i = 0; i < 300; ++i) {
    std::string bytes = i % 2 ? png_head : std::string();
    int length = int(random() % 200);
    for (int j = 0; j < length; ++j) bytes.push_back(char(random()));
    EXPECT_FALSE(gfx::Surface::FromPng(bytes).has_value());
  }
}

TEST_F(LayerWndTest, ReleaseInsideAPressedControlCountsOneClickForTheSkinAndControl) {
  std::vector<std::pair<int, int>> counted;
  ClickCounter::Set(
      [&](int window_id, int button_id) { counted.emplace_back(window_id, button_id); });
  Click(sink(), {15, 15});  // button 5: counted
  Press(sink(), {15, 15});
  Release(sink(), {60, 60});  // released outside: not counted
  Click(sink(), {155, 15});   // hidden control: not counted
  Click(sink(), {15, 15});    // counted again
  Pump();
  ClickCounter::Set({});
  Click(sink(), {15, 15});  // no counter: nothing recorded
  EXPECT_EQ(counted, (std::vector<std::pair<int, int>>{{skin::kDialogFrame, 5},
                                                       {skin::kDialogFrame, 5}}));
}

}  // namespace
}  // namespace quillo::ui
