#include "ui/desktop/QueuePlayOperations.h"

#include <utility>

#include "playback/PlayQueue.h"
#include "playback/PlayQueueMode.h"
#include "playback/Player.h"

namespace quillo::ui {

QueuePlayOperations::QueuePlayOperations(std::function<playback::PlayQueue*()> queue,
                                         playback::Player& player, store::DocumentStore& store,
                                         WindowActions actions)
    : queue_(std::move(queue)), player_(player), store_(store), actions_(std::move(actions)) {}

void QueuePlayOperations::Play() {
  if (playback::PlayQueue* queue = queue_()) queue->Play();
}
void QueuePlayOperations::Pause() {
  if (playback::PlayQueue* queue = queue_()) queue->Pause();
}
void QueuePlayOperations::Stop() {
  player_.Stop();
}
void QueuePlayOperations::Next() {
  if (playback::PlayQueue* queue = queue_()) queue->Next();
}
void QueuePlayOperations::Previous() {
  if (playback::PlayQueue* queue = queue_()) queue->Previous();
}
bool QueuePlayOperations::Seek(int position_ms) {
  return player_.Seek(position_ms);
}
int QueuePlayOperations::PositionMs() {
  return player_.GetPositionMs();
}
int QueuePlayOperations::DurationMs() {
  return player_.GetDurationMs();
}
bool QueuePlayOperations::IsActive() const {
  return player_.IsActive();
}
bool QueuePlayOperations::IsPaused() const {
  return player_.IsPaused();
}
int QueuePlayOperations::Volume() const {
  return player_.GetVolume();
}
void QueuePlayOperations::SetVolume(int volume) {
  player_.SetVolume(volume);
}

playback::PlayMode QueuePlayOperations::Mode() const {
  return playback::PlayQueueMode::Current(store_);
}

void QueuePlayOperations::ChooseMode(playback::PlayMode mode) {
  if (playback::PlayQueueMode::Choose(store_, mode) && actions_.mode_changed) {
    actions_.mode_changed(mode);
  }
}

void QueuePlayOperations::OpenUri(const std::string& uri) {
  if (actions_.open) actions_.open(uri);
}
void QueuePlayOperations::Raise() {
  if (actions_.raise) actions_.raise();
}
void QueuePlayOperations::Quit() {
  if (actions_.quit) actions_.quit();
}

}  // namespace quillo::ui
