#include "playback/QueuePlaySurface.h"

#include <algorithm>
#include <string>

#include "playback/AudioLevels.h"
#include "playback/PlayQueue.h"
#include "playback/Player.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"

namespace quillo::playback {

QueuePlaySurface::QueuePlaySurface(PlayQueue& queue, Player& player, store::DocumentStore& store)
    : queue_(queue), player_(player), store_(store) {
  player_.SetVolume(std::clamp(store_.GetConfigInt(store::keys::kVolume, AudioLevels::kDefaultVolume), 0, 100));
  player_.SetMute(Muted());
}

void QueuePlaySurface::Play() {
  queue_.Play();
}
void QueuePlaySurface::Pause() {
  queue_.Pause();
}
void QueuePlaySurface::PlayPause() {
  if (player_.IsActive() && !player_.IsPaused()) {
    Pause();
  } else {
    Play();
  }
}
void QueuePlaySurface::Stop() {
  player_.Stop();
}
void QueuePlaySurface::Next() {
  queue_.Next();
}
void QueuePlaySurface::Previous() {
  queue_.Previous();
}
void QueuePlaySurface::ReplayCurrent() {
  queue_.ReplayCurrent();
}
void QueuePlaySurface::PlaySong(const std::string& list_id, const store::MusicRecord& record) {
  queue_.PlaySelected(list_id, record);
}
void QueuePlaySurface::PlayListItem(const std::string& list_id, const std::string& music_id) {
  queue_.PlayListItem(list_id, music_id);
}
bool QueuePlaySurface::Seek(int position_ms) {
  return player_.Seek(position_ms);
}
int QueuePlaySurface::PositionMs() {
  return player_.GetPositionMs();
}
int QueuePlaySurface::DurationMs() {
  return player_.GetDurationMs();
}
bool QueuePlaySurface::IsActive() const {
  return player_.IsActive();
}
bool QueuePlaySurface::IsPaused() const {
  return player_.IsPaused();
}
bool QueuePlaySurface::HasFailed(const std::string& music_id) const {
  return queue_.HasFailed(music_id);
}
int QueuePlaySurface::Volume() const {
  return player_.GetVolume();
}
void QueuePlaySurface::SetVolume(int volume) {
  volume = std::clamp(volume, 0, 100);
  player_.SetVolume(volume);
  store_.SetConfigText(store::keys::kVolume, std::to_string(volume));
}
bool QueuePlaySurface::Muted() const {
  return store_.GetConfigText(store::keys::kMute) == "true";
}
void QueuePlaySurface::SetMuted(bool muted) {
  player_.SetMute(muted);
  store_.SetConfigText(store::keys::kMute, muted ? "true" : "false");
}
PlayMode QueuePlaySurface::Mode() const {
  return PlayQueueMode::Current(store_);
}
void QueuePlaySurface::ChooseMode(PlayMode mode) {
  if (!PlayQueueMode::Choose(store_, mode)) return;
  mode_listeners_.ForEach([mode](PlayModeListener& listener) { listener.OnPlayModeChanged(mode); });
}

}  // namespace quillo::playback
