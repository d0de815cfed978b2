#pragma once
// The play operations over the program's own play queue, player and store, which the tray and
// the media-player adapter drive: the song commands go to the play queue as the window's buttons
// send them, position and volume to the player (which keeps "module.music.volume"), the play mode
// to the stored key. What needs the window (raise, quit, open a file or link, follow a mode
// change) is given as callbacks.
//
// Threads: window thread only. Ownership: the player and the store must outlive this object. The
// play queue is asked for at every song command, because the program makes it again when the
// service's address arrives; without one the song commands do nothing.
#include <functional>
#include <string>

#include "ui/desktop/PlayOperations.h"

namespace quillo::store {
class DocumentStore;
}
namespace quillo::playback {
class PlayQueue;
class Player;
}  // namespace quillo::playback

namespace quillo::ui {

class QueuePlayOperations : public PlayOperations {
 public:
  struct WindowActions {
    std::function<void()> raise;
    std::function<void()> quit;  // must post the shutdown (see PlayOperations::Quit)
    // A local path or a "quillo://add/" link, as a second instance's command line.
    std::function<void(const std::string&)> open;
    // After a client changed the stored mode: the play-mode button follows.
    std::function<void(playback::PlayMode)> mode_changed;
  };

  QueuePlayOperations(std::function<playback::PlayQueue*()> queue, playback::Player& player,
                      store::DocumentStore& store, WindowActions actions);

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

 private:
  std::function<playback::PlayQueue*()> queue_;
  playback::Player& player_;
  store::DocumentStore& store_;
  WindowActions actions_;
};

}  // namespace quillo::ui
