#pragma once
// What the lyric window tests drive it with: a host that records what the window asked of the
// main window, a player at a position the test sets that records seeks (and a play surface that
// seeks it), a file chooser with a
// fixed answer, and a window system that keeps the clipboard.
#include <optional>
#include <string>
#include <vector>

#include "FakeWindowSystem.h"
#include "fakes/FakePlaySurface.h"
#include "fakes/FakePlayer.h"
#include "platform/window/FileChooser.h"
#include "ui/lyricviews/LyricViewHost.h"
#include "ui/main/AttachedWindows.h"

namespace quillo::testing {

class PositionPlayer : public FakePlayer {
 public:
  bool Seek(int position_ms) override {
    seeks.push_back(position_ms);
    return true;
  }
  int GetPositionMs() override { return position_ms; }
  bool IsActive() const override { return active; }
  std::string GetMusicId() const override { return music_id; }

  int position_ms = 0;
  bool active = true;
  std::string music_id = "7";
  std::vector<int> seeks;
};

// The play surface over that player: a seek asked of it reaches the player, as the program's
// does.
class SeekingPlaySurface : public FakePlaySurface {
 public:
  explicit SeekingPlaySurface(PositionPlayer& player) : player_(player) {}
  bool Seek(int position_ms) override { return player_.Seek(position_ms); }

 private:
  PositionPlayer& player_;
};

class RecordingLyricHost : public ui::LyricViewHost {
 public:
  ui::LayerWnd* MainWindow() override { return main_window; }
  void AttachWindow(ui::AttachableWindow& w) override { attached.push_back(&w); }
  void DetachWindow(ui::AttachableWindow& w) override { detached.push_back(&w); }
  void NoteMoveStart(ui::AttachableWindow&, gfx::Point grab) override { grabs.push_back(grab); }
  gfx::Rect OnAttachedMoving(ui::AttachableWindow&, const gfx::Rect& proposed) override {
    proposals.push_back(proposed);
    return proposed.Offset(snap_dx, 0);
  }
  void CloseLyricViews() override { ++closes; }
  void ShowLyricWindow(bool show) override { window_shows.push_back(show); }
  void ShowLyricBar(bool show) override { bar_shows.push_back(show); }
  void OnBarLockChanged(bool) override {}
  void OpenLyricErrorReport(ui::LayerWnd& over) override { reports_over.push_back(&over); }
  void ShowSettingsPage(int page) override { settings_pages.push_back(page); }
  void ShowUploadWindow(const std::string& id, const std::string& text) override {
    uploads.push_back(id + "|" + text);
  }
  std::string ServiceBaseUrl() override { return base_url; }
  void OpenInBrowser(const std::string& url) override { opened.push_back(url); }

  ui::LayerWnd* main_window = nullptr;
  int snap_dx = 0;
  std::string base_url = "http://127.0.0.1:9/";
  std::vector<ui::AttachableWindow*> attached, detached;
  std::vector<gfx::Point> grabs;
  std::vector<gfx::Rect> proposals;
  int closes = 0;
  std::vector<bool> window_shows, bar_shows;
  std::vector<ui::LayerWnd*> reports_over;
  std::vector<int> settings_pages;
  std::vector<std::string> uploads;
  std::vector<std::string> opened;
};

class FixedFileChooser : public window::FileChooser {
 public:
  std::vector<std::string> ChooseFiles(const std::string&, const std::string& filter_name,
                                       const std::vector<std::string>& patterns,
                                       const window::WindowPresenter*) override {
    asked_filter = filter_name;
    asked_patterns = patterns;
    return answer ? std::vector<std::string>{*answer} : std::vector<std::string>{};
  }
  std::optional<std::string> ChooseFolder(const std::string&,
                                          const window::WindowPresenter*) override {
    return std::nullopt;
  }
  std::optional<std::string> answer;
  std::string asked_filter;
  std::vector<std::string> asked_patterns;
};

class ClipboardWindowSystem : public FakeWindowSystem {
 public:
  void SetClipboardText(const std::string& utf8) override { clipboard.push_back(utf8); }
  std::vector<std::string> clipboard;
};

}  // namespace quillo::testing
