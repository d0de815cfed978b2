#pragma once
// The program on the desktop around its main window: the tray icon (its tip, left click and
// menu) and the media-player service that playerctl and the media keys drive. The service
// reaches the program through the play operations over the window's play queue, the player and
// the stored play mode, as the window's own controls do; the tray through the window's commands.
//
// Window thread only. The window, the player and the store outlive this object; the tray icon
// and the service go with it, before the window.
#include <memory>
#include <string>

#include "platform/desktop/TrayIconListener.h"
#include "platform/loop/LoopTarget.h"

namespace quillo::desktop {
class MprisService;
class TrayIcon;
}  // namespace quillo::desktop
namespace quillo::playback {
class Player;
}
namespace quillo::store {
class StoreRuntime;
}
namespace quillo::ui {
class MprisAdapter;
class QueuePlayOperations;
class SorvelMainDlg;
}  // namespace quillo::ui

namespace quillo::app {

class DesktopLink : public desktop::TrayIconListener {
 public:
  DesktopLink(loop::MainLoop& loop, ui::SorvelMainDlg& window, playback::Player& player,
              store::StoreRuntime& runtime);
  ~DesktopLink() override;

  // Puts the icon in the tray and offers the media-player service on the session bus; either
  // stays away where the desktop has no place for it.
  void Start();
  // A song started: the tray tip and the service's metadata follow.
  void OnNowPlaying(const std::string& title);
  // The now-playing text ("xesam:asText") for this moment: the line being sung while a lyric is
  // loaded, else the title, empty when stopped (as the settings choose). Runs on a timer too.
  void PublishNowPlaying();
  // The playing artist's picture file ("": none) becomes the service's art.
  void SetArtPath(const std::string& path);
  bool tray_shown() const;

  // ---- desktop::TrayIconListener ------------------------------------------------------------
  void OnTrayActivate() override;
  void OnTrayMenuOpening() override;
  void OnTrayCommand(int id) override;

 private:
  static constexpr int kNowPlayingTimerId = 1;
  static constexpr int kNowPlayingPeriodMs = 250;

  loop::LoopTarget timers_;
  ui::SorvelMainDlg& window_;
  playback::Player& player_;
  store::StoreRuntime& runtime_;
  std::unique_ptr<ui::QueuePlayOperations> operations_;
  std::unique_ptr<ui::MprisAdapter> adapter_;
  std::unique_ptr<desktop::MprisService> mpris_;
  std::unique_ptr<desktop::TrayIcon> tray_;
  std::string title_;
};

}  // namespace quillo::app
