#pragma once
// The run's reporter as one of the play queue's views: the status line and every started song's
// title become lines of the run's output ("status: …" when the text changes, "now playing: …"),
// so scripts and tests that follow the output see what the window shows. The rest of the
// queue's news is for windows. Window thread only.
#include <functional>
#include <string>

#include "playback/PlayQueueView.h"

namespace quillo::app {

class ReportingQueueView : public playback::PlayQueueView {
 public:
  explicit ReportingQueueView(std::function<void(const std::string& line)> report)
      : report_(std::move(report)) {}

  void SetStatusText(const std::string& text) override {
    if (text == last_status_) return;
    last_status_ = text;
    report_("status: " + text);
  }
  void ShowNowPlaying(const std::string& title) override { report_("now playing: " + title); }
  void ShowPauseButton(bool) override {}
  void ClearTimeDisplay() override {}
  void ShowTime(int, int) override {}
  void ResetSeekBar() override {}
  void ShowVolume(int) override {}
  void ShowMuted(bool) override {}
  void SetTitleMarquee(bool) override {}
  void MarkPlayingSong(const std::string&) override {}
  void SetCurrentArtist(const std::string&, const std::string&) override {}

 private:
  std::function<void(const std::string&)> report_;
  std::string last_status_;
};

}  // namespace quillo::app
