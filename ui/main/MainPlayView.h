#pragma once
// The main window's play display as the play queue sees it: the status line, the play and pause
// buttons, the time, the seek and volume thumbs, mute, the caption marquee, the playing row and
// the artist picture. The window owns it and registers it with the play queue's views for as
// long as the window exists; each call is drawn by the window.
//
// Window thread only.
#include <string>

#include "playback/PlayQueueView.h"

namespace quillo::ui {

class SorvelMainDlg;

class MainPlayView : public playback::PlayQueueView {
 public:
  explicit MainPlayView(SorvelMainDlg& window) : window_(window) {}

  void SetStatusText(const std::string& text) override;
  void ShowPauseButton(bool show_pause) override;
  void ClearTimeDisplay() override;
  void ShowTime(int position_s, int length_s) override;
  void ResetSeekBar() override;
  void ShowVolume(int volume) override;
  void ShowMuted(bool muted) override;
  void SetTitleMarquee(bool running) override;
  void MarkPlayingSong(const std::string& music_id) override;
  void SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) override;
  void ShowNowPlaying(const std::string& title) override;

 private:
  SorvelMainDlg& window_;
};

}  // namespace quillo::ui
