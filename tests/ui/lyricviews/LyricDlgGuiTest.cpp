// The lyric window under X with real input, showing a lyric fetched from quillo-service: it marks
// the line due at the player's position (also in the pixels on the screen), a real drag seeks to
// the line left in the middle, the wheel re-times the lyric and the saved file reads back with the
// new times. Odd lyrics (a very long line, a line of spaces, no time tags, none) draw their texts.
// With QUILLO_SCREENSHOT_DIR set, the window is also written to <dir>/lyric-window.png.
#include <gtest/gtest.h>

#include <gdk/gdk.h>
#include <glib.h>

#include <cstdlib>
#include <memory>

#include "../GuiHarness.h"
#include "LyricViewFakes.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricSavePrompt.h"
#include "platform/fs/FileSystem.h"
#include "platform/window/WindowSystem.h"
#include "store/StoreRuntime.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"
#include "ui/dialogs/ConfirmMessageBoxDlg.h"
#include "ui/dialogs/MessageBoxes.h"
#include "ui/lyricviews/LyricAreaPainter.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::ui {
namespace {
using testing::WaitFor;

// Runs xdotool with the arguments; a time-out ends a hung run.
bool Xdotool(std::vector<std::string> args) {
  std::vector<std::string> command{"timeout", "20", "xdotool"};
  command.insert(command.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& c : command) argv.push_back(c.data());
  argv.push_back(nullptr);
  gint status = 0;
  if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                    nullptr, &status, nullptr)) {
    return false;
  }
  return g_spawn_check_wait_status(status, nullptr);
}

// --sync waits for the pointer to move, so a pointer already there would hang it.
bool MoveTo(gfx::Point p) {
  if (window::WindowSystem::Instance()->CursorPosition() == p) return true;
  return Xdotool({"mousemove", "--sync", std::to_string(p.x), std::to_string(p.y)});
}

// What the X server shows in a screen rectangle.
class ScreenShot {
 public:
  explicit ScreenShot(const gfx::Rect& r) : origin_{r.left, r.top} {
    gdk_display_sync(gdk_display_get_default());
    pixbuf_ = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), r.left, r.top, r.width(),
                                         r.height());
  }
  ~ScreenShot() {
    if (pixbuf_) g_object_unref(pixbuf_);
  }
  ScreenShot(const ScreenShot&) = delete;
  ScreenShot& operator=(const ScreenShot&) = delete;

  // Whether a pixel of the screen rectangle has (about) the colour.
  bool Has(const gfx::Rect& screen, gfx::Color c) const {
    if (!pixbuf_) return false;
    const int channels = gdk_pixbuf_get_n_channels(pixbuf_);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf_);
    const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf_);
    const int w = gdk_pixbuf_get_width(pixbuf_), h = gdk_pixbuf_get_height(pixbuf_);
    for (int y = std::max(0, screen.top - origin_.y); y < std::min(h, screen.bottom - origin_.y);
         ++y) {
      for (int x = std::max(0, screen.left - origin_.x); x < std::min(w, screen.right - origin_.x);
           ++x) {
        const guchar* p = pixels + y * stride + x * channels;
        if (std::abs(p[0] - c.r) <= 3 && std::abs(p[1] - c.g) <= 3 && std::abs(p[2] - c.b) <= 3)
          return true;
      }
    }
    return false;
  }
  bool Save(const std::string& path) const {
    return pixbuf_ && gdk_pixbuf_save(pixbuf_, path.c_str(), "png", nullptr, nullptr);
  }

 private:
  gfx::Point origin_;
  GdkPixbuf* pixbuf_ = nullptr;
};

// Answers the save question with the program's own yes/no box over the lyric window.
class BoxPrompt : public lyrics::LyricSavePrompt {
 public:
  explicit BoxPrompt(LayerWnd& over) : over_(over) {}
  bool AskYesNo(std::string_view question) override {
    return ConfirmBox(std::string(question), &over_);
  }

 private:
  LayerWnd& over_;
};

class LyricDlgGuiTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = new quillo::testing::ServiceProcess();
    if (!service_->Start()) ADD_FAILURE() << service_->error();
  }
  static void TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
  }
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(service_->running());
    ASSERT_TRUE(runtime_.Open(false));
    // A taller window than the default, away from the screen's corner.
    runtime_.store().SaveWindowRect(LyricDlg::kRectName, store::Rect{120, 140, 560, 400});
    dlg_ = std::make_unique<LyricDlg>(
        LyricViewParts{runtime_.store(), runtime_.playlists(), analyzer_, player_, play_, host_,
                       nullptr});
  }
  void TearDown() override {
    dlg_.reset();
    runtime_.Close();
  }

  // The lyric of the catalogue song with the most sung lines, fetched as the program fetches
  // it, saved to a file.
  std::string FetchLyric(std::string& music_id) {
    const quillo::testing::ServiceSong* chosen = nullptr;
    const std::vector<quillo::testing::ServiceSong> songs = service_->Catalogue();
    for (const auto& song : songs) {
      if (song.lyric == "utf8" && (!chosen || song.lines.size() > chosen->lines.size()))
        chosen = &song;
    }
    if (!chosen) {
      ADD_FAILURE() << "no song with a lyric";
      return {};
    }
    quillo::testing::HttpAnswer answer =
        service_->Get("/music/download_lyric.php?id=" + chosen->id + "&type=lrc");
    EXPECT_EQ(answer.status, 200);
    music_id = chosen->id;
    const std::string path = folder_ / (chosen->id + ".lrc");
    EXPECT_TRUE(fs::WriteFile(path, answer.body));
    return path;
  }
  void OpenWindow() {
    ASSERT_TRUE(dlg_->Open());
    ASSERT_TRUE(WaitFor([&] { return testing::IsOnScreen(*dlg_); }));
  }
  // The screen band of line `index` while `marked` is centred.
  gfx::Rect LineBand(int index, int marked) {
    const gfx::Rect area = dlg_->LyricArea();
    const gfx::Rect window = dlg_->WindowRect();
    const auto& line = dlg_->layout().lines()[std::size_t(index)];
    const int top = line.y + area.top - dlg_->layout().CenteredTop(marked, area.height());
    return gfx::Rect{window.left + area.left, window.top + top, window.left + area.right,
                     window.top + top + line.height};
  }
  gfx::Rect ScreenArea() {
    const gfx::Rect area = dlg_->LyricArea();
    const gfx::Rect window = dlg_->WindowRect();
    return area.Offset(window.left, window.top);
  }
  gfx::Point AreaCentre() {
    const gfx::Rect a = ScreenArea();
    return gfx::Point{(a.left + a.right) / 2, (a.top + a.bottom) / 2};
  }
  int Start(int index) const {
    return analyzer_.document().timeline.lines()[std::size_t(index)].start_ms;
  }

  static inline quillo::testing::ServiceProcess* service_ = nullptr;
  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_ / "data/"};
  lyrics::LyricAnalyzer analyzer_;
  testing::PositionPlayer player_;
  testing::SeekingPlaySurface play_{player_};
  testing::RecordingLyricHost host_;
  std::unique_ptr<LyricDlg> dlg_;
};

TEST_F(LyricDlgGuiTest, MarksTheDueLineOnScreenDragSeeksAndWheelRetimingSavesBack) {
  std::string music_id;
  const std::string path = FetchLyric(music_id);
  ASSERT_EQ(analyzer_.LoadLyric(path, music_id), 0);
  const auto& lines = analyzer_.document().timeline.lines();
  ASSERT_GE(lines.size(), 3u);
  // A sung line near the middle with a sung line after it (songs have empty lines at their
  // instrumental breaks, which show no colour).
  int due = std::max(0, int(lines.size()) / 2 - 1);
  while (due + 2 < int(lines.size()) &&
         (lines[std::size_t(due)].text.empty() || lines[std::size_t(due) + 1].text.empty()))
    ++due;
  const int dragged = std::min(3, int(lines.size()) - 1 - due);  // lines up the page
  player_.music_id = music_id;
  player_.position_ms = analyzer_.document().offset_ms + Start(due) + 200;
  ASSERT_EQ(analyzer_.FindLine(player_.position_ms)->index, std::size_t(due));
  ASSERT_TRUE(MoveTo(gfx::Point{5, 5}));  // away from the window: no hint in the picture
  OpenWindow();
  ASSERT_TRUE(WaitFor([&] { return dlg_->current_index() == due; }));

  // The presented pixels: the current-line colour in the due line's band only.
  const gfx::Color current = dlg_->look().current;
  ASSERT_TRUE(WaitFor([&] {
    return ScreenShot(LineBand(due, due)).Has(LineBand(due, due), current);
  })) << "no current-line colour in the band of line "
      << due;
  {
    ScreenShot shot(dlg_->WindowRect());
    if (due > 0) {
      EXPECT_FALSE(shot.Has(LineBand(due - 1, due), current));
    }
    EXPECT_FALSE(shot.Has(LineBand(due + 1, due), current));
    EXPECT_TRUE(shot.Has(LineBand(due + 1, due), dlg_->look().text));
    if (const char* dir = std::getenv("QUILLO_SCREENSHOT_DIR")) {
      EXPECT_TRUE(shot.Save(std::string(dir) + "/lyric-window.png"));
    }
  }

  // A real drag some lines up the page: the song jumps to where that line is due.
  const gfx::Point from = AreaCentre();
  const int line_height = dlg_->layout().lines()[0].height;
  ASSERT_TRUE(MoveTo(from));
  ASSERT_TRUE(Xdotool({"mousedown", "1"}));
  ASSERT_TRUE(WaitFor([&] { return dlg_->dragging(); }));
  ASSERT_TRUE(MoveTo(gfx::Point{from.x, from.y - dragged * line_height}));
  ASSERT_TRUE(WaitFor([&] { return dlg_->current_index() == due + dragged; }));
  ASSERT_TRUE(Xdotool({"mouseup", "1"}));
  ASSERT_TRUE(WaitFor([&] { return !player_.seeks.empty(); }));
  EXPECT_EQ(player_.seeks, std::vector<int>{analyzer_.document().offset_ms + Start(due + dragged)});
  EXPECT_FALSE(dlg_->dragging());

  // Five wheel notches down: the next line crosses the middle and becomes due one second ago.
  ASSERT_TRUE(WaitFor([&] { return dlg_->current_index() == due; }));  // the player did not move
  ASSERT_TRUE(MoveTo(AreaCentre()));
  ASSERT_TRUE(Xdotool({"click", "--repeat", "5", "5"}));
  const int expected_offset = player_.position_ms - Start(due + 1) - 1000;
  ASSERT_TRUE(WaitFor([&] { return analyzer_.document().offset_ms == expected_offset; }))
      << "offset " << analyzer_.document().offset_ms;
  EXPECT_EQ(dlg_->current_index(), due + 1);
  ASSERT_TRUE(WaitFor([&] { return !dlg_->wheel_scrolling(); }));
  ASSERT_TRUE(WaitFor([&] { return dlg_->current_index() == due + 1; }));  // follows the song

  // Saving through the program's yes/no box writes the file; it reads back with the new times.
  testing::GuiScript script;
  script.ClickControl(ConfirmMessageBoxDlg::kYes);
  BoxPrompt prompt(*dlg_);
  EXPECT_EQ(analyzer_.SaveIfChanged(prompt), lyrics::LyricAnalyzer::SaveResult::kSaved);
  EXPECT_TRUE(script.finished()) << script.Trace() << script.stuck();
  lyrics::LyricAnalyzer reread;
  ASSERT_EQ(reread.LoadLyric(path, music_id), 0);
  EXPECT_EQ(reread.document().offset_ms, expected_offset);
  ASSERT_EQ(reread.document().timeline.size(), lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(reread.document().offset_ms + reread.document().timeline.lines()[i].start_ms,
              expected_offset + lines[i].start_ms)
        << i;
  }
}

TEST_F(LyricDlgGuiTest, OddLyricsDrawTheirLinesOrTexts) {
  struct Case {
    const char* name;
    std::string text;  // empty: no lyric at all
    int position_ms;
    int marked;               // -1: a state text instead
    const char* status_text;  // expected when marked is -1
  };
  const Case kCases[] = {
      {"long.lrc", "[00:01.00]开始\n[00:02.00]" + std::string(500, 'x') + "\n[00:03.00]结束\n",
       2500, 1, nullptr},
      {"spaces.lrc", "[00:01.00]开始\n[00:02.00]      \n[00:03.00]结束\n", 3500, 2, nullptr},
      {"untimed.lrc", "没有时间的歌词\n第二行\n", 1000, -1, LyricAreaPainter::kNotFoundText},
      {"none", "", 1000, -1, LyricAreaPainter::kNotFoundText},
  };
  player_.music_id = "5";
  OpenWindow();
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    analyzer_.Reset();
    if (!c.text.empty()) {
      ASSERT_TRUE(fs::WriteFile(fs::JoinPath(folder_.path(), c.name), c.text));
      analyzer_.LoadLyric(fs::JoinPath(folder_.path(), c.name), "5");
    }
    player_.position_ms = c.position_ms;
    const gfx::Color current = dlg_->look().current;
    if (c.marked >= 0) {
      ASSERT_TRUE(
          WaitFor([&] { return dlg_->current_index() == c.marked && !dlg_->painted_status(); }));
      // The lines are on the screen; the marked one in the current-line colour unless it is
      // all spaces.
      EXPECT_TRUE(WaitFor(
          [&] { return ScreenShot(ScreenArea()).Has(LineBand(0, c.marked), dlg_->look().text); }));
      const gfx::Rect band = LineBand(c.marked, c.marked);
      if (c.marked == 1) {
        EXPECT_TRUE(WaitFor([&] { return ScreenShot(band).Has(band, current); }));
      } else {
        const gfx::Rect window = dlg_->WindowRect();
        const gfx::Surface& buffer = dlg_->back_buffer();
        for (int y = band.top - window.top; y < band.bottom - window.top; ++y)
          for (int x = band.left - window.left; x < band.right - window.left; ++x)
            ASSERT_NE(buffer.ColorAt(x, y), current) << x << "," << y;
      }
    } else {
      ASSERT_TRUE(WaitFor([&] { return dlg_->painted_status() == c.status_text; }));
      EXPECT_TRUE(WaitFor([&] { return ScreenShot(ScreenArea()).Has(ScreenArea(), current); }));
    }
  }
}

}  // namespace
}  // namespace quillo::ui
