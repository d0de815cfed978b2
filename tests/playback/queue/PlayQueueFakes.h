#pragma once
// The main window, the select box and the lyric views as the play queue's tests see them.
#include <optional>
#include <string>
#include <vector>

#include "playback/LyricStarter.h"
#include "playback/PlayQueueView.h"
#include "playback/SongSelectBox.h"

namespace quillo::testing {

class FakeQueueView : public playback::PlayQueueView {
 public:
  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void ShowPauseButton(bool show_pause) override { pause_shown = show_pause; }
  void ClearTimeDisplay() override { ++time_clears; }
  void ShowTime(int position_s, int length_s) override { time = {position_s, length_s}; }
  void ResetSeekBar() override { ++seek_resets; }
  void ShowVolume(int value) override { volume = value; }
  void ShowMuted(bool on) override { muted = on; }
  void SetTitleMarquee(bool running) override { marquee = running; }
  void MarkPlayingSong(const std::string& music_id) override { marked.push_back(music_id); }
  void SetCurrentArtist(const std::string& artist_id, const std::string&) override {
    artist = artist_id;
  }
  void ShowNowPlaying(const std::string& title) override { now_playing.push_back(title); }

  std::string LastStatus() const { return status.empty() ? std::string("<none>") : status.back(); }

  std::vector<std::string> status;
  std::optional<bool> pause_shown;
  int time_clears = 0;
  std::optional<std::pair<int, int>> time;
  int seek_resets = 0;
  std::optional<int> volume;
  std::optional<bool> muted;
  std::optional<bool> marquee;
  std::vector<std::string> marked;
  std::string artist;
  std::vector<std::string> now_playing;
};

class FakeSelectBox : public playback::SongSelectBox {
 public:
  std::optional<int> Select(const std::string& text, const std::vector<std::string>& choices,
                            int preselected_index) override {
    ++shown;
    message = text;
    options = choices;
    preselected = preselected_index;
    return answer;
  }
  std::optional<int> answer;
  int shown = 0;
  std::string message;
  std::vector<std::string> options;
  int preselected = -1;
};

class FakeLyrics : public playback::LyricStarter {
 public:
  void ResetLyricViews() override { ++resets; }
  void StartLyrics(const playback::LyricStart& start) override { starts.push_back(start); }
  void ClearLyricView(bool reattach) override { clears.push_back(reattach); }
  int resets = 0;
  std::vector<playback::LyricStart> starts;
  std::vector<bool> clears;
};

}  // namespace quillo::testing
