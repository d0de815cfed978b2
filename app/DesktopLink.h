#pragma once
// The program on the desktop around its main window: the tray icon (its tip, left click and
// menu) and the media-player service that playerctl and the media keys drive. Both reach the
// program through the play operations here, which go to the main window, the player and the
// play mode, as the window's own controls do.
//
// Window thread only. The window, the player and the store outlive this object; the tray icon
// and the service go with it, before the window.
#include <memory>
#include <string>

#include "platform/desktop/TrayIconListener.h"
#include "platform/loop/LoopTarget.h"
#include "ui/desktop/PlayOperations.h"

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
class SorvelMainDlg;
}  // namespace quillo::ui

namespace quillo::app {

class DesktopLink : public ui::PlayOperations, public desktop::TrayIconListener {
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

  // ---- ui::PlayOperations -------------------------------------------------------------------
  void Play() override;
  void Pause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  bool Seek(int position_ms) override;
  int PositionMs() override;
  int DurationMs() override;
  bool IsActive() const override;
  bool IsPaused() const override;
  int Volume() const override;
  void SetVolume(int volume) override;
  playback::PlayMode Mode() const override;
  void ChooseMode(playback::PlayMode mode) override;
  void OpenUri(const std::string& uri) override;
  void Raise() override;
  void Quit() override;

  // ---- desktop::TrayIconListener ------------------------------------------------------------
  void OnTrayActivate() override { Raise(); }
  void OnTrayMenuOpening() override;
  void OnTrayCommand(int id) override;

 private:
  static constexpr int kNowPlayingTimerId = 1;
  static constexpr int kNowPlayingPeriodMs = 250;

  loop::LoopTarget timers_;
  ui::SorvelMainDlg& window_;
  playback::Player& player_;
  store::StoreRuntime& runtime_;
  std::unique_ptr<ui::MprisAdapter> adapter_;
  std::unique_ptr<desktop::MprisService> mpris_;
  std::unique_ptr<desktop::TrayIcon> tray_;
  std::string title_;
};

}  // namespace quillo::app
