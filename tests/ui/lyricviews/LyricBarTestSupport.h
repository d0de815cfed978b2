#pragma once
// What the desktop lyric bar's tests share: a host and a play surface that record what the bar
// asks of them, a player whose position and state the test sets, and a store, playlists and analyzer in a
// temporary data folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/FakePlaySurface.h"
#include "fakes/FakePlayer.h"
#include "lyrics/LyricAnalyzer.h"
#include "platform/fs/FileSystem.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/LyricViewHost.h"
#include "ui/lyricviews/LyricViewParts.h"

namespace quillo::testing {

class RecordingLyricHost : public ui::LyricViewHost {
 public:
  ui::LayerWnd* MainWindow() override { return nullptr; }
  void AttachWindow(ui::AttachableWindow&) override {}
  void DetachWindow(ui::AttachableWindow&) override {}
  void NoteMoveStart(ui::AttachableWindow&, gfx::Point) override {}
  gfx::Rect OnAttachedMoving(ui::AttachableWindow&, const gfx::Rect& proposed) override {
    return proposed;
  }
  void CloseLyricViews() override { calls.push_back("close views"); }
  void ShowLyricWindow(bool show) override {
    calls.push_back(show ? "show window" : "hide window");
  }
  void ShowLyricBar(bool show) override { calls.push_back(show ? "show bar" : "hide bar"); }
  void OnBarLockChanged(bool locked) override { calls.push_back(locked ? "locked" : "unlocked"); }
  void OpenLyricErrorReport(ui::LayerWnd&) override { calls.push_back("error report"); }
  void ShowSettingsPage(int page) override { calls.push_back("settings " + std::to_string(page)); }
  std::string ServiceBaseUrl() override { return {}; }
  void OpenInBrowser(const std::string&) override {}

  std::vector<std::string> calls;
};

// A player the test moves: active once something was played, at the position the test sets.
class PositionPlayer : public FakePlayer {
 public:
  int GetPositionMs() override { return position_ms; }
  void SetMute(bool on) override { mutes.push_back(on); }
  int position_ms = -1;
  std::vector<bool> mutes;
};

// Store, playlists, analyzer and player for one bar.
struct LyricBarWorld {
  TempFolder folder;
  std::unique_ptr<store::StoreRuntime> runtime;
  lyrics::LyricAnalyzer analyzer;
  PositionPlayer player;
  FakePlaySurface play;
  RecordingLyricHost host;

  LyricBarWorld() : runtime(std::make_unique<store::StoreRuntime>(folder / "data/")) {
    EXPECT_TRUE(runtime->Open(false));
  }
  ~LyricBarWorld() { runtime->Close(); }
  ui::LyricViewParts Parts() {
    return ui::LyricViewParts{runtime->store(), runtime->playlists(), analyzer, player, play,
                              host};
  }
  store::DocumentStore& store() { return runtime->store(); }
  // Writes the lyric text into a file of that name and loads it; answers the analyzer's state.
  int LoadLyric(const std::string& name, const std::string& text) {
    const std::string path = folder / name;
    EXPECT_TRUE(fs::WriteFile(path, text));
    return analyzer.LoadLyric(path, "song1");
  }
  // The player plays a song at the position.
  void PlayAt(int position_ms, const std::string& title = "晴天") {
    if (player.played.empty()) player.PlayFile("/music/song.mp3", "song1", title);
    player.position_ms = position_ms;
  }
};

}  // namespace quillo::testing
