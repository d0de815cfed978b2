#pragma once
// The operations the media-player service (and the tray) reach the program through: the play
// queue's user commands, the player's position and volume, the play mode, and the two window
// operations of the service's root interface. The main window implements it over PlayQueue and
// Player; tests use a fake that records the calls.
//
// Threads: window thread only; calls come from the loop, never from inside a player operation.
#include <string>

#include "playback/PlayQueueMode.h"

namespace quillo::ui {

class PlayOperations {
 public:
  virtual ~PlayOperations() = default;

  // Resumes a paused player, else replays the current song (PlayQueue::Play).
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  // The play queue's next and previous songs, wrapping (PlayQueue::Next, ::Previous).
  virtual void Next() = 0;
  virtual void Previous() = 0;
  // Moves the playing song to position_ms; false when nothing can seek.
  virtual bool Seek(int position_ms) = 0;

  virtual int PositionMs() = 0;  // -1 when nothing is loaded
  virtual int DurationMs() = 0;  // -1 when unknown
  virtual bool IsActive() const = 0;
  virtual bool IsPaused() const = 0;

  // 0..100, as the main window's volume commands set it (the configuration follows).
  virtual int Volume() const = 0;
  virtual void SetVolume(int volume) = 0;

  virtual playback::PlayMode Mode() const = 0;
  // As the user's choice in the play-mode menu (the stored key and the button follow).
  virtual void ChooseMode(playback::PlayMode mode) = 0;

  // A file path, "file://" address or "quillo://add/" link, handled as a command line given to
  // a second instance is (adds and plays a file, adds a link's songs).
  virtual void OpenUri(const std::string& uri) = 0;

  // Shows and raises the main window (as the tray's left click does).
  virtual void Raise() = 0;
  // Quits as the tray menu's exit command does (never merely minimises).
  virtual void Quit() = 0;
};

}  // namespace quillo::ui
