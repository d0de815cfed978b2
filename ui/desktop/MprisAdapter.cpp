#include "ui/desktop/MprisAdapter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "platform/desktop/MprisService.h"
#include "ui/desktop/MprisModes.h"
#include "ui/desktop/MprisTrack.h"

namespace quillo::ui {

using playback::PlayerState;

namespace {

const char* StatusOf(PlayerState state) {
  switch (state) {
    case PlayerState::kPaused:
      return "Paused";
    case PlayerState::kStopped:
    case PlayerState::kFailed:
    case PlayerState::kFinished:
      return "Stopped";
    case PlayerState::kOpening:
    case PlayerState::kPlaying:
    case PlayerState::kBuffering:
    case PlayerState::kResumed:
    case PlayerState::kStarted:
      break;
  }
  // Opening and buffering are on the way to sound: a client's play-pause must pause them.
  return "Playing";
}

double VolumeOf(int volume) {
  return std::clamp(volume, 0, 100) / 100.0;
}

int SecondsToMs(int seconds) {
  return static_cast<int>(std::min<std::int64_t>(std::int64_t{seconds} * 1000, INT_MAX));
}

}  // namespace

MprisAdapter::MprisAdapter(playback::PlaySurface& play, WindowRequests requests)
    : operations_(play), requests_(std::move(requests)) {
  state_.volume = VolumeOf(operations_.Volume());
  state_.loop_status = MprisModes::LoopStatusOf(operations_.Mode());
  state_.shuffle = MprisModes::ShuffleOf(operations_.Mode());
  if (operations_.IsActive())
    state_.playback_status = operations_.IsPaused() ? "Paused" : "Playing";
}

void MprisAdapter::SetService(desktop::MprisService* service) {
  service_ = service;
  Publish();
}

void MprisAdapter::OnPlayerNotification(const playback::PlayerNotification& notification) {
  if (const auto* changed = std::get_if<playback::StateChanged>(&notification)) {
    state_.playback_status = StatusOf(changed->state);
  } else if (const auto* volume = std::get_if<playback::VolumeChanged>(&notification)) {
    state_.volume = VolumeOf(volume->volume);
  } else if (const auto* position = std::get_if<playback::PositionChanged>(&notification)) {
    // The notification carries whole seconds; the player knows the milliseconds.
    int length_ms = operations_.DurationMs();
    if (length_ms <= 0) length_ms = SecondsToMs(position->duration_s);
    if (length_ms <= 0 || length_ms == length_ms_) return;
    length_ms_ = length_ms;
    RebuildMetadata();
  } else {
    return;  // mute and buffering change nothing the service shows
  }
  Publish();
}

void MprisAdapter::OnSongStarted(const store::MusicRecord& record, const std::string& title) {
  record_ = record;
  title_ = title;
  art_path_.clear();
  length_ms_ = operations_.DurationMs();
  RebuildMetadata();
  Publish();
}

void MprisAdapter::SetArtPath(const std::string& path) {
  if (path == art_path_) return;
  art_path_ = path;
  RebuildMetadata();
  Publish();
}

void MprisAdapter::SetNowPlayingText(const std::string& text) {
  if (text == now_playing_) return;
  now_playing_ = text;
  RebuildMetadata();
  Publish();
}

void MprisAdapter::OnModeChanged(playback::PlayMode mode) {
  state_.loop_status = MprisModes::LoopStatusOf(mode);
  state_.shuffle = MprisModes::ShuffleOf(mode);
  Publish();
}

void MprisAdapter::OnSeeked(int position_ms) {
  if (service_ != nullptr) service_->EmitSeeked(std::max(position_ms, 0) * std::int64_t{1000});
}

void MprisAdapter::OnSongCleared() {
  record_.clear();
  title_.clear();
  art_path_.clear();
  length_ms_ = -1;
  state_.playback_status = "Stopped";
  RebuildMetadata();
  Publish();
}

void MprisAdapter::Raise() {
  if (requests_.raise) requests_.raise();
}
void MprisAdapter::Quit() {
  if (requests_.quit) requests_.quit();
}

void MprisAdapter::Play() {
  // Play while playing must not restart the song (the queue's Play replays unless paused).
  if (operations_.IsActive() && !operations_.IsPaused()) return;
  operations_.Play();
}

void MprisAdapter::Pause() {
  if (operations_.IsActive() && !operations_.IsPaused()) operations_.Pause();
}

void MprisAdapter::PlayPause() {
  if (operations_.IsActive() && !operations_.IsPaused()) {
    operations_.Pause();
  } else {
    operations_.Play();
  }
}

void MprisAdapter::Stop() {
  operations_.Stop();
}
void MprisAdapter::Next() {
  operations_.Next();
}
void MprisAdapter::Previous() {
  operations_.Previous();
}

void MprisAdapter::Seek(std::int64_t offset_us) {
  if (!state_.can_seek) return;
  std::int64_t target_us = PositionUs() + offset_us;
  if (length_ms_ > 0 && target_us > std::int64_t{length_ms_} * 1000) {
    // Past the end: as the end of the song would, go on to the next one.
    operations_.Next();
    return;
  }
  SeekToUs(std::max<std::int64_t>(target_us, 0));
}

void MprisAdapter::SetPosition(const std::string& track_path, std::int64_t position_us) {
  if (!state_.can_seek || track_path != state_.metadata.track_path) return;
  if (position_us < 0) return;
  if (length_ms_ > 0 && position_us > std::int64_t{length_ms_} * 1000) return;
  SeekToUs(position_us);
}

void MprisAdapter::OpenUri(const std::string& uri) {
  // Only what a command line may carry: a local file, or one of our own links.
  if (!requests_.open) return;
  if (uri.rfind(kLinkPrefix, 0) == 0) {
    requests_.open(uri);
  } else if (auto path = MprisTrack::PathFromFileUrl(uri)) {
    requests_.open(*path);
  }
}

void MprisAdapter::SetVolume(double volume) {
  if (std::isnan(volume)) return;
  int value = static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * 100.0));
  operations_.SetVolume(value);
  state_.volume = VolumeOf(value);
  Publish();
}

void MprisAdapter::SetLoopStatus(const std::string& loop_status) {
  playback::PlayMode current = operations_.Mode();
  auto mode = MprisModes::ModeForLoopStatus(loop_status, current);
  if (!mode) return;
  if (*mode != current) operations_.ChooseMode(*mode);
  OnModeChanged(*mode);
}

void MprisAdapter::SetShuffle(bool shuffle) {
  playback::PlayMode current = operations_.Mode();
  playback::PlayMode mode = MprisModes::ModeForShuffle(shuffle, current);
  if (mode != current) operations_.ChooseMode(mode);
  OnModeChanged(mode);
}

std::int64_t MprisAdapter::PositionUs() {
  int position_ms = operations_.PositionMs();
  return position_ms < 0 ? 0 : std::int64_t{position_ms} * 1000;
}

void MprisAdapter::SeekToUs(std::int64_t position_us) {
  int position_ms = static_cast<int>(std::min<std::int64_t>(position_us / 1000, INT32_MAX));
  if (!operations_.Seek(position_ms)) return;
  if (service_ != nullptr) service_->EmitSeeked(std::int64_t{position_ms} * 1000);
}

void MprisAdapter::RebuildMetadata() {
  if (record_.empty() && title_.empty()) {
    state_.metadata = desktop::MprisMetadata{};
    state_.metadata.as_text = now_playing_;
  } else {
    state_.metadata = MprisTrack::Build(record_, title_, length_ms_, art_path_, now_playing_);
  }
  state_.can_seek = state_.metadata.track_path != desktop::MprisMetadata::kNoTrack;
}

void MprisAdapter::Publish() {
  if (service_ != nullptr) service_->Publish(state_);
}

}  // namespace quillo::ui
