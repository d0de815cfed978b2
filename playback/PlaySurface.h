#pragma once
// The operations a person can ask of playback, wherever they ask: the main window's buttons and
// menus, the tray menu, the media-player service (media keys, playerctl), the lyric views'
// buttons and the playlist commands. One object implements them for the whole run
// (QueuePlaySurface), so every control does the same thing and the settings they change
// (volume, mute, play mode) are kept in one place.
//
// Window thread only; calls come from the loop, never from inside a player operation.
#include <string>

#include "platform/loop/Subscription.h"
#include "playback/PlayQueueMode.h"
#include "store/MusicRecord.h"

namespace quillo::playback {

class PlayModeListener {
 public:
  virtual ~PlayModeListener() = default;
  // The stored play mode changed (whoever chose it).
  virtual void OnPlayModeChanged(PlayMode mode) = 0;
};

class PlaySurface {
 public:
  virtual ~PlaySurface() = default;

  // ---- Songs ---------------------------------------------------------------------------------
  // Resumes a paused player, else plays the current song again (the next one when nothing is
  // current).
  virtual void Play() = 0;
  virtual void Pause() = 0;
  // Pauses while a song plays, else Play.
  virtual void PlayPause() = 0;
  virtual void Stop() = 0;
  // The current list's next and previous songs under the play mode, wrapping.
  virtual void Next() = 0;
  virtual void Previous() = 0;
  // The current song again from its start (the next one when nothing is current).
  virtual void ReplayCurrent() = 0;
  // A song chosen in a list (double-click, "播放"): the list becomes current.
  virtual void PlaySong(const std::string& list_id, const store::MusicRecord& record) = 0;
  // Makes the list's song current and plays it with a fresh failure count (a file opened
  // from the command line).
  virtual void PlayListItem(const std::string& list_id, const std::string& music_id) = 0;
  // Moves the playing song to position_ms; false when nothing can seek.
  virtual bool Seek(int position_ms) = 0;

  // ---- What plays ----------------------------------------------------------------------------
  virtual int PositionMs() = 0;  // -1 when nothing is loaded
  virtual int DurationMs() = 0;  // -1 when unknown
  virtual bool IsActive() const = 0;
  virtual bool IsPaused() const = 0;
  // The song failed since the last successful start (its row is drawn as failed).
  virtual bool HasFailed(const std::string& music_id) const = 0;

  // ---- Settings, kept in "module.music.volume", ".mute" and ".play_mode" --------------------
  virtual int Volume() const = 0;
  // 0..100 (clamped); unmutes nothing.
  virtual void SetVolume(int volume) = 0;
  virtual bool Muted() const = 0;
  virtual void SetMuted(bool muted) = 0;
  virtual PlayMode Mode() const = 0;
  // Stores the mode when it differs; its listeners hear of a change.
  virtual void ChooseMode(PlayMode mode) = 0;
  [[nodiscard]] virtual loop::Subscription AddModeListener(PlayModeListener& listener) = 0;
};

}  // namespace quillo::playback
