// A phone folder presented to the running program through the configuration: it shows in the
// playlist panel with its lists and in the phone panel with its space; songs dragged with the
// real pointer onto one of its lists are copied to it with progress, and the phone player's
// files name them afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "RealDisplay.h"
#include "XdgSandbox.h"
#include "platform/fs/FileSystem.h"
#include "ui/main/MainLayout.h"

namespace quillo::testing {
namespace {

using namespace std::chrono_literals;

constexpr int kRowHeight = 20;
// Panel rows: the heading, 最近播放, 随便听听, 排行榜, 本地曲库, the library, then the phone, its
// all-songs list and its own list.
constexpr int kLocalRow = 4;
constexpr int kPhoneListRow = 8;

class PhonePanelGuiTest : public ::testing::Test {
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
    ASSERT_TRUE(Tool("config set sorvel.service.base_url http://127.0.0.1:9/"));
    ASSERT_TRUE(Tool("config set module.lyric.isopen false"));
    std::string files;
    for (int i = 1; i <= 3; ++i) {
      const std::string path = xdg_.root() + "歌曲" + std::to_string(i) + ".mp3";
      std::ofstream(path) << std::string(400000, '\0');
      ASSERT_TRUE(Tool("tags write '" + path + "' --title 歌曲" + std::to_string(i) + " --artist 歌手"));
      files += " '" + path + "'";
    }
    ASSERT_TRUE(Tool("import" + files));
    card_ = xdg_.root() + "card/";
    fs::CreateFolders(card_);
    ASSERT_TRUE(Tool("device list create '" + card_ + "' 手机列表"));
    ASSERT_TRUE(Tool("config set module.device.card_folder '" + card_ + "'"));
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
  bool WaitForLineStarting(const std::string& prefix, std::chrono::milliseconds timeout) {
    return Eventually(
        [&] {
          program_->WaitForLine("\x01", 100ms);
          for (const std::string& line : program_->lines())
            if (line.rfind(prefix, 0) == 0) return true;
          return false;
        },
        timeout);
  }
  int Band() const { return ui::MainLayout::PhoneBand(true, false); }
  gfx::Point PanelRow(int row) const {
    const gfx::Rect panel = ui::MainLayout::PanelRect(size_, 70, Band());
    return {panel.left + 30, panel.top + row * kRowHeight + kRowHeight / 2};
  }
  gfx::Point SongRow(int row) const {
    const gfx::Rect songs = ui::MainLayout::SongListRect(size_, 70, false, Band());
    return {songs.left + 60, songs.top + row * kRowHeight + kRowHeight / 2};
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
  std::string card_;
};

TEST_F(PhonePanelGuiTest, AConfiguredPhoneShowsAndTakesDroppedSongs) {
  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
  ASSERT_TRUE(program_->WaitForLine("ready", 60s)) << program_->error_text();
  EXPECT_TRUE(WaitForLineStarting("phone connected: 2 lists", 10s)) << program_->error_text();
  main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
  ASSERT_TRUE(main_) << "main window not found on the display";
  const WindowGeometry g = display_.GeometryOf(*main_);
  size_ = {g.width, g.height};
  ASSERT_TRUE(display_.Focus(*main_));

  ASSERT_TRUE(display_.Click(*main_, PanelRow(kLocalRow)));
  ASSERT_TRUE(WaitForLineStarting("list shown: local, ", 10s));
  display_.Screenshot(*main_, "phone-panel.png");
  ASSERT_TRUE(display_.Click(*main_, SongRow(0)));
  ASSERT_TRUE(display_.ClickWith("shift", *main_, SongRow(2)));
  std::this_thread::sleep_for(300ms);
  const gfx::Point target = PanelRow(kPhoneListRow);
  ASSERT_TRUE(display_.Xdo(Move(SongRow(1)) + " mousedown 1 sleep 0.1" + Move({120, target.y}) +
                           " sleep 0.1" + Move({target.x + 20, target.y}) + " sleep 0.1" +
                           Move(target) + " sleep 0.3 mouseup 1"));
  EXPECT_TRUE(WaitForLineStarting("phone status: 正在复制(1/3): 歌曲1", 10s)) << program_->error_text();
  EXPECT_TRUE(WaitForLineStarting("phone status: 正在复制(3/3): 歌曲3", 10s));
  // The copies are in place and the device update wrote the list for the phone's player.
  ASSERT_TRUE(Eventually([&] { return fs::FileSize(card_ + "手机列表.lst") == 3u * 522u; }, 10s))
      << program_->error_text();
  for (int i = 1; i <= 3; ++i) {
    const std::string name = "歌曲" + std::to_string(i) + ".mp3";
    EXPECT_EQ(fs::ReadWholeFile(card_ + "我的音乐/歌手/未知专辑/" + name), fs::ReadWholeFile(xdg_.root() + name));
  }
  std::this_thread::sleep_for(300ms);
  display_.Screenshot(*main_, "phone-panel-copied.png");
  auto listing = Tool("device open '" + card_ + "'");
  ASSERT_TRUE(listing);
  EXPECT_NE(listing->find("\t手机列表\n\t歌曲1\n\t歌曲2\n\t歌曲3"), std::string::npos) << *listing;
}

TEST_F(PhonePanelGuiTest, APhoneSongDroppedOnTheLibraryIsCopiedToTheComputer) {
  // A song that only the phone has: put there by the tool from another library.
  const std::string other = "'" + std::string(QUILLO_TOOL_EXECUTABLE) + "' --data-dir '" + xdg_.root() + "other/' ";
  const std::string song = xdg_.root() + "外来歌.mp3";
  std::ofstream(song) << std::string(300000, '\x01');
  ASSERT_TRUE(RunCommand(other + "tags write '" + song + "' --title 外来歌 --artist 外人 2>/dev/null"));
  ASSERT_TRUE(RunCommand(other + "import '" + song + "' 2>/dev/null"));
  std::optional<std::string> listed = RunCommand(other + "library list local 2>/dev/null");
  ASSERT_TRUE(listed);
  const std::string music_id = listed->substr(0, listed->find('\t'));
  std::optional<std::string> lists = Tool("device open '" + card_ + "'");
  ASSERT_TRUE(lists);
  const std::size_t named = lists->find("\t手机列表");
  ASSERT_NE(named, std::string::npos) << *lists;
  const std::string list_id = lists->substr(lists->rfind('\n', named) + 1, named - lists->rfind('\n', named) - 1);
  ASSERT_TRUE(RunCommand(other + "device copy '" + card_ + "' " + list_id + " " + music_id + " 2>/dev/null"));

  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
  ASSERT_TRUE(program_->WaitForLine("ready", 60s)) << program_->error_text();
  ASSERT_TRUE(WaitForLineStarting("phone connected: 2 lists", 10s)) << program_->error_text();
  main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
  ASSERT_TRUE(main_) << "main window not found on the display";
  const WindowGeometry g = display_.GeometryOf(*main_);
  size_ = {g.width, g.height};
  ASSERT_TRUE(display_.Focus(*main_));
  ASSERT_TRUE(display_.Click(*main_, PanelRow(kPhoneListRow)));
  ASSERT_TRUE(WaitForLineStarting("list shown: " + list_id + ", 1 rows", 10s)) << program_->error_text();
  ASSERT_TRUE(display_.Click(*main_, SongRow(0)));
  std::this_thread::sleep_for(300ms);
  const gfx::Point library = PanelRow(kLocalRow + 1);
  ASSERT_TRUE(display_.Xdo(Move(SongRow(0)) + " mousedown 1 sleep 0.1" + Move({120, library.y}) +
                           " sleep 0.1" + Move({library.x + 20, library.y}) + " sleep 0.1" +
                           Move(library) + " sleep 0.3 mouseup 1"));
  EXPECT_TRUE(WaitForLineStarting("phone status: 正在复制(1/1): 外来歌", 10s)) << program_->error_text();
  EXPECT_TRUE(WaitForLineStarting("phone song copied to the computer: library", 10s)) << program_->error_text();
  const std::string placed = data_folder() + "music/外人/未知专辑/外来歌.mp3";
  EXPECT_EQ(fs::ReadWholeFile(placed), fs::ReadWholeFile(song));
  EXPECT_TRUE(fs::FileExists(card_ + "我的音乐/外人/未知专辑/外来歌.mp3")) << "the phone keeps its song";
}

TEST_F(PhonePanelGuiTest, APhoneThatGoesMidCopyLeavesTheProgramRunningAndItsListsIntact) {
  // Large songs (sparse on disk, whole when copied), so the copy is still running when the
  // phone's folder goes.
  for (int i = 1; i <= 3; ++i) {
    std::filesystem::resize_file(xdg_.root() + "歌曲" + std::to_string(i) + ".mp3", 96u << 20);
  }
  const std::string list_before = fs::ReadWholeFile(card_ + "手机列表.lst").value_or("?");
  const std::string config_before = fs::ReadWholeFile(card_ + "@MusicPlayer/MPConfig.ini").value_or("?");
  program_ = std::make_unique<ChildProcess>(
      QUILLO_EXECUTABLE, std::vector<std::string>{"--data-dir", data_folder()}, environment_);
  ASSERT_TRUE(program_->WaitForLine("ready", 60s)) << program_->error_text();
  ASSERT_TRUE(WaitForLineStarting("phone connected: 2 lists", 10s)) << program_->error_text();
  main_ = display_.FindWindow(program_->pid(), "Zelbo音乐", 20s);
  ASSERT_TRUE(main_) << "main window not found on the display";
  const WindowGeometry g = display_.GeometryOf(*main_);
  size_ = {g.width, g.height};
  ASSERT_TRUE(display_.Focus(*main_));
  ASSERT_TRUE(display_.Click(*main_, PanelRow(kLocalRow)));
  ASSERT_TRUE(WaitForLineStarting("list shown: local, ", 10s));
  ASSERT_TRUE(display_.Click(*main_, SongRow(0)));
  ASSERT_TRUE(display_.ClickWith("shift", *main_, SongRow(2)));
  std::this_thread::sleep_for(300ms);
  const gfx::Point target = PanelRow(kPhoneListRow);
  ASSERT_TRUE(display_.Xdo(Move(SongRow(1)) + " mousedown 1 sleep 0.1" + Move({120, target.y}) +
                           " sleep 0.1" + Move({target.x + 20, target.y}) + " sleep 0.1" +
                           Move(target) + " sleep 0.3 mouseup 1"));

  // The moment a song is being written, the phone's folder goes (its files stay on the phone,
  // moved aside here).
  const std::string album = card_ + "我的音乐/歌手/未知专辑/";
  const std::string gone = xdg_.root() + "gone";
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  bool moved = false;
  while (!moved && std::chrono::steady_clock::now() < deadline) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(album, error)) {
      if (entry.path().extension() == ".quillo-part") {
        moved = fs::RenamePath(card_.substr(0, card_.size() - 1), gone);
        break;
      }
    }
    if (!moved) std::this_thread::sleep_for(1ms);
  }
  ASSERT_TRUE(moved) << "no copy was seen running";
  EXPECT_TRUE(WaitForLineStarting("no phone", 20s)) << program_->error_text();
  // The program goes on: the window still answers a click on the library.
  EXPECT_FALSE(program_->Wait(0ms)) << program_->error_text();
  ASSERT_TRUE(display_.Click(*main_, PanelRow(kLocalRow + 1)));
  EXPECT_TRUE(WaitForLineStarting("list shown: [全部], ", 10s)) << program_->error_text();
  EXPECT_FALSE(fs::PathExists(card_)) << "nothing is written where the phone was";
  EXPECT_EQ(fs::ReadWholeFile(gone + "/手机列表.lst").value_or("!"), list_before);
  EXPECT_EQ(fs::ReadWholeFile(gone + "/@MusicPlayer/MPConfig.ini").value_or("!"), config_before);
  for (int i = 1; i <= 3; ++i) {
    const std::string name = "歌曲" + std::to_string(i) + ".mp3";
    std::optional<std::uint64_t> size = fs::FileSize(gone + "/我的音乐/歌手/未知专辑/" + name);
    EXPECT_TRUE(!size || *size == (96u << 20)) << name << " is whole or absent";
  }
}

}  // namespace
}  // namespace quillo::testing
