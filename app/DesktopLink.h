#pragma once
// The program on the desktop around its main window: the tray icon (its tip, left click and
// menu) and the media-player service that playerctl and the media keys drive. The service
// reaches the program through the play surface, as the window's own controls do; the tray
// through the window's commands.
//
// Window thread only. The window, the play surface, the player and the store outlive this
// object; every registration it makes ends with it.
#include <memory>
#include <string>

#include "platform/desktop/TrayIconListener.h"
#include "platform/loop/Timer.h"
#include "platform/loop/Subscription.h"
#include "ui/main/MainWindowListener.h"

namespace quillo::desktop {
class MprisService;
class TrayIcon;
}  // namespace quillo::desktop
namespace quillo::playback {
class Player;
class PlaySurface;
}  // namespace quillo::playback
namespace quillo::store {
class StoreRuntime;
}
namespace quillo::ui {
class MprisAdapter;
class SorvelMainDlg;
}  // namespace quillo::ui

namespace quillo::app {

class DesktopLink : public desktop::TrayIconListener, public ui::MainWindowListener {
 public:
  // Puts the icon in the tray and offers the media-player service on the session bus; either
  // stays away where the desktop has no place for it.
  DesktopLink(loop::MainLoop& loop, ui::SorvelMainDlg& window, playback::PlaySurface& play,
              playback::Player& player, store::StoreRuntime& runtime);
  ~DesktopLink() override;

  // The now-playing text ("xesam:asText") for this moment: the line being sung while a lyric is
  // loaded, else the title, empty when stopped (as the settings choose). Runs on a timer too.
  void PublishNowPlaying();
  bool tray_shown() const;

  // ---- ui::MainWindowListener ----------------------------------------------------------------
  // A song started: the tray tip and the service's metadata follow.
  void OnNowPlaying(const std::string& title) override;
  // The playing artist's picture file ("": none) becomes the service's art.
  void OnArtPathChanged(const std::string& path) override;

  // ---- desktop::TrayIconListener ------------------------------------------------------------
  void OnTrayActivate() override;
  void OnTrayMenuOpening() override;
  void OnTrayCommand(int id) override;

 private:
  static constexpr int kNowPlayingPeriodMs = 250;

  ui::SorvelMainDlg& window_;
  playback::Player& player_;
  store::StoreRuntime& runtime_;
  std::unique_ptr<ui::MprisAdapter> adapter_;
  // After the adapter: the service calls it until it goes.
  std::unique_ptr<desktop::MprisService> mpris_;
  std::unique_ptr<desktop::TrayIcon> tray_;
  std::string title_;
  loop::Subscription player_listening_;
  loop::Subscription mode_listening_;
  loop::Subscription window_listening_;
  loop::Subscription tray_presence_;
  // Last: it stops before anything its ticks read goes.
  loop::Timer now_playing_timer_;
};

}  // namespace quillo::app
