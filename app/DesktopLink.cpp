#include "app/DesktopLink.h"

#include "platform/desktop/MprisService.h"
#include "platform/desktop/TrayIcon.h"
#include "playback/PlayQueueMode.h"
#include "playback/Player.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "ui/desktop/MprisAdapter.h"
#include "ui/desktop/NowPlayingText.h"
#include "ui/desktop/TrayMenuModel.h"
#include "ui/main/LyricViewControl.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::app {

DesktopLink::DesktopLink(loop::MainLoop& loop, ui::SorvelMainDlg& window, playback::Player& player,
                         store::StoreRuntime& runtime)
    : timers_(loop),
      window_(window),
      player_(player),
      runtime_(runtime),
      adapter_(std::make_unique<ui::MprisAdapter>(*this)) {}

DesktopLink::~DesktopLink() {
  timers_.KillTimer(kNowPlayingTimerId);
  player_.RemoveListener(*adapter_);
  adapter_->SetService(nullptr);
  mpris_.reset();
  tray_.reset();
}

void DesktopLink::Start() {
  player_.AddListener(*adapter_);
  // The now-playing text follows the line being sung, so it is composed again on a tick.
  timers_.SetTimer(kNowPlayingTimerId, std::chrono::milliseconds(kNowPlayingPeriodMs),
                   [this] { PublishNowPlaying(); });
  mpris_ = desktop::CreateSessionBusMpris(*adapter_, desktop::MprisIdentity{});
  adapter_->SetService(mpris_.get());
  adapter_->OnModeChanged(Mode());
  tray_ = desktop::CreateTrayIcon(*this, desktop::TrayIconOptions{});
  if (tray_) OnTrayMenuOpening();
}

bool DesktopLink::tray_shown() const {
  return tray_ && tray_->CanShow();
}

void DesktopLink::SetArtPath(const std::string& path) {
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

void DesktopLink::Play() {
  window_.Play();
}
void DesktopLink::Pause() {
  window_.Pause();
}
void DesktopLink::Stop() {
  player_.Stop();
}
void DesktopLink::Next() {
  window_.Next();
}
void DesktopLink::Previous() {
  window_.Previous();
}
bool DesktopLink::Seek(int position_ms) {
  return player_.Seek(position_ms);
}
int DesktopLink::PositionMs() {
  return player_.GetPositionMs();
}
int DesktopLink::DurationMs() {
  return player_.GetDurationMs();
}
bool DesktopLink::IsActive() const {
  return player_.IsActive();
}
bool DesktopLink::IsPaused() const {
  return player_.IsPaused();
}
int DesktopLink::Volume() const {
  return window_.Volume();
}
void DesktopLink::SetVolume(int volume) {
  window_.SetVolume(volume);
}

playback::PlayMode DesktopLink::Mode() const {
  return playback::PlayQueueMode::Current(runtime_.store());
}

void DesktopLink::ChooseMode(playback::PlayMode mode) {
  playback::PlayQueueMode::Choose(runtime_.store(), mode);
  adapter_->OnModeChanged(mode);
}

void DesktopLink::OpenUri(const std::string& uri) {
  // The media-player service hands over a local path or one of our links, as a second
  // instance's command line does.
  window_.HandleCommandLine(uri);
}

void DesktopLink::Raise() {
  if (!window_.IsCreated()) return;
  window_.Show();
  window_.BringToFront();
}

void DesktopLink::Quit() {
  if (window_.IsCreated()) window_.Exit();
}

}  // namespace quillo::app
