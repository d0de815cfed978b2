#pragma once
// The play queue's view for the whole run: the queue is made once and tells this object, which
// passes everything on to the views registered at the moment (the main window while it is open,
// the run's reporter). A view registers for as long as its subscription lives; with none
// registered the queue's news goes nowhere.
//
// Window thread only.
#include <string>

#include "platform/loop/ListenerList.h"
#include "playback/PlayQueueView.h"

namespace quillo::playback {

class PlayQueueViews : public PlayQueueView {
 public:
  [[nodiscard]] loop::Subscription Add(PlayQueueView& view) { return views_.Add(view); }

  void SetStatusText(const std::string& text) override {
    views_.ForEach([&](PlayQueueView& v) { v.SetStatusText(text); });
  }
  void ShowPauseButton(bool show_pause) override {
    views_.ForEach([&](PlayQueueView& v) { v.ShowPauseButton(show_pause); });
  }
  void ClearTimeDisplay() override {
    views_.ForEach([](PlayQueueView& v) { v.ClearTimeDisplay(); });
  }
  void ShowTime(int position_s, int length_s) override {
    views_.ForEach([&](PlayQueueView& v) { v.ShowTime(position_s, length_s); });
  }
  void ResetSeekBar() override {
    views_.ForEach([](PlayQueueView& v) { v.ResetSeekBar(); });
  }
  void ShowVolume(int volume) override {
    views_.ForEach([&](PlayQueueView& v) { v.ShowVolume(volume); });
  }
  void ShowMuted(bool muted) override {
    views_.ForEach([&](PlayQueueView& v) { v.ShowMuted(muted); });
  }
  void SetTitleMarquee(bool running) override {
    views_.ForEach([&](PlayQueueView& v) { v.SetTitleMarquee(running); });
  }
  void MarkPlayingSong(const std::string& music_id) override {
    views_.ForEach([&](PlayQueueView& v) { v.MarkPlayingSong(music_id); });
  }
  void SetCurrentArtist(const std::string& artist_id, const std::string& artist_name) override {
    views_.ForEach([&](PlayQueueView& v) { v.SetCurrentArtist(artist_id, artist_name); });
  }
  void ShowNowPlaying(const std::string& title) override {
    views_.ForEach([&](PlayQueueView& v) { v.ShowNowPlaying(title); });
  }

 private:
  loop::ListenerList<PlayQueueView> views_;
};

}  // namespace quillo::playback
