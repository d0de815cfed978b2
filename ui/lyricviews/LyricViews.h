#pragma once
// The owner of the two lyric views: it makes, shows, switches and releases the lyric window and
// the desktop lyric bar (at most one of each; the main window keeps one shown at a time), and
// answers what the views ask of the main window around them.
//
// A view asking to be closed (its close or switch button) is shut at once and released on a
// later loop turn, never inside its own handler. Window thread only. Everything given outlives
// this object; the main window must be told (SetLyricViews(nullptr)) before it goes.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/loop/LoopTarget.h"
#include "ui/lyricviews/LyricViewHost.h"
#include "ui/lyricviews/LyricViewParts.h"
#include "ui/main/LyricViewControl.h"

namespace quillo::ui {

class CLyricBar;
class LyricDlg;
class SorvelMainDlg;

class LyricViews : public LyricViewHost, public LyricViewControl {
 public:
  // What the program adds; each may be empty (then the request does nothing).
  struct Links {
    std::function<std::string()> service_base_url;
    // A notice outside the windows (the desktop's notification bubble).
    std::function<void(const std::string& title, const std::string& text)> notify;
    std::function<void(int page)> show_settings_page;
    // The upload window for a song: its id and "title - artist" text.
    std::function<void(const std::string& music_id, const std::string& display_text)> show_upload;
  };

  // What the views are made with; their host is this object. `chooser` may be null.
  struct Sources {
    store::DocumentStore& store;
    store::Playlists& playlists;
    lyrics::LyricAnalyzer& analyzer;
    playback::Player& player;
    playback::PlaySurface& play;
    window::FileChooser* chooser = nullptr;
  };

  LyricViews(loop::MainLoop& loop, SorvelMainDlg& window, Sources sources, Links links);
  ~LyricViews() override;
  LyricViews(const LyricViews&) = delete;
  LyricViews& operator=(const LyricViews&) = delete;

  LyricDlg* lyric_window() { return dialog_.get(); }
  CLyricBar* lyric_bar() { return bar_.get(); }
  // The settings dialog applied new looks: each view that exists reads its keys again.
  void ReloadLooks();

  // ---- LyricViewControl ---------------------------------------------------------------------
  void ShowView(bool dialog) override;
  void HideViews() override;
  void ToggleBarLock() override;
  bool BarLocked() const override;
  std::optional<std::string> CurrentLine() override;

  // ---- LyricViewHost ------------------------------------------------------------------------
  LayerWnd* MainWindow() override;
  void AttachWindow(AttachableWindow& window) override;
  void DetachWindow(AttachableWindow& window) override;
  void NoteMoveStart(AttachableWindow& window, gfx::Point grab) override;
  gfx::Rect OnAttachedMoving(AttachableWindow& window, const gfx::Rect& proposed) override;
  void CloseLyricViews() override;
  void ShowLyricWindow(bool show) override;
  void ShowLyricBar(bool show) override;
  void OnBarLockChanged(bool locked) override;
  void OpenLyricErrorReport(LayerWnd& over) override;
  void ShowSettingsPage(int page) override;
  void ShowUploadWindow(const std::string& music_id, const std::string& display_text) override;
  std::string ServiceBaseUrl() override;
  void OpenInBrowser(const std::string& url) override;

 private:
  // Keeps a shut view alive until the loop comes back (its handler may still be running).
  void Retire(std::unique_ptr<LayerWnd> view);

  loop::LoopTarget target_;
  SorvelMainDlg& window_;
  LyricViewParts parts_;
  Links links_;
  std::unique_ptr<LyricDlg> dialog_;
  std::unique_ptr<CLyricBar> bar_;
  std::vector<std::unique_ptr<LayerWnd>> retired_;
};

}  // namespace quillo::ui
