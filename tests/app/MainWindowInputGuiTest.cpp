// The main window driven as a person drives it: real pointer and key events on the test's
// display (xdotool), the program reading its own data folder. Ctrl-click, Shift-click and Ctrl+A
// select, a drag of the selection onto a playlist in the panel adds the songs (what the playlist
// holds is read back after the program saved and quit), Esc during a drag drops nothing; the
// spectrum moves while a song plays and rests when it pauses; a pointer resting on a song shows
// its tip; the play-mode button's picture follows the mode; the saved size comes back; a file
// handed to the running program shows in the panel; minimising hides to a tray icon.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "RealDisplay.h"
#include "XdgSandbox.h"
#include "FakeStatusNotifierWatcher.h"
#include "platform/gfx/Surface.h"
#include "ui/main/MainIds.h"
#include "ui/main/MainLayout.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kSongs = 8;
constexpr int kRowHeight = 20;
// Panel rows: the heading, 最近播放, 随便听听, 排行榜, 本地曲库, [全部], then the playlists.
constexpr int kLocalRow = 4;
constexpr int kFirstPlaylistRow = 6;

class MainWindowInputGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no display";
    if (!RunCommand("command -v xdotool >/dev/null")) GTEST_SKIP() << "xdotool missing";
    environment_ = xdg_.Environment();
    environment_["DISPLAY"] = display;
    environment_["QUILLO_AUDIO_SINK"] = "fakesink sync=true";
    environment_["NO_AT_BRIDGE"] = "1";
    environment_["QUILLO_SERVICE_EXECUTABLE"] = "/nonexistent";
    display_.SetEnvironment("DISPLAY='" + std::string(display) + "'");
    // No service: the lists are the local ones only.
    ASSERT_TRUE(Tool("config set sorvel.service.base_url http://127.0.0.1:9/"));
    ASSERT_TRUE(Tool("config set module.lyric.isopen false"));
    std::string files;
    for (int i = 1; i <= kSongs; ++i) {
      const std::string path = xdg_.root() + "歌手" + std::to_string(i) + " - 歌曲" +
                               std::to_string(i) + ".mp3";
      std::ofstream(path) << std::string(30000, '\0');
      ASSERT_TRUE(Tool("tags write '" + path + "' --title 歌曲" + std::to_string(i) +
                       " --artist 歌手" + std::to_string(i)));
      files += " '" + path + "'";
    }
    ASSERT_TRUE(Tool("import" + files));
    auto id = Tool("playlist create 收藏");
    ASSERT_TRUE(id && !id->empty());
    playlist_ = *id;
  }
  void TearDown() override {
    if (program_ && !program_->Wait(0ms)) {
      ChildProcess quit(QUILLO_EXECUTABLE, {"--data-dir", data_folder(), "--quit"}, environment_);
      quit.Wait(20s);
      program_->Wait(30s);
    }
  }
  std::string data_folder() const { return xdg_.root() + "data/"; }
  std::optional<std::string> Tool(const std::string& arguments) const {
    return RunCommand("'" + std::string(QUILLO_TOOL_EXECUTABLE) + "' --data-dir '" + data_folder() +
                      "' " + arguments + " 2>/dev/null");
  }
  // The titles the playlist holds, in order.
  std::vector<std::string> PlaylistTitles() const {
    std::vector<std::string> titles;
    auto listing = Tool("library list " + playlist_);
    if (!listing) return titles;
    std::istringstream lines(*listing);
    std::string line;
    while (std::getline(lines, line)) {
      const size_t tab = line.find('\t');
      if (tab == std::string::npos) continue;
      titles.push_back(line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1));
    }
    return titles;
  }

  void StartAndShowTheLocalSongs() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(display_.Click(*main_, PanelRow(kLocalRow)));
    ASSERT_TRUE(Eventually(
        [&] {
          program_->WaitForLine("\x01", 100ms);
          for (const std::string& line : program_->lines())
            if (line.rfind("list shown: local, ", 0) == 0) return true;
          return false;
        },
        10s))
        << "the local songs were not shown";
  }
  gfx::Point PanelRow(int row) const {
    const gfx::Rect panel = ui::MainLayout::PanelRect(size_, 70);
    return {panel.left + 30, panel.top + row * kRowHeight + kRowHeight / 2};
  }
  gfx::Point SongRow(int row) const {
    const gfx::Rect songs = ui::MainLayout::SongListRect(size_, 70, false);
    return {songs.left + 60, songs.top + row * kRowHeight + kRowHeight / 2};
  }
  void QuitAndWaitForTheSave() {
    ChildProcess quit(QUILLO_EXECUTABLE, {"--data-dir", data_folder(), "--quit"}, environment_);
    EXPECT_EQ(quit.Wait(20s), 0);
    EXPECT_TRUE(program_->WaitForLine("store closed: saved", 30s)) << program_->error_text();
    EXPECT_EQ(program_->Wait(30s), 0);
  }
  std::string Move(gfx::Point p) const {
    return " mousemove --window " + *main_ + " " + std::to_string(p.x) + " " + std::to_string(p.y);
  }

  // Starts the program on the data folder and finds its main window.
  void Start() {
    program_ = std::make_unique<ChildProcess>(
        QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
    ASSERT_TRUE(program_->WaitForLine("ready", 60s)) << program_->error_text();
    main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
    ASSERT_TRUE(main_) << "main window not found on the display";
    const WindowGeometry g = display_.GeometryOf(*main_);
    size_ = {g.width, g.height};
    ASSERT_TRUE(display_.Focus(*main_));
  }
  // Waits for an output line starting with `prefix` after line `from`.
  bool WaitForLineStarting(const std::string& prefix, size_t from,
                           std::chrono::milliseconds timeout) {
    return Eventually(
        [&] {
          program_->WaitForLine("\x01", 100ms);
          const auto& lines = program_->lines();
          for (size_t i = from; i < lines.size(); ++i)
            if (lines[i].rfind(prefix, 0) == 0) return true;
          return false;
        },
        timeout);
  }
  // A noise song of a few seconds, imported into the library: what the spectrum shows.
  std::string ImportANoiseSong() {
    const std::string path = xdg_.root() + "噪音.mp3";
    if (!RunCommand("gst-launch-1.0 -q audiotestsrc wave=pink-noise volume=0.6 num-buffers=800 ! "
                    "audioconvert ! lamemp3enc ! filesink location='" + path + "' 2>/dev/null"))
      return {};
    Tool("tags write '" + path + "' --title 噪音 --artist 测试");
    Tool("import '" + path + "'");
    return path;
  }
  // The window's pixels inside `box`, none when the picture could not be taken.
  std::optional<std::vector<std::uint32_t>> Pixels(const gfx::Rect& box) const {
    const std::string path = xdg_.root() + "capture.png";
    if (!display_.Capture(*main_, path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    auto picture = gfx::Surface::FromPng(bytes);
    if (!picture) return std::nullopt;
    std::vector<std::uint32_t> pixels;
    for (int y = box.top; y < box.bottom; ++y)
      for (int x = box.left; x < box.right; ++x) pixels.push_back(picture->PixelAt(x, y));
    return pixels;
  }
  gfx::Point ControlCentre(int id) const {
    ui::MainLayoutState state;
    state.size = size_;
    for (const auto& entry : ui::MainLayout::Normal(state)) {
      if (entry.id == id)
        return {(entry.bounds.left + entry.bounds.right) / 2,
                (entry.bounds.top + entry.bounds.bottom) / 2};
    }
    ADD_FAILURE() << "no control " << id;
    return {};
  }

  XdgSandbox xdg_;
  RealDisplay display_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<ChildProcess> program_;
  std::optional<std::string> main_;
  gfx::Size size_;
  std::string playlist_;
};

TEST_F(MainWindowInputGuiTest, CtrlAndShiftClicksSelectAndTheSelectionIsDraggedOntoAPlaylist) {
  ASSERT_NO_FATAL_FAILURE(StartAndShowTheLocalSongs());
  // 歌曲1, then Ctrl: 歌曲3 joins (and is the anchor), then Shift: 歌曲3 … 歌曲5 alone.
  ASSERT_TRUE(display_.Click(*main_, SongRow(0)));
  ASSERT_TRUE(display_.ClickWith("ctrl", *main_, SongRow(2)));
  ASSERT_TRUE(display_.ClickWith("shift", *main_, SongRow(4)));
  std::this_thread::sleep_for(300ms);
  // The drag, with a look at the picture under the pointer and the drop mark on the way.
  const gfx::Point target = PanelRow(kFirstPlaylistRow);
  ASSERT_TRUE(display_.Xdo(Move(SongRow(3)) + " mousedown 1 sleep 0.1" + Move({120, target.y}) +
                           " sleep 0.1" + Move({target.x + 20, target.y}) + " sleep 0.1" +
                           Move(target) + " sleep 0.3"));
  display_.Screenshot(*main_, "main-window-drag.png");
  ASSERT_TRUE(display_.Xdo("mouseup 1"));
  std::this_thread::sleep_for(500ms);
  QuitAndWaitForTheSave();
  EXPECT_EQ(PlaylistTitles(), (std::vector<std::string>{"歌曲3", "歌曲4", "歌曲5"}));
}

TEST_F(MainWindowInputGuiTest, EscapeCancelsADragAndCtrlASelectsEverySong) {
  ASSERT_NO_FATAL_FAILURE(StartAndShowTheLocalSongs());
  const gfx::Point target = PanelRow(kFirstPlaylistRow);
  ASSERT_TRUE(display_.Click(*main_, SongRow(1)));
  // Esc while the button is held over the playlist: the release drops nothing.
  ASSERT_TRUE(display_.Xdo(Move(SongRow(1)) + " mousedown 1 sleep 0.1" + Move({120, target.y}) +
                           " sleep 0.1" + Move(target) + " sleep 0.2 key Escape sleep 0.2 mouseup 1"));
  // Ctrl+A, then a drag of every song.
  ASSERT_TRUE(display_.Click(*main_, SongRow(0)));
  ASSERT_TRUE(display_.Xdo("key ctrl+a"));
  std::this_thread::sleep_for(200ms);
  ASSERT_TRUE(display_.Drag(*main_, SongRow(5), target));
  std::this_thread::sleep_for(500ms);
  QuitAndWaitForTheSave();
  const std::vector<std::string> titles = PlaylistTitles();
  ASSERT_EQ(titles.size(), size_t(kSongs));
  EXPECT_EQ(titles.front(), "歌曲1");
  EXPECT_EQ(titles.back(), "歌曲8");
}

TEST_F(MainWindowInputGuiTest, TheSpectrumMovesWhileASongPlaysAndRestsWhenItPauses) {
  if (ImportANoiseSong().empty()) GTEST_SKIP() << "no MP3 encoder to make the song";
  ASSERT_NO_FATAL_FAILURE(StartAndShowTheLocalSongs());
  const gfx::Rect box = ui::MainLayout::SpectrumRect(size_);
  // The bars start full and fall: at rest when two pictures half a second apart agree.
  std::optional<std::vector<std::uint32_t>> at_rest = Pixels(box);
  ASSERT_TRUE(Eventually(
      [&] {
        std::this_thread::sleep_for(500ms);
        auto now = Pixels(box);
        const bool same = now && now == at_rest;
        at_rest = now;
        return same;
      },
      10s));
  // The noise song is the last of the local songs.
  const size_t before = program_->lines().size();
  ASSERT_TRUE(display_.Click(*main_, SongRow(kSongs), 2));
  ASSERT_TRUE(WaitForLineStarting("now playing: 噪音", before, 20s)) << program_->error_text();
  std::vector<std::vector<std::uint32_t>> playing;
  for (int i = 0; i < 4; ++i) {
    std::this_thread::sleep_for(300ms);
    auto pixels = Pixels(box);
    ASSERT_TRUE(pixels);
    playing.push_back(*pixels);
  }
  int drawn = 0, moved = 0;
  for (size_t i = 0; i < playing.size(); ++i) {
    drawn += playing[i] != *at_rest;
    if (i > 0) moved += playing[i] != playing[i - 1];
  }
  EXPECT_GE(drawn, 3) << "the bars were not drawn while the song played";
  EXPECT_GE(moved, 1) << "the bars did not move";
  display_.Screenshot(*main_, "main-window-spectrum.png");
  // 暂停: the bars and then the peaks fall back to nothing.
  ASSERT_TRUE(display_.Click(*main_, ControlCentre(ui::main_ids::kPause)));
  EXPECT_TRUE(Eventually([&] { return Pixels(box) == at_rest; }, 5s))
      << "the spectrum did not come to rest after the pause";
  display_.Screenshot(*main_, "main-window-paused.png");
}

TEST_F(MainWindowInputGuiTest, SavedSizeSongTipAndThePlayModePicture) {
  ASSERT_TRUE(Tool("config set window.mainwnd.pos.x 20"));
  ASSERT_TRUE(Tool("config set window.mainwnd.pos.y 20"));
  ASSERT_TRUE(Tool("config set window.mainwnd.width 520"));
  ASSERT_TRUE(Tool("config set window.mainwnd.height 640"));
  ASSERT_NO_FATAL_FAILURE(StartAndShowTheLocalSongs());
  EXPECT_EQ(size_.width, 520);
  EXPECT_EQ(size_.height, 640);
  // The pointer rests on a song: after half a second its tip shows beside the list.
  ASSERT_TRUE(display_.Xdo(Move(SongRow(1)) + " sleep 0.2" + Move({SongRow(1).x + 10, SongRow(2).y})));
  std::optional<std::string> tip;
  EXPECT_TRUE(Eventually(
      [&] {
        for (const std::string& id : display_.ShownWindows(program_->pid())) {
          if (display_.GeometryOf(id).height == 62) tip = id;
        }
        return tip.has_value();
      },
      5s))
      << "no song tip";
  if (tip) {
    const WindowGeometry g = display_.GeometryOf(*tip);
    const WindowGeometry main = display_.GeometryOf(*main_);
    EXPECT_GE(g.x, main.x + ui::MainLayout::SongListRect(size_, 70, false).left);
  }
  // 播放模式 opens its menu; its last entry (随机播放) is chosen with the keys.
  const gfx::Point mode_button = ControlCentre(ui::main_ids::kPlayMode);
  const gfx::Rect mode_box = gfx::Rect::FromXYWH(mode_button.x - 15, mode_button.y - 7, 30, 14);
  ASSERT_TRUE(display_.Xdo(Move({size_.width - 60, 40})));  // no hover veil on the button
  std::this_thread::sleep_for(300ms);
  const auto before = Pixels(mode_box);
  ASSERT_TRUE(before);
  ASSERT_TRUE(display_.Click(*main_, mode_button));
  std::this_thread::sleep_for(500ms);
  ASSERT_TRUE(display_.Xdo("key End sleep 0.2 key Return"));
  ASSERT_TRUE(display_.Xdo(Move({size_.width - 60, 40})));
  std::this_thread::sleep_for(500ms);
  display_.Screenshot(*main_, "main-window-large.png");
  EXPECT_NE(Pixels(mode_box), before) << "the play-mode picture did not change";
  QuitAndWaitForTheSave();
  EXPECT_EQ(Tool("config get module.music.play_mode"), std::optional<std::string>("random"));
  EXPECT_EQ(Tool("config get window.mainwnd.width"), std::optional<std::string>("520"));
}

TEST_F(MainWindowInputGuiTest, AFileHandedToTheRunningProgramShowsInThePanel) {
  // A fresh folder: no local songs, so no 本地曲库 row yet.
  const std::string data = xdg_.root() + "fresh/";
  ASSERT_TRUE(RunCommand("'" + std::string(QUILLO_TOOL_EXECUTABLE) + "' --data-dir '" + data +
                         "' config set sorvel.service.base_url http://127.0.0.1:9/"));
  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data}, environment_);
  ASSERT_TRUE(program_->WaitForLine("ready", 60s)) << program_->error_text();
  main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
  ASSERT_TRUE(main_);
  size_ = {display_.GeometryOf(*main_).width, display_.GeometryOf(*main_).height};
  const size_t before = program_->lines().size();
  ChildProcess second(QUILLO_EXECUTABLE,
                      {"--data-dir", data, xdg_.root() + "歌手1 - 歌曲1.mp3"}, environment_);
  EXPECT_EQ(second.Wait(20s), 0);
  ASSERT_TRUE(WaitForLineStarting("list shown: local, 1 rows", before, 10s))
      << "the handed file's list was not shown";
  // The panel has the 本地曲库 row now: choosing it shows the song again.
  const size_t after = program_->lines().size();
  ASSERT_TRUE(display_.Click(*main_, PanelRow(kFirstPlaylistRow - 1)));  // [全部]
  ASSERT_TRUE(WaitForLineStarting("list shown: [全部]", after, 10s));
  ASSERT_TRUE(display_.Click(*main_, PanelRow(kLocalRow)));
  EXPECT_TRUE(WaitForLineStarting("list shown: local, 1 rows", after, 10s))
      << "no 本地曲库 row in the panel";
  ChildProcess quit(QUILLO_EXECUTABLE, {"--data-dir", data, "--quit"}, environment_);
  EXPECT_EQ(quit.Wait(20s), 0);
  EXPECT_EQ(program_->Wait(30s), 0);
}

// A desktop with a tray (a status-notifier watcher with a host on a private session bus): the
// minimise button hides the window to the icon, and activating the icon brings it back.
TEST_F(MainWindowInputGuiTest, MinimisingHidesToTheTrayIconWhereOneShows) {
  auto bus_program = RunCommand("command -v dbus-daemon");
  if (!bus_program) GTEST_SKIP() << "dbus-daemon missing";
  const std::string socket = xdg_.root() + "bus";
  const std::string bus_address = "unix:path=" + socket;
  ChildProcess bus(*bus_program,
                   {"--session", "--nofork", "--nopidfile", "--address=" + bus_address}, {});
  ASSERT_TRUE(Eventually([&] { return RunCommand("test -S '" + socket + "'").has_value(); }, 10s));
  ::setenv("DBUS_SESSION_BUS_ADDRESS", bus_address.c_str(), 1);
  desktop::testing::FakeStatusNotifierWatcher watcher(true);
  ASSERT_TRUE(watcher.ready());
  environment_["DBUS_SESSION_BUS_ADDRESS"] = bus_address;
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForLineStarting("tray icon shown", 0, 5s));
  ASSERT_TRUE(Eventually([&] { return !watcher.registered().empty(); }, 10s));
  const size_t before = program_->lines().size();
  ASSERT_TRUE(display_.Click(*main_, ControlCentre(ui::main_ids::kMinimize)));
  ASSERT_TRUE(WaitForLineStarting("window: hidden to the tray", before, 10s));
  auto shown = [&] {
    for (const std::string& id : display_.ShownWindows(program_->pid()))
      if (id == *main_) return true;
    return false;
  };
  EXPECT_TRUE(Eventually([&] { return !shown(); }, 5s)) << "the window is still on screen";
  ASSERT_TRUE(RunCommand("DBUS_SESSION_BUS_ADDRESS='" + bus_address +
                         "' gdbus call --session --dest '" + watcher.registered().front() +
                         "' --object-path /StatusNotifierItem "
                         "--method org.kde.StatusNotifierItem.Activate 0 0 >/dev/null"));
  EXPECT_TRUE(Eventually(shown, 5s)) << "activating the tray icon did not bring the window back";
  QuitAndWaitForTheSave();
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

}  // namespace
}  // namespace quillo::testing
