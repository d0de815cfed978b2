#pragma once
// What the main window tells the desktop around it (the tray tip, the media-player service) and
// the run's reporter.
// Registered through SorvelMainDlg::AddListener for as long as the subscription lives.
// Window thread.
#include <string>

namespace quillo::ui {

class MainWindowListener {
 public:
  virtual ~MainWindowListener() = default;
  // A song started; its display title.
  virtual void OnNowPlaying(const std::string& /*title*/) {}
  // The shown artist picture's file after every song start and picture arrival ("": none).
  virtual void OnArtPathChanged(const std::string& /*path*/) {}
  // The song list shows a list (again, after a refresh) with this many rows.
  virtual void OnListShown(const std::string& /*list_id*/, int /*rows*/) {}
  // Minimising hid the window to the tray icon.
  virtual void OnHiddenToTray() {}
  // The song list's rows changed or it scrolled; how many rows it has now.
  virtual void OnSongListChanged(int /*rows*/) {}
};

}  // namespace quillo::ui
