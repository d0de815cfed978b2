#include "app/DesktopLink.h"

#include "platform/desktop/MprisService.h"
#include "platform/desktop/TrayIcon.h"
#include "playback/PlayQueueMode.h"
#include "playback/PlaySurface.h"
#include "playback/Player.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "ui/desktop/MprisAdapter.h"
#include "ui/desktop/NowPlayingText.h"
#include "ui/desktop/TrayMenuModel.h"
#include "ui/main/LyricViewControl.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::app {

DesktopLink::DesktopLink(loop::MainLoop& loop, ui::SorvelMainDlg& window,
                         playback::PlaySurface& play, playback::Player& player,
                         store::StoreRuntime& runtime)
    : window_(window), player_(player), runtime_(runtime), now_playing_timer_(loop) {
  adapter_ = std::make_unique<ui::MprisAdapter>(
      play, ui::MprisAdapter::WindowRequests{
                [this] { OnTrayActivate(); },
                // Called from inside a bus call: the window's exit runs its close procedure,
                // which ends the run from the loop.
                [this] {
                  if (window_.IsCreated()) window_.Exit();
                },
                // A local path or one of our links, as a second instance's command line.
                [this](const std::string& uri) { window_.HandleCommandLine(uri); }});
  player_.AddListener(*adapter_);
  player_listening_ = loop::Subscription([this] { player_.RemoveListener(*adapter_); });
  // A mode chosen anywhere (the window's or the tray's menu, a client) reaches the service.
  mode_listening_ = play.AddModeListener(*adapter_);
  window_listening_ = window_.AddListener(*this);
  // The now-playing text follows the line being sung, so it is composed again on a tick.
  now_playing_timer_.StartOnGrid(std::chrono::milliseconds(kNowPlayingPeriodMs),
                                 [this] { PublishNowPlaying(); });
  mpris_ = desktop::CreateSessionBusMpris(*adapter_, desktop::MprisIdentity{});
  adapter_->SetService(mpris_.get());
  tray_ = desktop::CreateTrayIcon(*this, desktop::TrayIconOptions{});
  if (tray_) OnTrayMenuOpening();
  // Minimising hides to the icon while the desktop shows it.
  tray_presence_ = window_.SetTrayPresence([this] { return tray_shown(); });
}

DesktopLink::~DesktopLink() = default;

bool DesktopLink::tray_shown() const {
  return tray_ && tray_->CanShow();
}

void DesktopLink::OnArtPathChanged(const std::string& path) {
  adapter_->SetArtPath(path);
}

void DesktopLink::OnNowPlaying(const std::string& title) {
  if (tray_) tray_->SetTip(ui::TrayMenuModel::Tip(title));
  std::optional<store::MusicRecord> record = runtime_.library().FindMusic(player_.GetMusicId());
  adapter_->OnSongStarted(record.value_or(store::MusicRecord{{"id", player_.GetMusicId()}}), title);
  title_ = title;
  PublishNowPlaying();
}

void DesktopLink::PublishNowPlaying() {
  using Phase = ui::NowPlayingText::Phase;
  const Phase phase = !player_.IsActive()  ? Phase::kStopped
                      : player_.IsPaused() ? Phase::kPaused
                                           : Phase::kPlaying;
  std::optional<std::string> line;
  if (phase == Phase::kPlaying) {
    if (ui::LyricViewControl* views = window_.lyric_views()) line = views->CurrentLine();
  }
  std::optional<std::string> text =
      ui::NowPlayingText::Compose(ui::NowPlayingText::Read(runtime_.store()), phase, title_, line);
  if (text) adapter_->SetNowPlayingText(*text);
}

void DesktopLink::OnTrayMenuOpening() {
  if (!tray_) return;
  ui::TrayMenuState state;
  state.playing = player_.IsActive() && !player_.IsPaused();
  state.mode = playback::PlayQueueMode::ForMenu(runtime_.store());
  state.lyric_open = runtime_.store().GetConfigText("module.lyric.isopen") != "false";
  state.lyric_mode_dialog = runtime_.store().GetConfigText("module.lyric.mode") == "dialog";
  state.lyric_bar_locked = window_.lyric_views() && window_.lyric_views()->BarLocked();
  tray_->SetMenu(ui::TrayMenuModel::Build(state));
}

void DesktopLink::OnTrayCommand(int id) {
  window_.RunCommand(id);
}

void DesktopLink::OnTrayActivate() {
  if (!window_.IsCreated()) return;
  window_.Show();
  window_.BringToFront();
}

}  // namespace quillo::app
