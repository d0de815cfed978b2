// The main window's display-free controllers: marquees, close procedure, command line, attached
// window geometry, command routing, layout numbers.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "ui/main/AttachedWindows.h"
#include "ui/main/CaptionMarquee.h"
#include "ui/main/CloseProcedure.h"
#include "ui/main/HandedCommandLine.h"
#include "ui/main/MainCommandRouter.h"
#include "ui/main/MainIds.h"
#include "ui/main/MainLayout.h"
#include "ui/main/MainMenus.h"
#include "ui/main/StatusMarquee.h"

namespace quillo::ui {
namespace {

using namespace main_ids;

TEST(StatusMarqueeTest, NarrowTextNeverScrolls) {
  StatusMarquee marquee;
  marquee.SetText("短");
  marquee.SetTextWidth(100);
  for (int i = 0; i < 200; ++i) {
    EXPECT_FALSE(marquee.Tick(326));
    EXPECT_EQ(marquee.Offset(326), 0);
  }
}

TEST(StatusMarqueeTest, LongTextScrollsBackAndForthWithRests) {
  StatusMarquee marquee;
  marquee.SetText("long");
  const int width = 326, overflow = 10;
  marquee.SetTextWidth(width - StatusMarquee::kReservedPixels + overflow);
  std::vector<int> offsets;
  for (int i = 0; i < 2 * overflow + 40 + 5; ++i) {
    marquee.Tick(width);
    offsets.push_back(marquee.Offset(width));
  }
  // Out to the overflow, 20 ticks of rest, back to 0, 20 ticks of rest, then again.
  EXPECT_EQ(offsets[0], 1);
  EXPECT_EQ(offsets[overflow - 1], overflow);
  for (int i = overflow; i < overflow + 20; ++i) EXPECT_EQ(offsets[i - 1], overflow) << i;
  EXPECT_EQ(offsets[2 * overflow + 20 - 1], 0);
  EXPECT_EQ(offsets[2 * overflow + 40 - 1], 0);  // counter back at 0
  EXPECT_EQ(offsets[2 * overflow + 40], 1);
  // A new text starts over, unmeasured.
  marquee.SetText("other");
  EXPECT_EQ(marquee.counter(), 0);
  EXPECT_EQ(marquee.text_width(), -1);
}

TEST(CaptionMarqueeTest, RunsOverTheDoubledTitleByCodePoints) {
  CaptionMarquee caption;
  EXPECT_EQ(caption.Caption(), "Zelbo音乐");
  caption.SetTitle("周杰伦");
  caption.Start();
  EXPECT_EQ(caption.Caption(), "周杰伦  周杰伦  ");
  EXPECT_EQ(caption.Tick(), "杰伦  周杰伦  ");
  for (int i = 0; i < 4; ++i) caption.Tick();
  EXPECT_EQ(caption.Caption(), "周杰伦  周杰伦  ");  // back at 0 after title + two blanks
  caption.Stop();
  EXPECT_EQ(caption.Tick(), "周杰伦");
  caption.SetTitle("");
  EXPECT_EQ(caption.Caption(), "Zelbo音乐");
  // Bad bytes never split or crash.
  caption.SetTitle(std::string("a\xE5\x91", 3));
  caption.Start();
  EXPECT_FALSE(caption.Tick().empty());
}

struct CloseCase {
  std::string stored;
  bool exit_flag;
  std::optional<CloseProcedure::Answer> answer;
  CloseProcedure::Outcome outcome;
  int asked;
  std::string written;  // "" when nothing written
};

TEST(CloseProcedureTest, FollowsTheStoredChoice) {
  using C = CloseProcedure::Choice;
  using O = CloseProcedure::Outcome;
  const std::vector<CloseCase> cases = {
      {"", false, CloseProcedure::Answer{C::kMinimize, true}, O::kMinimized, 1, "min"},
      {"ask", false, CloseProcedure::Answer{C::kClose, true}, O::kShutDown, 1, "close"},
      {"ask", false, CloseProcedure::Answer{C::kClose, false}, O::kShutDown, 1, ""},
      {"ask", false, std::nullopt, O::kCancelled, 1, ""},
      {"min", false, std::nullopt, O::kMinimized, 0, ""},
      {"close", false, std::nullopt, O::kShutDown, 0, ""},
      {"bogus", false, CloseProcedure::Answer{C::kMinimize, false}, O::kMinimized, 1, ""},
      // The tray's exit quits even when closing minimises.
      {"min", true, std::nullopt, O::kShutDown, 0, ""},
  };
  for (const CloseCase& c : cases) {
    std::string stored = c.stored, written;
    int asked = 0, minimized = 0, shut = 0;
    CloseProcedure procedure({[&] { return stored; }, [&](const std::string& v) { written = v; },
                              [&] {
                                ++asked;
                                return c.answer;
                              },
                              [&] { ++minimized; }, [&] { ++shut; }});
    if (c.exit_flag) procedure.SetExitFlag();
    EXPECT_EQ(procedure.Run(), c.outcome) << c.stored;
    EXPECT_EQ(asked, c.asked) << c.stored;
    EXPECT_EQ(written, c.written) << c.stored;
    EXPECT_EQ(shut, c.outcome == O::kShutDown ? 1 : 0) << c.stored;
    EXPECT_EQ(minimized, c.outcome == O::kMinimized ? 1 : 0) << c.stored;
  }
}

TEST(CloseProcedureTest, RememberedMinimiseThenNoQuestionAndSecondCloseWhileAskingIgnored) {
  std::string stored = "ask";
  int asked = 0;
  CloseProcedure* self = nullptr;
  CloseProcedure::Outcome nested = CloseProcedure::Outcome::kShutDown;
  CloseProcedure procedure(
      {[&] { return stored; }, [&](const std::string& v) { stored = v; },
       [&]() -> std::optional<CloseProcedure::Answer> {
         ++asked;
         // A second close arrives while the question is open.
         nested = self->Run();
         return CloseProcedure::Answer{CloseProcedure::Choice::kMinimize, true};
       },
       [] {}, [] {}});
  self = &procedure;
  EXPECT_EQ(procedure.Run(), CloseProcedure::Outcome::kMinimized);
  EXPECT_EQ(nested, CloseProcedure::Outcome::kIgnored);
  EXPECT_EQ(stored, "min");
  EXPECT_EQ(procedure.Run(), CloseProcedure::Outcome::kMinimized);
  EXPECT_EQ(asked, 1);
}

TEST(HandedCommandLineTest, LinksFilesAndNothing) {
  auto exists = [](const std::string& p) { return p == "/music/a b.mp3"; };
  struct Case {
    std::string text;
    HandedCommandLine::Kind kind;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"  quillo://add/12,13  ", HandedCommandLine::Kind::kAddLink, "quillo://add/12,13"},
      {"\"QUILLO://ADD/1\"", HandedCommandLine::Kind::kAddLink, "QUILLO://ADD/1"},
      {"\"/music/a b.mp3\"", HandedCommandLine::Kind::kFile, "/music/a b.mp3"},
      {"/music/missing.mp3", HandedCommandLine::Kind::kNothing, ""},
      {"\"", HandedCommandLine::Kind::kNothing, ""},
      {"", HandedCommandLine::Kind::kNothing, ""},
      {"quillo://ad", HandedCommandLine::Kind::kNothing, ""},
  };
  for (const Case& c : cases) {
    HandedCommandLine parsed = ParseHandedCommandLine(c.text, exists);
    EXPECT_EQ(parsed.kind, c.kind) << c.text;
    EXPECT_EQ(parsed.text, c.value) << c.text;
  }
}

class FakeAttached : public AttachableWindow {
 public:
  explicit FakeAttached(gfx::Rect r) : rect(r) {}
  gfx::Rect AttachedRect() const override { return rect; }
  void MoveAttachedTo(gfx::Point p) override {
    rect = gfx::Rect::FromXYWH(p.x, p.y, rect.width(), rect.height());
  }
  gfx::Rect rect;
};

TEST(AttachedWindowsTest, SidesAndAlignment) {
  const gfx::Rect main = gfx::Rect::FromXYWH(100, 100, 326, 538);
  struct Case {
    gfx::Rect other;
    AttachSide side;
    gfx::Point offset;
  };
  const std::vector<Case> cases = {
      {gfx::Rect::FromXYWH(105, 645, 326, 100), AttachSide::kBelow, {0, 538}},
      {gfx::Rect::FromXYWH(100, 0, 200, 95), AttachSide::kAbove, {0, -95}},
      {gfx::Rect::FromXYWH(430, 110, 577, 538), AttachSide::kRight, {326, 0}},
      {gfx::Rect::FromXYWH(0, 300, 95, 338), AttachSide::kLeft, {-95, 200}},
      {gfx::Rect::FromXYWH(700, 700, 50, 50), AttachSide::kFree, {600, 600}},
      // Right edge 15 away is not within the strict distance of the right side.
      {gfx::Rect::FromXYWH(441, 110, 50, 50), AttachSide::kFree, {341, 10}},
  };
  for (const Case& c : cases) {
    Attachment a = AttachedWindows::Compute(main, c.other);
    EXPECT_EQ(a.side, c.side) << c.other.left << "," << c.other.top;
    EXPECT_EQ(a.offset, c.offset) << c.other.left << "," << c.other.top;
  }
}

TEST(AttachedWindowsTest, AttachedFollowFreeStayAndDragSnaps) {
  gfx::Rect main = gfx::Rect::FromXYWH(100, 100, 326, 538);
  FakeAttached lyric(gfx::Rect::FromXYWH(426, 100, 300, 200));
  FakeAttached far(gfx::Rect::FromXYWH(900, 700, 50, 50));
  AttachedWindows windows;
  windows.AttachWindow(lyric, main);
  windows.AttachWindow(far, main);
  main = main.Offset(50, 20);
  windows.OnMainMoved(main);
  EXPECT_EQ(lyric.rect.left, 476);
  EXPECT_EQ(lyric.rect.top, 120);
  EXPECT_EQ(far.rect.left, 900);
  // Dragging the far window to 10 pixels below the main window snaps it on.
  windows.NoteMoveStart(far, {5, 5});
  gfx::Rect placed =
      windows.OnAttachedMoving(far, main, far.rect, {main.left + 15, main.bottom + 15});
  EXPECT_EQ(placed.top, main.bottom);
  EXPECT_EQ(placed.left, main.left);  // left edges within 15: aligned
  EXPECT_EQ(windows.Find(far)->side, AttachSide::kBelow);
  windows.SetAllFree();
  EXPECT_EQ(windows.Find(lyric)->side, AttachSide::kFree);
  windows.DetachWindow(far);
  EXPECT_EQ(windows.size(), 1u);
}

class RecordingActions : public MainActions {
 public:
  std::vector<std::string> calls;
  int volume = 50;
  bool muted = false;
  bool logged_in = false;
  bool confirm = true;
  void Note(std::string s) { calls.push_back(std::move(s)); }
  void Previous() override { Note("previous"); }
  void Play() override { Note("play"); }
  void Pause() override { Note("pause"); }
  void Next() override { Note("next"); }
  void PlaySelected() override { Note("play-selected"); }
  int Volume() const override { return volume; }
  void SetVolume(int v) override {
    volume = v;
    Note("volume " + std::to_string(v));
  }
  bool Muted() const override { return muted; }
  void SetMuted(bool m) override {
    muted = m;
    Note(m ? "mute" : "unmute");
  }
  void ChoosePlayMode(int id) override { Note("mode " + std::to_string(id)); }
  void Minimize() override { Note("minimize"); }
  void SwitchLayout(bool mini) override { Note(mini ? "mini" : "normal"); }
  void RequestClose() override { Note("close"); }
  void Exit() override { Note("exit"); }
  void FoldMiniList(bool f) override { Note(f ? "fold" : "unfold"); }
  void SetPanelWidth(int w) override { Note("panel " + std::to_string(w)); }
  void ShowPanelPage(int p) override { Note("page " + std::to_string(p)); }
  void ScrollList(bool songs, int rows) override {
    Note(std::string(songs ? "scroll-songs " : "scroll-panel ") + std::to_string(rows));
  }
  void ShowVolumePopup(bool o) override { Note(o ? "volume-popup" : "volume-popup-close"); }
  void ShowControlMenu(int id) override { Note("menu " + std::to_string(id)); }
  void OpenColorPicker() override { Note("color"); }
  void OpenSettings() override { Note("settings"); }
  void OpenEqualizer() override { Note("equalizer"); }
  void OpenExtPanel(const std::string& a) override { Note("ext " + a); }
  void CloseExtPanel() override { Note("ext-close"); }
  void OpenLyricView() override { Note("lyric"); }
  void CloseLyricView(bool r) override { Note(r ? "lyric-close-remember" : "lyric-close"); }
  void ChooseLyricMode(const std::string& m) override { Note("lyric-mode " + m); }
  void ToggleLyricLock() override { Note("lyric-lock"); }
  void OpenMusicFolder() override { Note("music-folder"); }
  void OpenPhoneFiles() override { Note("phone"); }
  void SetPhonePanelMinimized(bool m) override { Note(m ? "phone-minimize" : "phone-expand"); }
  void OpenInBrowser(const std::string& url) override { Note("browser " + url); }
  std::string WebSite() const override { return "http://127.0.0.1:1/"; }
  bool Confirm(const std::string& m) override {
    Note("confirm " + m);
    return confirm;
  }
  void Login() override { Note("login"); }
  void Logout() override { Note("logout"); }
  bool LoggedIn() const override { return logged_in; }
  std::string CurrentUserId() const override { return "7"; }
  void NewRandomBatch() override { Note("batch"); }
  void ImportLocal(bool f) override { Note(f ? "import-folder" : "import-files"); }
  void SortShownList(bool a) override { Note(a ? "sort-artist" : "sort-name"); }
  bool ListCommand(int id) override {
    Note("list " + std::to_string(id));
    return id == 32920;
  }
};

TEST(MainCommandRouterTest, ControlsAndCommandsReachTheirActions) {
  const std::vector<std::pair<int, std::string>> controls = {{kPrevious, "previous"},
                                                             {kPlay, "play"},
                                                             {kPause, "pause"},
                                                             {kNext, "next"},
                                                             {kMute, "mute"},
                                                             {kUnmute, "unmute"},
                                                             {kMiniMinimize, "minimize"},
                                                             {kNormalMode, "normal"},
                                                             {kClose, "close"},
                                                             {kSettings, "settings"},
                                                             {kMiniMode, "mini"},
                                                             {kMinimize, "minimize"},
                                                             {kExtOpen, "ext "},
                                                             {kExtClose, "ext-close"},
                                                             {kLyricOpen, "lyric"},
                                                             {kLyricClose, "lyric-close-remember"},
                                                             {kPage2, "page 2"},
                                                             {kPanelOpen, "panel 70"},
                                                             {kPanelClose, "panel 0"},
                                                             {kUnfold, "unfold"},
                                                             {kFold, "fold"},
                                                             {kVolumeOpen, "volume-popup"},
                                                             {kLogin, "login"},
                                                             {kRegister, "ext user/register.php"},
                                                             {kLogout, "logout"},
                                                             {kImport, "menu 44"},
                                                             {kPlayMode, "menu 46"},
                                                             {kSort, "menu 47"},
                                                             {kTrayMenu, "menu 12"},
                                                             {kNewBatch, "batch"},
                                                             {kPhoneFiles, "phone"},
                                                             {kPanelToggle1, "phone-minimize"},
                                                             {kPanelToggle2, "phone-expand"},
                                                             {kListHeader1, "menu 29"},
                                                             {kListHeader2, "menu 30"},
                                                             {kSongScrollUp, "scroll-songs -1"},
                                                             {kSongScrollDown, "scroll-songs 1"},
                                                             {kPanelScrollUp, "scroll-panel -1"},
                                                             {kPanelScrollDown, "scroll-panel 1"}};
  for (const auto& [id, expected] : controls) {
    RecordingActions actions;
    MainCommandRouter router(actions);
    EXPECT_TRUE(router.OnControl(id)) << id;
    ASSERT_EQ(actions.calls.size(), 1u) << id;
    EXPECT_EQ(actions.calls[0], expected) << id;
  }
  RecordingActions actions;
  MainCommandRouter router(actions);
  EXPECT_FALSE(router.OnControl(22));  // the volume thumb is no click action
  EXPECT_TRUE(router.OnCommand(kCmdExit));
  EXPECT_TRUE(router.OnCommand(32940));
  EXPECT_TRUE(router.OnCommand(kCmdLyricBar));
  EXPECT_TRUE(router.OnCommand(kCmdWebSite));
  EXPECT_TRUE(router.OnCommand(kCmdSettings));
  EXPECT_TRUE(router.OnCommand(kCmdEqualizer));
  EXPECT_TRUE(router.OnCommand(32920));   // a list command, handled by the lists
  EXPECT_FALSE(router.OnCommand(40000));  // nobody's
  EXPECT_EQ(actions.calls, (std::vector<std::string>{"exit", "mode 32940", "lyric-mode bar",
                                                     "browser http://127.0.0.1:1/?f=c",
                                                     "settings", "equalizer", "list 32920",
                                                     "list 40000"}));
}

TEST(MainCommandRouterTest, VolumeStepsUnmuteAndClamp) {
  struct Case {
    int volume;
    bool muted;
    int command;
    int expected_volume;
    bool expected_muted;
  };
  const std::vector<Case> cases = {
      {50, false, kCmdVolumeUp, 60, false},  {90, false, kCmdVolumeUp, 100, false},
      {95, true, kCmdVolumeUp, 100, false},  {50, false, kCmdVolumeDown, 40, false},
      {10, false, kCmdVolumeDown, 0, false}, {0, true, kCmdVolumeDown, 0, false},
      {30, false, kCmdMute, 30, true},       {30, true, kCmdMute, 30, false}};
  for (const Case& c : cases) {
    RecordingActions actions;
    actions.volume = c.volume;
    actions.muted = c.muted;
    MainCommandRouter(actions).OnCommand(c.command);
    EXPECT_EQ(actions.volume, c.expected_volume) << c.volume << " " << c.command;
    EXPECT_EQ(actions.muted, c.expected_muted) << c.volume << " " << c.command;
  }
}

TEST(MainCommandRouterTest, MySpaceAsksStrangersAndOpensTheUsersPage) {
  RecordingActions stranger;
  stranger.confirm = true;
  MainCommandRouter(stranger).OnCommand(kCmdMySpace);
  EXPECT_EQ(stranger.calls.back(), "ext user/register.php");
  RecordingActions declined;
  declined.confirm = false;
  MainCommandRouter(declined).OnCommand(kCmdMySpace);
  EXPECT_EQ(declined.calls.size(), 1u);
  RecordingActions user;
  user.logged_in = true;
  MainCommandRouter(user).OnCommand(kCmdMySpace);
  EXPECT_EQ(user.calls,
            (std::vector<std::string>{"browser http://127.0.0.1:1/my/index.php?user_id=7"}));
}

TEST(MainLayoutTest, EveryControlOfBothLayoutsWithTooltips) {
  MainLayoutState state;
  state.size = MainLayout::kNormalMinimum;
  std::set<int> normal_ids;
  for (const MainControlEntry& c : MainLayout::Normal(state)) {
    normal_ids.insert(c.id);
    EXPECT_EQ(c.tooltip, MainLayout::Tooltip(c.id, false));
    EXPECT_GE(c.bounds.left, 0) << c.id;
    EXPECT_LE(c.bounds.right, state.size.width) << c.id;
  }
  for (int id : {0,  1,  2,  3,  4,  5,  11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                 25, 26, 27, 28, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 46, 47, 49, 50, 55})
    EXPECT_TRUE(normal_ids.count(id)) << id;
  state.size = {MainLayout::kMiniWidth, MainLayout::kMiniFoldedHeight};
  std::set<int> mini_ids;
  for (const MainControlEntry& c : MainLayout::Mini(state)) mini_ids.insert(c.id);
  for (int id : {0, 1, 2, 3, 4, 5, 9, 10, 11, 13, 20, 21, 31, 32, 33, 34})
    EXPECT_TRUE(mini_ids.count(id)) << id;
  EXPECT_EQ(MainLayout::Tooltip(kPrevious, false), "上一首");
  EXPECT_EQ(MainLayout::Tooltip(kPrevious, true), "播放上一首");
  EXPECT_EQ(MainLayout::Tooltip(kSettings, false), "这里更改Zelbo音乐设置");
}

TEST(MainLayoutTest, ThePanelScrollBarSitsInsideThePanelOnlyWhenItIsWideEnough) {
  struct Case {
    int panel_width;
    bool shown;
  };
  for (const Case& c : std::vector<Case>{
           {0, false}, {39, false}, {40, true}, {70, true}, {180, true}, {400, true}}) {
    SCOPED_TRACE(c.panel_width);
    MainLayoutState state;
    state.size = MainLayout::kNormalMinimum;
    state.panel_width = c.panel_width;
    const gfx::Rect panel = MainLayout::PanelRect(state.size, c.panel_width);
    const gfx::Rect songs = MainLayout::SongListRect(state.size, c.panel_width, false);
    int seen = 0;
    for (const MainControlEntry& entry : MainLayout::Normal(state)) {
      if (entry.id < kPanelScrollUp || entry.id > kPanelScrollThumb) continue;
      ++seen;
      EXPECT_EQ(entry.hidden, !c.shown) << entry.id;
      // Inside the panel's right edge, never over the splitter buttons or the song list.
      EXPECT_EQ(entry.bounds.right, panel.right) << entry.id;
      EXPECT_LE(entry.bounds.right, songs.left) << entry.id;
      EXPECT_GE(entry.bounds.top, panel.top) << entry.id;
      EXPECT_LE(entry.bounds.bottom, panel.bottom) << entry.id;
      if (entry.id == kPanelScrollThumb) {
        EXPECT_EQ(entry.kind, MainControlEntry::Kind::kSlider);
        EXPECT_EQ(entry.track.top, panel.top + 12);
        EXPECT_EQ(entry.track.bottom, panel.bottom - 12);
      }
    }
    EXPECT_EQ(seen, 3);
  }
}

TEST(MainLayoutTest, VolumeSeekAndDragNumbers) {
  EXPECT_EQ(MainLayout::ThumbOffsetForVolume(80, 60), 48);
  EXPECT_EQ(MainLayout::VolumeForThumbOffset(48, 60), 80);
  EXPECT_EQ(MainLayout::VolumeForThumbOffset(61, 60), 100);
  EXPECT_EQ(MainLayout::VolumeForThumbOffset(5, 0), 0);
  EXPECT_EQ(MainLayout::PositionForThumbOffset(200000, 150, 300), 100000);
  EXPECT_EQ(MainLayout::PositionForThumbOffset(-1, 150, 300), 0);
  EXPECT_EQ(MainLayout::ThumbOffsetForPosition(300000, 200000, 300), 300);
  EXPECT_EQ(MainLayout::ClampPanelWidth(500, 326), 226);
  EXPECT_EQ(MainLayout::ClampPanelWidth(-5, 326), 0);
  const gfx::Size normal = MainLayout::kNormalMinimum;
  EXPECT_TRUE(MainLayout::IsDragArea({100, 10}, normal, false));
  EXPECT_FALSE(MainLayout::IsDragArea({100, 40}, normal, false));
  EXPECT_FALSE(MainLayout::IsDragArea({5, 10}, normal, false));
  EXPECT_TRUE(MainLayout::IsDragArea({100, 10}, {396, 231}, true));
  // The splitter band at the panel's right edge (x 71 for a 70-pixel panel), not its middle.
  EXPECT_TRUE(MainLayout::IsSplitterBand({71, 150}, normal, 70));
  EXPECT_TRUE(MainLayout::IsSplitterBand({69, 480}, normal, 70));
  EXPECT_FALSE(MainLayout::IsSplitterBand({71, (137 + 510) / 2}, normal, 70));
  EXPECT_FALSE(MainLayout::IsSplitterBand({80, 150}, normal, 70));
  EXPECT_FALSE(MainLayout::IsSplitterBand({71, 120}, normal, 70));
  EXPECT_FALSE(MainLayout::IsDragArea({100, 100}, {396, 231}, true));
}

TEST(MainMenusTest, LyricChecksAndSystemMenuIds) {
  MainMenuState state;
  state.lyric_open = "false";
  auto lyric = MainMenus::LyricMenu(state);
  EXPECT_TRUE(lyric[2].checked);
  EXPECT_FALSE(lyric[0].checked || lyric[1].checked);
  state.lyric_open = "true";
  state.lyric_mode = "dialog";
  lyric = MainMenus::LyricMenu(state);
  EXPECT_TRUE(lyric[1].checked);
  state.lyric_mode = "bar";
  state.lyric_bar_locked = true;
  lyric = MainMenus::LyricMenu(state);
  EXPECT_TRUE(lyric[0].checked);
  EXPECT_EQ(lyric[4].caption, "解锁桌面歌词");
  std::vector<int> ids;
  for (const auto& item : MainMenus::SystemMenu()) ids.push_back(item.id);
  EXPECT_EQ(
      ids, (std::vector<int>{32849, 32850, 32851, 32852, 0, 32855, 32856, 32857, 0, 33053, 32848}));
}

}  // namespace
}  // namespace quillo::ui
