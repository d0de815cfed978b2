#pragma once
// What the main window tells the desktop around it (the tray tip, the media-player service).
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
  // The song list's rows changed or it scrolled; how many rows it has now.
  virtual void OnSongListChanged(int /*rows*/) {}
};

}  // namespace quillo::ui
