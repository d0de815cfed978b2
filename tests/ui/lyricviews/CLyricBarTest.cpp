// The desktop lyric bar with a fake window system: its place, its controls and their actions,
// what it shows for each lyric and player state, karaoke progress and its redraws, fading and
// locking. Text is measured and drawn with the real fonts.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../FakeWindowSystem.h"
#include "LyricBarTestSupport.h"
#include "lyrics/LyricLine.h"
#include "platform/loop/MainLoop.h"
#include "ui/lyricviews/CLyricBar.h"

namespace quillo::ui {
namespace {

using testing::LyricBarWorld;
using Id = CLyricBar::ControlId;

// Notes the parts presented alone.
class PartPresenter : public testing::FakePresenter {
 public:
  using FakePresenter::FakePresenter;
  void PresentPart(const gfx::Surface&, std::uint8_t, const gfx::Rect& changed) override {
    parts.push_back(changed);
  }
  std::vector<gfx::Rect> parts;
};

class PointerWindowSystem : public testing::FakeWindowSystem {
 public:
  std::unique_ptr<window::WindowPresenter> CreateWindow(window::WindowEvents& events,
                                                        const window::WindowOptions& o) override {
    auto p = std::make_unique<PartPresenter>(events, o);
    last = part_presenter = p.get();
    ++created;
    return p;
  }
  gfx::Point CursorPosition() const override { return cursor; }
  gfx::Point cursor{-1, -1};
  PartPresenter* part_presenter = nullptr;
};

constexpr const char* kLyric =
    "[ti:test]\n"
    "[00:01.00]第一行歌词\n"
    "[00:05.00]Hello world\n"
    "[00:09.00]   \n"
    "[00:12.00]最后一行\n";

class CLyricBarTest : public ::testing::Test {
 protected:
  void Open() {
    bar = std::make_unique<CLyricBar>(world.Parts());
    ASSERT_TRUE(bar->Open());
    presenter = system.last;
  }
  void Tick(int times = 1) {
    for (int i = 0; i < times; ++i) bar->UpdateIfDirty();
  }
  void ClickControl(int id) {
    LayerControl* c = bar->FindControl(id);
    ASSERT_TRUE(c && c->visible()) << id;
    const gfx::Point centre{(c->bounds.left + c->bounds.right) / 2,
                            (c->bounds.top + c->bounds.bottom) / 2};
    testing::Click(*bar, centre);
    loop.PumpPending();
  }
  // Shown, and drawn: its place in the back buffer holds white glyph pixels (the inactive
  // report button is grey).
  bool Shown(int id) {
    LayerControl* c = bar->FindControl(id);
    if (!c || !c->visible()) return false;
    int white = 0;
    for (int y = c->bounds.top; y < c->bounds.bottom; ++y) {
      for (int x = c->bounds.left; x < c->bounds.right; ++x) {
        const gfx::Color p = bar->back_buffer().ColorAt(x, y);
        white += p.a > 150 && p.r > 200 && p.g > 200 && p.b > 200;
      }
    }
    return white > 0 || id == Id::kReportInactive;
  }
  // The colour of the text image pixels that are most opaque, summed (a cheap fingerprint).
  static std::uint64_t Fingerprint(const gfx::Surface& s) {
    std::uint64_t sum = 0;
    for (int y = 0; y < s.height(); ++y) {
      for (int x = 0; x < s.width(); ++x) sum = sum * 31 + s.PixelAt(x, y);
    }
    return sum;
  }

  loop::MainLoop loop;
  PointerWindowSystem system;
  LyricBarWorld world;
  std::unique_ptr<CLyricBar> bar;
  testing::FakePresenter* presenter = nullptr;
};

TEST_F(CLyricBarTest, OpensAtTheDefaultPlaceAboveEverythingAndRemembersItsPlace) {
  Open();
  // 90 % of 1280 wide, centred, 100 pixels above the bottom of a 1000-pixel screen.
  EXPECT_EQ(bar->WindowRect(), gfx::Rect::FromXYWH(64, 780, 1152, 120));
  EXPECT_TRUE(presenter->options.keep_above);
  EXPECT_NE(presenter->options.kind, window::WindowKind::kMain) << "not in the taskbar";
  EXPECT_FALSE(presenter->options.accept_focus);
  EXPECT_EQ(world.player.listener_count(), 1u);
  presenter->SetScreenRect(gfx::Rect::FromXYWH(10, 20, 1152, 120));
  bar->Shut();
  bar->Shut();
  EXPECT_EQ(world.player.listener_count(), 0u);
  EXPECT_FALSE(bar->IsCreated());
  ASSERT_TRUE(bar->Open());
  EXPECT_EQ(bar->WindowRect(), gfx::Rect::FromXYWH(10, 20, 1152, 120));
  bar->Shut();
  // A place off the screen comes back onto it.
  world.store().SaveWindowRect(CLyricBar::kRectName, store::Rect{5000, -300, 6152, -180});
  ASSERT_TRUE(bar->Open());
  EXPECT_EQ(bar->WindowRect(), gfx::Rect::FromXYWH(128, 0, 1152, 120));
}

TEST_F(CLyricBarTest, ToolbarControlsHaveTheirPlacesTooltipsAndVisibility) {
  Open();
  const int x0 = bar->toolbar_left(), x1 = bar->toolbar_right();
  EXPECT_EQ(x0, (1152 - 425) / 2);
  struct Case {
    int id, x, y, w, h;
    const char* tooltip;
    bool shown;
  } cases[] = {
      {Id::kPrevious, x0 + 7, 3, 19, 19, "播放上一首", true},
      {Id::kPlay, x0 + 30, 3, 19, 19, "播放", true},
      {Id::kPause, x0 + 30, 3, 19, 19, "暂停", false},
      {Id::kNext, x0 + 53, 3, 19, 19, "播放下一首", true},
      {Id::kMute, x0 + 79, 3, 19, 19, "静音", true},
      {Id::kUnmute, x0 + 79, 3, 19, 19, "取消静音", false},
      {8, x0 + 106, 4, 18, 18, "桔黄", true},
      {9, x0 + 126, 4, 18, 18, "淡粉", true},
      {10, x0 + 146, 4, 18, 18, "草绿", true},
      {11, x0 + 166, 4, 18, 18, "雅灰", true},
      {12, x0 + 186, 4, 18, 18, "天青", true},
      {Id::kKaraokeOn, x0 + 212, 4, 28, 17, "卡拉OK模式", false},
      {Id::kKaraokeOff, x0 + 212, 4, 28, 17, "取消卡拉OK模式", true},
      {Id::kAlignLeft, x0 + 252, 4, 17, 17, "文字居左", true},
      {Id::kAlignCenter, x0 + 272, 4, 17, 17, "文字居中", true},
      {Id::kSettings, x0 + 300, 4, 18, 17, "设置桌面歌词", true},
      {Id::kLock, x0 + 321, 4, 17, 17, "锁定桌面歌词", true},
      {Id::kSwitchMode, x0 + 341, 4, 17, 17, "切换到经典模式", true},
      {Id::kReport, x0 + 364, 4, 29, 17, "歌词报错", false},
      {Id::kReportInactive, x0 + 364, 4, 29, 17, "", true},
      {Id::kClose, x0 + 397, 4, 17, 17, "关闭", true},
      {Id::kSmaller, x1 + 9, 14, 10, 10, "小字体", true},
      // Size 40: the thumb is at the end of its track.
      {Id::kSizeSlider, x1 + 18 + 108, 13, 10, 14, "拖动改变字体大小", true},
      {Id::kLarger, x1 + 138, 14, 10, 10, "大字体", true},
  };
  for (const Case& c : cases) {
    LayerControl* control = bar->FindControl(c.id);
    ASSERT_NE(control, nullptr) << c.id;
    EXPECT_EQ(control->bounds, gfx::Rect::FromXYWH(c.x, c.y, c.w, c.h)) << c.id;
    EXPECT_EQ(control->tooltip, c.tooltip) << c.id;
    EXPECT_EQ(control->visible(), c.shown) << c.id;
  }
  EXPECT_EQ(bar->FindControl(Id::kSizeSlider)->track, gfx::Rect::FromXYWH(x1 + 18, 13, 118, 14));
}

TEST_F(CLyricBarTest, PlayerStateDecidesTheButtonsAndStoppedShowsTheAppName) {
  world.LoadLyric("a.lrc", kLyric);
  Open();
  Tick();
  EXPECT_EQ(bar->shown_text(), "Zelbo音乐");
  EXPECT_FALSE(Shown(Id::kReport));
  EXPECT_TRUE(Shown(Id::kReportInactive));
  using playback::PlayerState;
  struct Step {
    PlayerState state;
    bool pause_shown, report_shown;
  } steps[] = {
      {PlayerState::kOpening, true, true}, {PlayerState::kPaused, false, true},
      {PlayerState::kResumed, true, true}, {PlayerState::kStopped, false, false},
      {PlayerState::kOpening, true, true},
      // A song that ends or fails leaves the player idle: no pause, nothing to report on.
      {PlayerState::kFinished, false, false}, {PlayerState::kOpening, true, true},
      {PlayerState::kFailed, false, false},
  };
  for (const Step& s : steps) {
    world.player.NotifyState(s.state);
    EXPECT_EQ(Shown(Id::kPause), s.pause_shown) << int(s.state);
    EXPECT_EQ(Shown(Id::kPlay), !s.pause_shown) << int(s.state);
    EXPECT_EQ(Shown(Id::kReport), s.report_shown) << int(s.state);
    EXPECT_EQ(Shown(Id::kReportInactive), !s.report_shown) << int(s.state);
  }
  world.player.Notify(playback::MuteChanged{true});
  EXPECT_TRUE(Shown(Id::kUnmute));
  EXPECT_FALSE(Shown(Id::kMute));
  world.player.Notify(playback::MuteChanged{false});
  EXPECT_TRUE(Shown(Id::kMute));
}

TEST_F(CLyricBarTest, ShowsTheTextOfEachLyricAndPositionState) {
  Open();
  struct Case {
    const char* name;
    std::function<void()> setup;
    std::string shown;
  } cases[] = {
      {"stopped", [] {}, "Zelbo音乐"},
      {"no lyric", [&] { world.PlayAt(3000); }, "对不起, 没有找到相应的歌词:("},
      {"downloading", [&] { world.analyzer.MarkQueued("song1"); }, "正在下载歌词, 请稍候..."},
      {"no time tags", [&] { EXPECT_EQ(world.LoadLyric("b.lrc", "just text\nno tags\n"), 2); },
       "对不起, 没有找到相应的歌词:("},
      {"loaded, no position", [&] { world.LoadLyric("a.lrc", kLyric), world.PlayAt(-1); },
       "Zelbo音乐"},
      {"at the start", [&] { world.PlayAt(0); }, "晴天"},
      {"in a line", [&] { world.PlayAt(6000); }, "Hello world"},
      {"in a blank line: the line before it", [&] { world.PlayAt(10000); }, "Hello world"},
      {"last line", [&] { world.PlayAt(13000); }, "最后一行"},
  };
  for (const Case& c : cases) {
    c.setup();
    Tick();
    EXPECT_EQ(bar->shown_text(), c.shown) << c.name;
  }
  // A song without a title shows the app's name at its start.
  world.player.played.back().title.clear();
  world.PlayAt(0);
  Tick();
  EXPECT_EQ(bar->shown_text(), "Zelbo音乐");
}

TEST_F(CLyricBarTest, KaraokeColoursWordByWordAndTurningItOffUncoloursAtOnce) {
  world.LoadLyric("a.lrc", kLyric);
  world.PlayAt(7000);  // "Hello world" runs 5 s … 9 s: half way
  Open();
  Tick();
  ASSERT_EQ(bar->shown_text(), "Hello world");
  auto at = world.analyzer.LocateLine(7000, true);
  ASSERT_TRUE(at);
  const int expected = *bar->line().ProgressFor(at->word, at->percent);
  EXPECT_GT(expected, 0);
  EXPECT_EQ(bar->progress(), expected);
  EXPECT_LT(bar->progress(), bar->line().total());

  ClickControl(Id::kKaraokeOff);
  EXPECT_EQ(bar->progress(), 0);
  EXPECT_FALSE(bar->karaoke());
  EXPECT_EQ(world.store().GetConfigText("window.lyricbar.karamode"), "false");
  EXPECT_TRUE(Shown(Id::kKaraokeOn));
  world.PlayAt(8500);
  Tick();
  EXPECT_EQ(bar->progress(), 0);
  // Every pixel of the text area comes from the unsung image.
  const LyricBarCanvas& canvas = bar->canvas();
  const gfx::Rect area = canvas.text_area();
  for (int y = area.top; y < area.bottom; y += 3) {
    for (int x = canvas.origin_x(); x < canvas.origin_x() + canvas.total(); ++x) {
      ASSERT_EQ(canvas.composite().PixelAt(x, y),
                canvas.unsung().PixelAt(x - canvas.origin_x(), y - area.top))
          << x << "," << y;
    }
  }
  ClickControl(Id::kKaraokeOn);
  Tick();
  EXPECT_GT(bar->progress(), expected);
}

TEST_F(CLyricBarTest, SchemeOutsideTheTableDrawsAsTheFirst) {
  std::map<std::string, std::uint64_t> prints;
  for (const char* scheme : {"0", "7", "-1", "3"}) {
    world.store().SetConfigText("window.lyricbar.color", scheme);
    bar.reset();
    Open();
    prints[scheme] = Fingerprint(bar->canvas().unsung());
  }
  EXPECT_EQ(bar->look().scheme, 3);
  EXPECT_EQ(prints["7"], prints["0"]);
  EXPECT_EQ(prints["-1"], prints["0"]);
  EXPECT_NE(prints["3"], prints["0"]);
}

TEST_F(CLyricBarTest, SchemeButtonStoresTheSchemeAndRedrawsAfterTheReload) {
  Open();
  const std::uint64_t before = Fingerprint(bar->canvas().unsung());
  ClickControl(11);
  EXPECT_EQ(world.store().GetConfigText("window.lyricbar.color"), "3");
  EXPECT_EQ(bar->look().scheme, 3);
  EXPECT_NE(Fingerprint(bar->canvas().unsung()), before);
  ClickControl(Id::kAlignLeft);
  EXPECT_EQ(world.store().GetConfigText("window.lyricbar.text_align"), "left");
  EXPECT_EQ(bar->canvas().origin_x(), 30);
}

TEST_F(CLyricBarTest, FontStepButtonsStopAtTheirLimits) {
  struct Case {
    const char* configured;
    int button;
    const char* stored;
    int size;
  } cases[] = {
      {"16", Id::kSmaller, "16", 16},  // already small: nothing
      {"12", Id::kSmaller, "12", 12}, {"16", Id::kLarger, "40", 40},
      {"40", Id::kLarger, "40", 40},  // already large: nothing
      {"40", Id::kSmaller, "16", 16}, {"30", Id::kSmaller, "16", 16},
  };
  for (const Case& c : cases) {
    world.store().SetConfigText("window.lyricbar.fontsize", c.configured);
    bar.reset();
    Open();
    const int renders = bar->canvas().render_count();
    ClickControl(c.button);
    EXPECT_EQ(world.store().GetConfigText("window.lyricbar.fontsize"), c.stored) << c.configured;
    EXPECT_EQ(bar->font_size(), c.size) << c.configured;
    EXPECT_EQ(bar->canvas().render_count() > renders, std::string(c.stored) != c.configured)
        << c.configured;
  }
}

TEST_F(CLyricBarTest, ProgressRedrawsOnlyTheStripAndNothingWhenNothingMoved) {
  world.LoadLyric("a.lrc", kLyric);
  world.PlayAt(5500);
  Open();
  Tick();
  ASSERT_EQ(bar->shown_text(), "Hello world");
  const int first = bar->progress();
  const gfx::Surface before = bar->canvas().composite().Clone();
  const int renders = bar->canvas().render_count();
  world.PlayAt(7500);
  Tick();
  const int second = bar->progress();
  ASSERT_GT(second, first);
  EXPECT_EQ(bar->canvas().render_count(), renders) << "the same line is not drawn again";
  const int origin = bar->canvas().origin_x();
  ASSERT_FALSE(system.part_presenter->parts.empty()) << "the strip alone is presented";
  EXPECT_EQ(system.part_presenter->parts.back(),
            (gfx::Rect{origin + first, 26, origin + second, 96}));
  int changed_columns = 0;
  for (int x = 0; x < before.width(); ++x) {
    bool changed = false;
    for (int y = 0; y < before.height() && !changed; ++y) {
      changed = before.PixelAt(x, y) != bar->canvas().composite().PixelAt(x, y);
    }
    if (!changed) continue;
    ++changed_columns;
    EXPECT_GE(x, origin + first);
    EXPECT_LT(x, origin + second);
  }
  EXPECT_GT(changed_columns, 0);
  // Nothing moved: nothing drawn, nothing presented.
  const int presents = bar->present_count();
  Tick(3);
  EXPECT_EQ(bar->present_count(), presents);
  EXPECT_EQ(bar->canvas().render_count(), renders);
  // Going back redraws the strip unsung.
  world.PlayAt(5500);
  Tick();
  EXPECT_EQ(bar->progress(), first);
  EXPECT_EQ(bar->present_count(), presents + 1);
  EXPECT_EQ(system.part_presenter->parts.back(),
            (gfx::Rect{origin + first, 26, origin + second, 96}));
}

TEST_F(CLyricBarTest, ControlsReachTheHostAndThePlaySurface) {
  struct Case {
    int id;
    bool playing;
    std::vector<std::string> host_calls;
    std::vector<std::string> play_calls;
  } cases[] = {
      {Id::kClose, false, {"close views"}, {}},
      {Id::kSwitchMode, false, {"hide bar", "show window"}, {}},
      {Id::kPrevious, false, {}, {"Previous"}},
      {Id::kNext, false, {}, {"Next"}},
      {Id::kPlay, false, {}, {"Play"}},
      {Id::kReport, true, {"error report"}, {}},
      {Id::kSettings, false, {"settings 14"}, {}},
      {Id::kLock, false, {"locked"}, {}},
  };
  for (const Case& c : cases) {
    world.host.calls.clear();
    world.play.calls.clear();
    if (c.playing) world.PlayAt(1000);
    bar.reset();
    Open();
    if (c.playing) world.player.NotifyState(playback::PlayerState::kOpening);
    ClickControl(c.id);
    EXPECT_EQ(world.host.calls, c.host_calls) << c.id;
    EXPECT_EQ(world.play.calls, c.play_calls) << c.id;
  }
  EXPECT_EQ(world.store().GetConfigText("module.lyric.mode"), "dialog");
  // With a song playing: play, pause, mute and unmute go to the play surface as the main
  // window's buttons do.
  world.host.calls.clear();
  world.play.calls.clear();
  bar.reset();
  Open();
  world.player.NotifyState(playback::PlayerState::kPaused);
  ClickControl(Id::kPlay);
  world.player.NotifyState(playback::PlayerState::kResumed);
  ClickControl(Id::kPause);
  ClickControl(Id::kMute);
  world.player.Notify(playback::MuteChanged{true});
  ClickControl(Id::kUnmute);
  EXPECT_EQ(world.play.calls, (std::vector<std::string>{"Play", "Pause", "Mute", "Unmute"}));
  EXPECT_TRUE(world.host.calls.empty());
}

TEST_F(CLyricBarTest, BackgroundFadesInOverFiveTicksAndOutWhenThePointerLeaves) {
  Open();
  Tick();
  EXPECT_EQ(bar->presented(), &bar->canvas().composite());
  system.cursor = gfx::Point{64 + 40, 780 + 60};
  testing::Move(*bar, gfx::Point{40, 60});
  for (int step = 1; step <= 5; ++step) {
    Tick();
    EXPECT_EQ(bar->fade(), step);
  }
  EXPECT_EQ(bar->presented(), &bar->back_buffer());
  Tick();
  EXPECT_EQ(bar->fade(), 5);
  system.cursor = gfx::Point{10, 10};
  for (int step = 4; step >= 0; --step) {
    Tick();
    EXPECT_EQ(bar->fade(), step);
  }
  EXPECT_FALSE(bar->mouse_over());
  EXPECT_EQ(bar->presented(), &bar->canvas().composite());
}

TEST_F(CLyricBarTest, LockedBarIgnoresThePointerUntilToggled) {
  Open();
  system.cursor = gfx::Point{64 + 40, 780 + 60};
  testing::Move(*bar, gfx::Point{40, 60});
  Tick(5);
  ClickControl(Id::kLock);
  EXPECT_TRUE(bar->locked());
  EXPECT_FALSE(bar->mouse_over()) << "locking drops the hover at once";
  Tick(5);
  EXPECT_EQ(bar->fade(), 0);
  testing::Move(*bar, gfx::Point{40, 60});
  Tick();
  EXPECT_EQ(bar->fade(), 0);
  bar->ToggleBarLock();
  EXPECT_FALSE(bar->locked());
  EXPECT_EQ(world.host.calls, (std::vector<std::string>{"locked", "unlocked"}));
  testing::Move(*bar, gfx::Point{40, 60});
  Tick();
  EXPECT_EQ(bar->fade(), 1);
}

TEST_F(CLyricBarTest, OverlongAndBlankLinesAreDrawnWithoutFault) {
  std::string longest;
  for (int i = 0; i < 500; ++i) longest += i % 3 ? "字" : "a";
  world.LoadLyric("long.lrc", "[00:01.00]" + longest + "\n[00:30.00]   \n");
  world.PlayAt(20000);
  Open();
  Tick();
  EXPECT_EQ(bar->shown_text(), longest);
  EXPECT_EQ(bar->font_size(), 14);
  EXPECT_FALSE(bar->line().fits());
  EXPECT_EQ(bar->canvas().origin_x(), 30) << "a line too wide shows its beginning";
  // A slider choice the line cannot take is not laid out again on every tick.
  LayerControl* thumb = bar->FindControl(Id::kSizeSlider);
  testing::Press(*bar, gfx::Point{thumb->track.right - 2, 20});
  testing::Release(*bar, gfx::Point{thumb->track.right - 2, 20});
  system.cursor = gfx::Point{64 + 40, 780 + 60};
  testing::Move(*bar, gfx::Point{40, 60});
  const int renders = bar->canvas().render_count();
  Tick(5);
  EXPECT_EQ(bar->canvas().render_count(), renders);
  EXPECT_EQ(bar->font_size(), 14);
  // Only blank lines: nothing to show, the title stays.
  world.LoadLyric("blank.lrc", "[00:01.00]    \n[00:03.00] \n");
  world.PlayAt(0);
  Tick();
  world.PlayAt(2000);
  Tick();
  EXPECT_EQ(bar->shown_text(), "晴天");
}

TEST_F(CLyricBarTest, TextAfterALineOfTheSameTextIsOneUnitAndWordlessLinesShowTheirText) {
  Open();
  lyrics::LyricLine line;
  line.text = "AB";
  line.words = {lyrics::LyricWord{0, 100, 0, 1}, lyrics::LyricWord{100, 200, 1, 1}};
  bar->SetLine(line);
  ASSERT_EQ(bar->line().segments().size(), 2u);
  bar->SetText("AB");
  EXPECT_EQ(bar->line().segments().size(), 1u);
  lyrics::LyricLine wordless;
  wordless.text = "无字";
  bar->SetLine(wordless);
  EXPECT_EQ(bar->shown_text(), "无字");
  ASSERT_EQ(bar->line().segments().size(), 1u);
  EXPECT_GT(bar->line().total(), 0);
}

TEST_F(CLyricBarTest, ConfiguredSizeAndFacesAreReadSensibly) {
  struct Case {
    const char* stored;
    int size;
  } cases[] = {{"40", 40}, {"24", 24}, {"0", 8}, {"-5", 8}, {"500", 72}, {"abc", 40}, {"", 40}};
  for (const Case& c : cases) {
    world.store().SetConfigText("window.lyricbar.fontsize", c.stored);
    EXPECT_EQ(LyricBarLook::ReadFontSize(world.store()), c.size) << c.stored;
  }
  world.store().SetConfigText("window.lyricbar.fontsize", "30");
  Open();
  EXPECT_EQ(bar->line().WideFont().family, "黑体");
  // A new face alone (same size) is laid out again at once.
  world.store().SetConfigText("window.lyricbar.chnfont", "宋体");
  bar->ReloadLook();
  EXPECT_EQ(bar->line().WideFont().family, "宋体");
}

TEST_F(CLyricBarTest, SizeSliderChoosesSixteenToFortyAndReloadFollowsTheStore) {
  Open();
  LayerControl* thumb = bar->FindControl(Id::kSizeSlider);
  ASSERT_NE(thumb, nullptr);
  // A click on the track centres the thumb there and releases at once.
  const int left = thumb->track.left;
  testing::Press(*bar, gfx::Point{left + 5, 20});
  testing::Release(*bar, gfx::Point{left + 5, 20});
  EXPECT_EQ(world.store().GetConfigText("window.lyricbar.fontsize"), "16");
  EXPECT_EQ(bar->font_size(), 16);
  world.store().SetConfigText("window.lyricbar.fontsize", "28");
  bar->ReloadLook();
  EXPECT_EQ(bar->font_size(), 28);
  EXPECT_EQ(thumb->bounds.left, left + (28 - 16) * 108 / 24);
  // The earlier slider choice does not come back while the pointer rests on the bar.
  system.cursor = gfx::Point{64 + 40, 780 + 60};
  testing::Move(*bar, gfx::Point{40, 60});
  Tick(3);
  EXPECT_EQ(world.store().GetConfigText("window.lyricbar.fontsize"), "28");
  EXPECT_EQ(bar->font_size(), 28);
  world.store().SetConfigText("window.lyricbar.karamode", "false");
  bar->ReloadLook();
  EXPECT_TRUE(Shown(Id::kKaraokeOn));
  EXPECT_FALSE(Shown(Id::kKaraokeOff));
}

}  // namespace
}  // namespace quillo::ui
