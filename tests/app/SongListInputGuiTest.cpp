// The main window's song list driven as a person drives it: real pointer and key events on the
// test's display (xdotool), the program reading its own data folder. Ctrl-click, Shift-click and
// Ctrl+A select, a drag of the selection onto a playlist in the panel adds the songs (what the
// playlist holds is read back after the program saved and quit), and Esc during a drag drops
// nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
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
#include "ui/main/MainLayout.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kSongs = 8;
constexpr int kRowHeight = 20;
// Panel rows: the heading, 最近播放, 随便听听, 排行榜, 本地曲库, [全部], then the playlists.
constexpr int kLocalRow = 4;
constexpr int kFirstPlaylistRow = 6;

class SongListInputGuiTest : public ::testing::Test {
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
    program_ = std::make_unique<ChildProcess>(
        QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
    ASSERT_TRUE(program_->WaitForLine("ready", 60s)) << program_->error_text();
    main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
    ASSERT_TRUE(main_) << "main window not found on the display";
    const WindowGeometry g = display_.GeometryOf(*main_);
    size_ = {g.width, g.height};
    ASSERT_TRUE(display_.Focus(*main_));
    ASSERT_TRUE(display_.Click(*main_, PanelRow(kLocalRow)));
    ASSERT_TRUE(Eventually(
        [&] {
          program_->WaitForLine("\x01", 100ms);
          for (const std::string& line : program_->lines())
            if (line == "list shown: local, " + std::to_string(kSongs) + " rows") return true;
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

  XdgSandbox xdg_;
  RealDisplay display_;
  std::map<std::string, std::string> environment_;
  std::unique_ptr<ChildProcess> program_;
  std::optional<std::string> main_;
  gfx::Size size_;
  std::string playlist_;
};

TEST_F(SongListInputGuiTest, CtrlAndShiftClicksSelectAndTheSelectionIsDraggedOntoAPlaylist) {
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

TEST_F(SongListInputGuiTest, EscapeCancelsADragAndCtrlASelectsEverySong) {
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

}  // namespace
}  // namespace quillo::testing
