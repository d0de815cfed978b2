#pragma once
// The program's play surface: song commands go to the play queue, position to the player, and
// the settings are stored here ("module.music.volume", ".mute", ".play_mode") and applied to the
// player. Made once per run, after the queue; its construction gives the player the stored
// volume and mute.
//
// Window thread only. The queue, the player and the store outlive it.
#include "platform/loop/ListenerList.h"
#include "playback/PlaySurface.h"

namespace quillo::store {
class DocumentStore;
}

namespace quillo::playback {

class PlayQueue;
class Player;

class QueuePlaySurface : public PlaySurface {
 public:
  QueuePlaySurface(PlayQueue& queue, Player& player, store::DocumentStore& store);

  void Play() override;
  void Pause() override;
  void PlayPause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  void ReplayCurrent() override;
  void PlaySong(const std::string& list_id, const store::MusicRecord& record) override;
  void PlayListItem(const std::string& list_id, const std::string& music_id) override;
  bool Seek(int position_ms) override;
  int PositionMs() override;
  int DurationMs() override;
  bool IsActive() const override;
  bool IsPaused() const override;
  bool HasFailed(const std::string& music_id) const override;
  int Volume() const override;
  void SetVolume(int volume) override;
  bool Muted() const override;
  void SetMuted(bool muted) override;
  PlayMode Mode() const override;
  void ChooseMode(PlayMode mode) override;
  loop::Subscription AddModeListener(PlayModeListener& listener) override {
    return mode_listeners_.Add(listener);
  }

 private:
  PlayQueue& queue_;
  Player& player_;
  store::DocumentStore& store_;
  loop::ListenerList<PlayModeListener> mode_listeners_;
};

}  // namespace quillo::playback
