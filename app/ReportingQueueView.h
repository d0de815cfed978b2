#pragma once
// The main window as the play queue's view, with the status line and every started song's title
// also told to the run's reporter ("status: …" when the text changes, "now playing: …"), so
// scripts and tests that follow the output see what the window shows. Everything else goes to
// the window unchanged. Window thread only; holds references to both, which outlive it.
#include <functional>
#include <string>

#include "playback/PlayQueueView.h"

namespace quillo::app {

class ReportingQueueView : public playback::PlayQueueView {
 public:
  ReportingQueueView(playback::PlayQueueView& window,
                     std::function<void(const std::string& line)> report)
      : window_(window), report_(std::move(report)) {}

  void SetStatusText(const std::string& text) override {
    if (text != last_status_) {
      last_status_ = text;
      report_("status: " + text);
    }
    window_.SetStatusText(text);
  }
  void ShowNowPlaying(const std::string& title) override {
    report_("now playing: " + title);
    window_.ShowNowPlaying(title);
  }
  void ShowPauseButton(bool show_pause) override { window_.ShowPauseButton(show_pause); }
  void ClearTimeDisplay() override { window_.ClearTimeDisplay(); }
  void ShowTime(int position_s, int length_s) override { window_.ShowTime(position_s, length_s); }
  void ResetSeekBar() override { window_.ResetSeekBar(); }
  void ShowVolume(int volume) override { window_.ShowVolume(volume); }
  void ShowMuted(bool muted) override { window_.ShowMuted(muted); }
  void SetTitleMarquee(bool running) override { window_.SetTitleMarquee(running); }
  void MarkPlayingSong(const std::string& music_id) override { window_.MarkPlayingSong(music_id); }
  void SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) override {
    window_.SetCurrentArtist(artist_id, artist_name);
  }

 private:
  playback::PlayQueueView& window_;
  std::function<void(const std::string&)> report_;
  std::string last_status_;
};

}  // namespace quillo::app
