#pragma once
// The play-mode button's picture follows the mode, whoever chose it (the window's menu, the
// tray, the media-player service). Owned by the main window, registered with the play surface
// while the window lives. Window thread only.
#include "playback/PlaySurface.h"

namespace quillo::ui {

class SorvelMainDlg;

class MainPlayModeButton : public playback::PlayModeListener {
 public:
  explicit MainPlayModeButton(SorvelMainDlg& window) : window_(window) {}
  void OnPlayModeChanged(playback::PlayMode mode) override;

 private:
  SorvelMainDlg& window_;
};

}  // namespace quillo::ui
