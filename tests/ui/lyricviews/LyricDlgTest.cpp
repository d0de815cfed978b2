// The lyric window with the fake window system: following the song, the wheel's re-timing, the
// drag that seeks, the hint, the title-bar buttons, placement and the context menu's commands.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "LyricViewFakes.h"
#include "lyrics/LyricAnalyzer.h"
#include "platform/fs/FileSystem.h"
#include "platform/gfx/TextMeasure.h"
#include "platform/loop/MainLoop.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/LyricAreaPainter.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"

namespace quillo::ui {
namespace {
using lyrics::LyricDocument;
using testing::Move;
using testing::Press;
using testing::Release;

// Line i starts at 1000 + 2000 i ms.
constexpr const char* kLyric =
    "[ti:测试]\n[00:01.00]第一行\n[00:03.00]第二行\n[00:05.00]第三行\n[00:07.00]第四行\n"
    "[00:09.00]第五行\n[00:11.00]第六行\n[00:13.00]第七行\n[00:15.00]第八行\n";
constexpr int kStartOfLine3 = 7000;

bool Near(gfx::Color a, gfx::Color b) {
  return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

class LyricDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(/*start_saver=*/false));
    lyric_ = Write("a.lrc", kLyric);
    ASSERT_EQ(analyzer_.LoadLyric(lyric_, "7"), 0);
    player_.position_ms = 7500;  // inside line 3
    dlg_ = std::make_unique<LyricDlg>(LyricViewParts{runtime_.store(), runtime_.playlists(),
                                                     analyzer_, player_, play_, host_,
                                                     &chooser_});
  }
  void TearDown() override {
    dlg_.reset();
    runtime_.Close();
  }
  std::string Write(const std::string& name, const std::string& text) {
    std::string path = folder_ / name;
    EXPECT_TRUE(fs::WriteFile(path, text));
    return path;
  }
  LyricDlg& OpenAndTick() {
    EXPECT_TRUE(dlg_->Open());
    dlg_->UpdateIfDirty();
    return *dlg_;
  }
  gfx::Point InArea() const { return gfx::Point{200, 50}; }
  window::WindowEvents& Sink() { return *dlg_; }
  void Wheel(int steps) {
    window::MouseEvent e;
    e.pos = InArea();
    Sink().OnNativeWheel(e, steps);
  }
  int LineStart(std::size_t index) const {
    return analyzer_.document().timeline.lines()[index].start_ms;
  }
  // Whether some pixel of the area's row band [top, top + height) has the colour.
  bool BandHas(int top, int height, gfx::Color color) {
    const gfx::Rect area = dlg_->LyricArea();
    for (int y = std::max(top, area.top); y < std::min(top + height, area.bottom); ++y)
      for (int x = area.left; x < area.right; ++x)
        if (Near(dlg_->back_buffer().ColorAt(x, y), color)) return true;
    return false;
  }

  loop::MainLoop loop_;
  testing::ClipboardWindowSystem system_;
  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_ / "data/"};
  lyrics::LyricAnalyzer analyzer_;
  testing::PositionPlayer player_;
  testing::SeekingPlaySurface play_{player_};
  testing::RecordingLyricHost host_;
  testing::FixedFileChooser chooser_;
  std::string lyric_;
  std::unique_ptr<LyricDlg> dlg_;
};

TEST_F(LyricDlgTest, MarksAndCentresTheDueLineAndPaintsOnlyWhenItChanges) {
  LyricDlg& dlg = OpenAndTick();
  const gfx::Rect area = dlg.LyricArea();
  ASSERT_EQ(area.height(), 59);  // 100 less the margins
  EXPECT_EQ(dlg.current_index(), 3);
  EXPECT_EQ(dlg.layout().lines()[3].height, 15);
  // Line 3 (y 45, 15 high) centred: the view's top at 45 + (15 − 59) / 2.
  const int top = 45 + (15 - 59) / 2;
  const int band = 45 + area.top - top;
  EXPECT_TRUE(BandHas(band, 15, dlg.look().current));
  EXPECT_FALSE(BandHas(band - 15, 15, dlg.look().current));
  EXPECT_TRUE(BandHas(band - 15, 15, dlg.look().text));

  const int paints = dlg.paint_count();
  for (int i = 0; i < 5; ++i) dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.paint_count(), paints);
  player_.position_ms = LineStart(4);
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.current_index(), 4);
  EXPECT_EQ(dlg.paint_count(), paints + 1);
}

TEST_F(LyricDlgTest, SettingsReloadTakesTheNewLookAndHeights) {
  LyricDlg& dlg = OpenAndTick();
  runtime_.store().SetConfigText("window.lyricdlg.fontsize_pt", "18");
  runtime_.store().SetConfigText("window.lyricdlg.ccolor", "#00ff00");
  runtime_.store().SetConfigText("window.lyricdlg.bcolor", "#000080");
  const int paints = dlg.paint_count();
  dlg.ReloadLook();
  EXPECT_EQ(dlg.paint_count(), paints + 1);
  EXPECT_EQ(dlg.layout().lines()[3].height, 30);
  EXPECT_EQ(dlg.layout().lines()[3].y, 90);
  EXPECT_TRUE(dlg.look().antialiased());
  const gfx::Rect area = dlg.LyricArea();
  EXPECT_TRUE(Near(dlg.back_buffer().ColorAt(area.left, area.top), gfx::Color{0, 0, 0x80, 255}));
  // Line 3 is still centred, now 30 pixels high, in the new current-line colour.
  const int band = 90 + area.top - (90 + (30 - area.height()) / 2);
  EXPECT_TRUE(BandHas(band, 30, gfx::Color{0, 255, 0, 254}));
  EXPECT_EQ(dlg.current_index(), 3);
}

TEST_F(LyricDlgTest, ShowsTheStateTextsInsteadOfLines) {
  LyricDlg& dlg = OpenAndTick();
  EXPECT_FALSE(dlg.painted_status());
  analyzer_.MarkQueued("8");
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.painted_status(), LyricAreaPainter::kDownloadingText);
  EXPECT_EQ(analyzer_.LoadLyric(Write("x.txt", "[00:01.00]x"), "8"), LyricDocument::kStateFailed);
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.painted_status(), LyricAreaPainter::kNotFoundText);
  EXPECT_TRUE(BandHas(dlg.LyricArea().top, dlg.LyricArea().height(), dlg.look().current));
  player_.active = false;
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.painted_status(), LyricAreaPainter::kIdleText);
  EXPECT_EQ(dlg.shown_music_id(), "");
  // A lyric without time tags does not load; no lyric at all is the same text.
  player_.active = true;
  EXPECT_EQ(analyzer_.LoadLyric(Write("plain.lrc", "只有文字\n没有时间\n"), "9"), 2);
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.painted_status(), LyricAreaPainter::kNotFoundText);
  analyzer_.Reset();
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.painted_status(), LyricAreaPainter::kNotFoundText);
}

TEST_F(LyricDlgTest, ShowsTheNewLinesWhenTheSameSongsLyricIsLoadedAgain) {
  LyricDlg& dlg = OpenAndTick();
  ASSERT_EQ(dlg.layout().lines()[0].text, "第一行");
  const std::string long_line(500, 'w');
  ASSERT_EQ(
      analyzer_.LoadLyric(
          Write("b.lrc", "[00:01.00]新的\n[00:02.00]" + long_line + "\n[00:03.00]    \n"), "7"),
      0);
  dlg.UpdateIfDirty();
  ASSERT_EQ(dlg.layout().size(), 3);
  EXPECT_EQ(dlg.layout().lines()[1].text, long_line);
  EXPECT_EQ(dlg.current_index(), 2);  // 7.5 s: the last line, of spaces only
  player_.position_ms = 2500;
  dlg.UpdateIfDirty();
  EXPECT_EQ(dlg.current_index(), 1);
  EXPECT_FALSE(dlg.painted_status());
}

TEST_F(LyricDlgTest, WheelMovesThreePixelsANotchAndSetsTheOffsetForTheMiddleLine) {
  struct Case {
    std::vector<int> steps;  // positive: down the page
    int scroll_top;
    int marked;
  };
  const int centred = 45 + (15 - 59) / 2;  // line 3 in the middle
  const Case kCases[] = {
      {{1}, centred + 3, 3},
      {{1, 1, 1, 1, 1}, centred + 15, 4},
      {{-2}, centred - 6, 3},
      {{-1, -1, -1}, centred - 9, 2},
  };
  LyricDlg& dlg = OpenAndTick();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.steps.size());
    analyzer_.AdjustTiming(0, LyricDocument::kSetOffset, std::nullopt);
    dlg.UpdateIfDirty();
    ASSERT_EQ(dlg.current_index(), 3);
    for (int s : c.steps) Wheel(s);
    EXPECT_TRUE(dlg.wheel_scrolling());
    EXPECT_EQ(dlg.scroll_top(), c.scroll_top);
    EXPECT_EQ(dlg.current_index(), c.marked);
    EXPECT_EQ(analyzer_.document().offset_ms, player_.position_ms - LineStart(c.marked) - 1000);
    // The tick does not move the mark while the wheel re-times.
    dlg.UpdateIfDirty();
    EXPECT_EQ(dlg.current_index(), c.marked);
    EXPECT_TRUE(dlg.wheel_timer_running());
    dlg.OnWheelTimer();
    EXPECT_FALSE(dlg.wheel_scrolling());
    EXPECT_FALSE(dlg.scrolling());
    // With the new offset, the song puts the middle line back in the middle.
    dlg.UpdateIfDirty();
    EXPECT_EQ(dlg.current_index(), c.marked);
  }
}

TEST_F(LyricDlgTest, ReleasingADragSeeksToTheMiddleLinesDueTimeAndLosingTheCaptureDoesNot) {
  struct Case {
    int offset_ms;
    bool capture_lost;
    std::vector<int> seeks;
  };
  // Dragging 30 pixels up leaves line 5 (y 75) in the middle.
  const Case kCases[] = {
      {0, false, {11000}},
      {250, false, {11250}},
      {-12000, false, {0}},  // due before the song starts: the start
      {0, true, {}},
  };
  LyricDlg& dlg = OpenAndTick();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.offset_ms);
    player_.seeks.clear();
    analyzer_.AdjustTiming(c.offset_ms, LyricDocument::kSetOffset, std::nullopt);
    player_.position_ms = kStartOfLine3 + 500 + c.offset_ms;
    dlg.UpdateIfDirty();
    ASSERT_EQ(dlg.current_index(), 3);
    Press(dlg, InArea());
    EXPECT_TRUE(dlg.dragging());
    Move(dlg, gfx::Point{InArea().x, InArea().y - 30});
    EXPECT_EQ(dlg.current_index(), 5);
    dlg.UpdateIfDirty();  // the song does not take the mark back while dragging
    EXPECT_EQ(dlg.current_index(), 5);
    if (c.capture_lost) {
      Sink().OnNativeCaptureLost();
    } else {
      Release(dlg, gfx::Point{InArea().x, InArea().y - 30});
    }
    EXPECT_FALSE(dlg.dragging());
    EXPECT_FALSE(dlg.scrolling());
    EXPECT_EQ(player_.seeks, c.seeks);
  }
}

TEST_F(LyricDlgTest, TheHintShowsOnceForThreeSeconds) {
  LyricDlg& dlg = OpenAndTick();
  const gfx::Rect area = dlg.LyricArea();
  const gfx::Color hint{251, 220, 146, 255};
  Move(dlg, gfx::Point{200, 10});  // the title band is not the lyric area
  EXPECT_FALSE(dlg.hint_shown());
  Move(dlg, InArea());
  EXPECT_TRUE(dlg.hint_shown());
  EXPECT_TRUE(Near(dlg.back_buffer().ColorAt(area.left + 3, area.top + 5), hint));
  EXPECT_TRUE(dlg.hint_timer_running());
  dlg.OnHintTimer();
  EXPECT_TRUE(dlg.hint_done());
  EXPECT_FALSE(dlg.hint_timer_running());
  EXPECT_TRUE(Near(dlg.back_buffer().ColorAt(area.left + 3, area.top + 5), dlg.look().background));
  Move(dlg, gfx::Point{InArea().x + 5, InArea().y});
  EXPECT_FALSE(dlg.hint_timer_running());
  EXPECT_TRUE(Near(dlg.back_buffer().ColorAt(area.left + 3, area.top + 5), dlg.look().background));
}

TEST_F(LyricDlgTest, TitleButtonsAndPlayerNotifications) {
  LyricDlg& dlg = OpenAndTick();
  auto click = [&](int id) {
    LayerControl* c = dlg.FindControl(id);
    ASSERT_NE(c, nullptr);
    ASSERT_FALSE(c->hidden) << id;
    testing::Click(dlg, gfx::Point{(c->bounds.left + c->bounds.right) / 2,
                                   (c->bounds.top + c->bounds.bottom) / 2});
    loop_.PumpPending();
  };
  EXPECT_FALSE(dlg.FindControl(LyricDlg::kReportButton)->hidden);  // the player is active
  click(LyricDlg::kReportButton);
  EXPECT_EQ(host_.reports_over, std::vector<LayerWnd*>{&dlg});

  EXPECT_TRUE(dlg.FindControl(LyricDlg::kNotOnTopButton)->hidden);
  click(LyricDlg::kOnTopButton);
  EXPECT_EQ(runtime_.store().GetConfigText(LyricDlg::kOnTopKey), "true");
  EXPECT_TRUE(dlg.FindControl(LyricDlg::kOnTopButton)->hidden);
  click(LyricDlg::kNotOnTopButton);
  EXPECT_EQ(runtime_.store().GetConfigText(LyricDlg::kOnTopKey), "false");
  EXPECT_FALSE(dlg.FindControl(LyricDlg::kOnTopButton)->hidden);

  runtime_.store().SetConfigText(LyricDlg::kModeKey, "dialog");
  click(LyricDlg::kToDesktopButton);
  EXPECT_FALSE(runtime_.store().HasConfig(LyricDlg::kModeKey));
  EXPECT_EQ(host_.bar_shows, std::vector<bool>{true});
  EXPECT_EQ(host_.window_shows, std::vector<bool>{false});
  click(LyricDlg::kCloseButton);
  EXPECT_EQ(host_.closes, 1);
  Sink().OnNativeCloseRequest();
  EXPECT_EQ(host_.closes, 2);
  EXPECT_TRUE(dlg.IsCreated());  // the host releases it

  for (const playback::PlayerState idle :
       {playback::PlayerState::kStopped, playback::PlayerState::kFinished,
        playback::PlayerState::kFailed}) {
    player_.NotifyState(idle);
    EXPECT_TRUE(dlg.FindControl(LyricDlg::kReportButton)->hidden) << static_cast<int>(idle);
    player_.NotifyState(playback::PlayerState::kOpening);
    EXPECT_FALSE(dlg.FindControl(LyricDlg::kReportButton)->hidden);
  }
}

TEST_F(LyricDlgTest, OpensBelowTheMainWindowKeepsItsRectangleAndShutsTwiceSafely) {
  LayerWnd main(0);
  ASSERT_TRUE(main.Create(gfx::Rect{100, 100, 520, 400}, nullptr));
  host_.main_window = &main;
  ASSERT_TRUE(dlg_->Open());
  EXPECT_EQ(dlg_->WindowRect(), (gfx::Rect{100, 400, 520, 500}));
  EXPECT_EQ(host_.attached.size(), 1u);
  EXPECT_EQ(player_.listener_count(), 1u);
  EXPECT_EQ(system_.last->options.title, LyricDlg::kTitle);

  dlg_->SetWindowRect(gfx::Rect{40, 50, 460, 260});
  EXPECT_EQ(dlg_->FindControl(LyricDlg::kCloseButton)->bounds.left, 420 - 33);
  // The report button holds its four characters and keeps its right edge.
  const gfx::Rect report = dlg_->FindControl(LyricDlg::kReportButton)->bounds;
  EXPECT_EQ(report.right, 420 - 87);
  EXPECT_GE(report.width(), gfx::TextMeasure::Width("歌词报错", dlg_->control_font()));
  dlg_->Shut();
  dlg_->Shut();
  EXPECT_FALSE(dlg_->IsCreated());
  EXPECT_EQ(player_.listener_count(), 0u);
  EXPECT_EQ(host_.detached.size(), 1u);
  runtime_.store().SetConfigText(LyricDlg::kOnTopKey, "true");
  ASSERT_TRUE(dlg_->Open());
  EXPECT_EQ(dlg_->WindowRect(), (gfx::Rect{40, 50, 460, 260}));
  EXPECT_TRUE(system_.last->options.keep_above);
  EXPECT_TRUE(dlg_->FindControl(LyricDlg::kOnTopButton)->hidden);
  EXPECT_FALSE(dlg_->FindControl(LyricDlg::kNotOnTopButton)->hidden);
}

TEST_F(LyricDlgTest, TheFrameMovesTheWindowWithSnappingAndTheLyricAreaDoesNot) {
  LyricDlg& dlg = OpenAndTick();
  EXPECT_FALSE(dlg.IsDragArea(InArea().x, InArea().y));
  EXPECT_TRUE(host_.grabs.empty());
  const gfx::Rect before = dlg.WindowRect();
  Press(dlg, gfx::Point{20, 10});
  ASSERT_EQ(host_.grabs, (std::vector<gfx::Point>{gfx::Point{20, 10}}));
  host_.snap_dx = 7;
  window::MouseEvent e;
  e.pos = gfx::Point{20, 10};
  e.screen = gfx::Point{300, 200};
  e.left_held = true;
  Sink().OnNativeMouseMove(e);
  ASSERT_EQ(host_.proposals.size(), 1u);
  EXPECT_EQ(host_.proposals[0], gfx::Rect::FromXYWH(280, 190, before.width(), before.height()));
  EXPECT_EQ(dlg.WindowRect(), gfx::Rect::FromXYWH(287, 190, before.width(), before.height()));
  Release(dlg, gfx::Point{20, 10});
  e.screen = gfx::Point{500, 500};
  Sink().OnNativeMouseMove(e);
  EXPECT_EQ(host_.proposals.size(), 1u);
  EXPECT_EQ(system_.last->move_drags, 0);
}

std::vector<std::string> Captions(const std::vector<window::MenuItem>& items) {
  std::vector<std::string> captions;
  for (const window::MenuItem& item : items)
    captions.push_back(item.separator ? "-" : item.caption);
  return captions;
}

TEST_F(LyricDlgTest, MenuItemsFollowTheSongTheOnTopKeyAndTheDebugKey) {
  LyricDlg& dlg = OpenAndTick();
  std::vector<window::MenuItem> menu = dlg.BuildMenu();
  EXPECT_EQ(Captions(menu),
            (std::vector<std::string>{"调整歌词", "复制歌词", "关联歌词...", "上传歌曲或歌词...",
                                      "设置字体和颜色", "总在最前"}));
  EXPECT_EQ(
      Captions(menu[0].submenu),
      (std::vector<std::string>{"全部调整...", "本句提前0.5秒", "本句延后0.5秒", "其后提前0.5秒",
                                "其后延后0.5秒", "全部提前0.5秒", "全部延后0.5秒"}));
  EXPECT_TRUE(menu[1].enabled);
  EXPECT_TRUE(menu[3].enabled);  // 上传歌曲或歌词...
  EXPECT_FALSE(menu[5].checked);

  player_.music_id.clear();
  runtime_.store().SetConfigText(LyricDlg::kOnTopKey, "true");
  runtime_.store().SetConfigText("sorvel.debug", "debug");
  menu = dlg.BuildMenu();
  ASSERT_EQ(menu.size(), 8u);
  EXPECT_EQ(menu[0].caption, "后台编辑歌词");
  EXPECT_TRUE(menu[1].separator);
  EXPECT_FALSE(menu[3].enabled);  // 复制歌词
  EXPECT_FALSE(menu[4].enabled);  // 关联歌词...
  EXPECT_FALSE(menu[5].enabled);  // 上传歌曲或歌词...
  EXPECT_TRUE(menu[7].checked);
  dlg.OnMenuCommand(LyricDlg::kAdminEdit);
  EXPECT_TRUE(host_.opened.empty());  // no song
  player_.music_id = "7";
  dlg.OnMenuCommand(LyricDlg::kAdminEdit);
  EXPECT_EQ(host_.opened,
            std::vector<std::string>{"http://127.0.0.1:9/admin/music.php?action=index&music_id=7"});

  dlg.OnMenuCommand(LyricDlg::kOnTopItem);
  EXPECT_EQ(runtime_.store().GetConfigText(LyricDlg::kOnTopKey), "false");
  EXPECT_TRUE(dlg.FindControl(LyricDlg::kNotOnTopButton)->hidden);
  dlg.OnMenuCommand(LyricDlg::kLookSettings);
  EXPECT_EQ(host_.settings_pages, std::vector<int>{15});
  dlg.OnMenuCommand(LyricDlg::kUpload);
  ASSERT_EQ(host_.uploads.size(), 1u);
  EXPECT_EQ(host_.uploads[0].substr(0, 2), "7|");  // the playing song's id and its title
  dlg.OnMenuCommand(LyricDlg::kCopyLyric);
  EXPECT_EQ(system_.clipboard, std::vector<std::string>{analyzer_.GetPlainText()});
  EXPECT_EQ(system_.clipboard[0].substr(0, 11), "第一行\r\n");
}

TEST_F(LyricDlgTest, HalfSecondItemsRetimeTheDueLineTheFollowingOnesOrAll) {
  struct Case {
    int command;
    int line3_start, line4_start, offset;
  };
  const Case kCases[] = {
      {LyricDlg::kLineEarlier, 6500, 9000, 0},      {LyricDlg::kLineLater, 7500, 9000, 0},
      {LyricDlg::kFollowingEarlier, 6500, 8500, 0}, {LyricDlg::kFollowingLater, 7500, 9500, 0},
      {LyricDlg::kAllEarlier, 7000, 9000, -500},    {LyricDlg::kAllLater, 7000, 9000, 500},
  };
  LyricDlg& dlg = OpenAndTick();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.command);
    ASSERT_EQ(analyzer_.LoadLyric(lyric_, "7"), 0);
    dlg.UpdateIfDirty();
    ASSERT_EQ(dlg.current_index(), 3);
    dlg.OnMenuCommand(c.command);
    EXPECT_EQ(LineStart(3), c.line3_start);
    EXPECT_EQ(LineStart(4), c.line4_start);
    EXPECT_EQ(analyzer_.document().offset_ms, c.offset);
    EXPECT_TRUE(analyzer_.document().modified);
    EXPECT_EQ(dlg.current_index(), 0);  // the next tick marks again
  }
  // Before the first line there is no line to move.
  ASSERT_EQ(analyzer_.LoadLyric(lyric_, "7"), 0);
  player_.position_ms = 500;
  dlg.UpdateIfDirty();
  dlg.OnMenuCommand(LyricDlg::kLineEarlier);
  EXPECT_FALSE(analyzer_.document().modified);
}

TEST_F(LyricDlgTest, AdjustAllAsksForTheShiftInMilliseconds) {
  struct Case {
    const char* typed;  // nullptr: cancel
    int offset;
  };
  const Case kCases[] = {{"-1500", -1500}, {"250ms", 250}, {"abc", 0}, {"0", 0}, {nullptr, 0}};
  LyricDlg& dlg = OpenAndTick();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.typed ? c.typed : "cancel");
    ASSERT_EQ(analyzer_.LoadLyric(lyric_, "7"), 0);
    std::string initial;
    system_.script.push_back([&] {
      initial = system_.last->last_edit->Text();
      if (c.typed) system_.last->last_edit->SetText(c.typed);
    });
    system_.script.push_back([&] {
      LayerWnd& box = *LayerWindowRegistry::All().back();
      LayerControl* button = box.FindControl(c.typed ? 3 : 4);  // 确定 / 取消
      ASSERT_NE(button, nullptr);
      testing::Click(box, gfx::Point{button->bounds.left + 5, button->bounds.top + 5});
    });
    dlg.OnMenuCommand(LyricDlg::kAdjustAll);
    EXPECT_EQ(initial, "1000");
    EXPECT_EQ(analyzer_.document().offset_ms, c.offset);
    EXPECT_EQ(analyzer_.document().modified, c.offset != 0);
  }
  EXPECT_FALSE(system_.script_ran_out);
}

TEST_F(LyricDlgTest, AssociatingALyricStoresItsPathAndLoadsItForThePlayingSong) {
  runtime_.library().AddMusic({{"id", "7"}, {"name", "晴天"}});
  runtime_.store().SetCurrentItemField("7");
  const std::string lyric_folder = runtime_.store().FolderPath("lyric");
  ASSERT_TRUE(fs::CreateFolders(lyric_folder + "sub"));
  struct Case {
    std::string path;
    std::string stored;
    int state;
    const char* first_line;
  };
  const std::string outside = Write("c.lrc", "[00:01.00]外面的歌词\n");
  const std::string inside = lyric_folder + "sub/b.lrc";
  ASSERT_TRUE(fs::WriteFile(inside, "[00:01.00]里面的歌词\n[00:02.00]第二句\n"));
  const std::string karaoke = Write("d.mrc", "anything");
  const Case kCases[] = {
      {inside, "sub/b.lrc", 0, "里面的歌词"},
      {outside, "file://" + outside, 0, "外面的歌词"},
      {karaoke, "file://" + karaoke, LyricDocument::kStateFailed, nullptr},
  };
  LyricDlg& dlg = OpenAndTick();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.path);
    chooser_.answer = c.path;
    dlg.OnMenuCommand(LyricDlg::kAssociateLyric);
    EXPECT_EQ(runtime_.library().SharedRecord("7")->at("lyric_file"), c.stored);
    EXPECT_EQ(analyzer_.GetState(), c.state);
    EXPECT_EQ(analyzer_.document().file_path, c.path);
    dlg.UpdateIfDirty();
    if (c.first_line) {
      ASSERT_FALSE(dlg.layout().empty());
      EXPECT_EQ(dlg.layout().lines()[0].text, c.first_line);
    } else {
      EXPECT_EQ(dlg.painted_status(), LyricAreaPainter::kNotFoundText);
    }
  }
  // Only what the loader reads is offered.
  EXPECT_EQ(chooser_.asked_patterns, (std::vector<std::string>{"*.lrc", "*.mrc"}));
  // Another song is current: the record changes, the shown lyric does not.
  ASSERT_EQ(analyzer_.LoadLyric(lyric_, "7"), 0);
  runtime_.library().AddMusic({{"id", "8"}, {"name", "夜曲"}});
  runtime_.store().SetCurrentItemField("8");
  chooser_.answer = outside;
  dlg.OnMenuCommand(LyricDlg::kAssociateLyric);
  EXPECT_EQ(runtime_.library().SharedRecord("8")->at("lyric_file"), "file://" + outside);
  EXPECT_EQ(analyzer_.document().file_path, lyric_);
  // Cancelling changes nothing.
  chooser_.answer.reset();
  runtime_.store().SetCurrentItemField("7");
  dlg.OnMenuCommand(LyricDlg::kAssociateLyric);
  EXPECT_EQ(analyzer_.document().file_path, lyric_);
  EXPECT_EQ(runtime_.library().SharedRecord("7")->at("lyric_file"), "file://" + karaoke);
}

TEST(LyricStoredPathTest, InsideTheLyricFolderRelativeElsewhereAFileUrl) {
  struct Case {
    const char* path;
    const char* stored;
  };
  const Case kCases[] = {
      {"/data/lyric/a.lrc", "a.lrc"},
      {"/data/lyric/歌手/b.lrc", "歌手/b.lrc"},
      {"/data/lyrics/c.lrc", "file:///data/lyrics/c.lrc"},
      {"/data/lyric/../x.lrc", "file:///data/lyric/../x.lrc"},
      {"/tmp/d.lrc", "file:///tmp/d.lrc"},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(LyricDlg::StoredLyricPath(c.path, "/data/lyric/"), c.stored) << c.path;
  }
}

}  // namespace
}  // namespace quillo::ui
