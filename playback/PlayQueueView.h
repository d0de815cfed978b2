#pragma once
// The main window as the play queue sees it: the scrolling status line, the play/pause buttons,
// the time display, the seek bar, the volume and mute controls, the taskbar title marquee, the
// song list's playing mark and the now-playing message. The main window implements it; the
// queue only decides when each of them changes. Window thread only.
#include <string>

namespace quillo::playback {

class PlayQueueView {
 public:
  virtual ~PlayQueueView() = default;

  virtual void SetStatusText(const std::string& text) = 0;
  // true: the Pause button shown and the Play button hidden; false: the reverse.
  virtual void ShowPauseButton(bool show_pause) = 0;
  virtual void ClearTimeDisplay() = 0;
  virtual void ShowTime(int position_s, int length_s) = 0;
  // The seek bar returns to its start.
  virtual void ResetSeekBar() = 0;
  // The player's volume (0..100); the window leaves the slider alone while the user drags it.
  virtual void ShowVolume(int volume) = 0;
  // true: the unmute button shown and the mute button hidden; false: the reverse.
  virtual void ShowMuted(bool muted) = 0;
  virtual void SetTitleMarquee(bool running) = 0;
  // The song list marks the playing song.
  virtual void MarkPlayingSong(const std::string& music_id) = 0;
  // The artist of the song being started (artist page and picture); either may be empty.
  virtual void SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) = 0;
  // Posted once a song was started: tray tip := title, marquee restarted.
  virtual void ShowNowPlaying(const std::string& title) = 0;
};

}  // namespace quillo::playback
