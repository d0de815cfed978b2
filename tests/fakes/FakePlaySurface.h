#pragma once
// A play surface that plays nothing: it records each call in order ("Play", "Seek 5000",
// "SetVolume 40", "ChooseMode 4", and, through Requests(), "OpenUri file:///a.mp3", "Raise",
// "Quit") and answers from fields the test sets.
#include <string>
#include <vector>

#include "platform/loop/ListenerList.h"
#include "playback/PlaySurface.h"
#include "ui/desktop/MprisAdapter.h"

namespace quillo::testing {

class FakePlaySurface : public playback::PlaySurface {
 public:
  void Play() override {
    calls.push_back("Play");
    active = true;
    paused = false;
  }
  void Pause() override {
    calls.push_back("Pause");
    paused = true;
  }
  void PlayPause() override {
    if (active && !paused) {
      Pause();
    } else {
      Play();
    }
  }
  void Stop() override {
    calls.push_back("Stop");
    active = false;
    paused = false;
  }
  void Next() override { calls.push_back("Next"); }
  void Previous() override { calls.push_back("Previous"); }
  void ReplayCurrent() override { calls.push_back("ReplayCurrent"); }
  void PlaySong(const std::string& list_id, const store::MusicRecord& record) override {
    calls.push_back("PlaySong " + list_id + " " + store::IdOf(record));
  }
  void PlayListItem(const std::string& list_id, const std::string& music_id) override {
    calls.push_back("PlayListItem " + list_id + " " + music_id);
  }
  bool Seek(int position) override {
    calls.push_back("Seek " + std::to_string(position));
    if (!can_seek) return false;
    position_ms = position;
    return true;
  }
  int PositionMs() override { return position_ms; }
  int DurationMs() override { return duration_ms; }
  bool IsActive() const override { return active; }
  bool IsPaused() const override { return paused; }
  bool HasFailed(const std::string&) const override { return false; }
  int Volume() const override { return volume; }
  void SetVolume(int value) override {
    calls.push_back("SetVolume " + std::to_string(value));
    volume = value;
  }
  bool Muted() const override { return muted; }
  void SetMuted(bool value) override {
    calls.push_back(value ? "Mute" : "Unmute");
    muted = value;
  }
  playback::PlayMode Mode() const override { return mode; }
  void ChooseMode(playback::PlayMode value) override {
    calls.push_back("ChooseMode " + std::to_string(static_cast<int>(value)));
    if (value == mode) return;
    mode = value;
    listeners_.ForEach([&](playback::PlayModeListener& l) { l.OnPlayModeChanged(value); });
  }
  loop::Subscription AddModeListener(playback::PlayModeListener& listener) override {
    return listeners_.Add(listener);
  }

  // The window's part of a media-player client's calls, recorded in the same list.
  ui::MprisAdapter::WindowRequests Requests() {
    return {[this] { calls.push_back("Raise"); }, [this] { calls.push_back("Quit"); },
            [this](const std::string& uri) { calls.push_back("OpenUri " + uri); }};
  }

  std::vector<std::string> calls;
  bool active = false;
  bool paused = false;
  bool can_seek = true;
  bool muted = false;
  int position_ms = -1;
  int duration_ms = -1;
  int volume = 80;
  playback::PlayMode mode = playback::PlayMode::kAllRepeat;

 private:
  loop::ListenerList<playback::PlayModeListener> listeners_;
};

}  // namespace quillo::testing
