#pragma once
// Play operations that play nothing: they record each call in order ("Play", "Seek 5000",
// "SetVolume 40", "ChooseMode 4", "OpenUri file:///a.mp3") and answer from fields the test sets.
#include <string>
#include <vector>

#include "ui/desktop/PlayOperations.h"

namespace quillo::testing {

class FakePlayOperations : public ui::PlayOperations {
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
  void Stop() override {
    calls.push_back("Stop");
    active = false;
    paused = false;
  }
  void Next() override { calls.push_back("Next"); }
  void Previous() override { calls.push_back("Previous"); }
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
  int Volume() const override { return volume; }
  void SetVolume(int value) override {
    calls.push_back("SetVolume " + std::to_string(value));
    volume = value;
  }
  playback::PlayMode Mode() const override { return mode; }
  void ChooseMode(playback::PlayMode value) override {
    calls.push_back("ChooseMode " + std::to_string(static_cast<int>(value)));
    mode = value;
  }
  void OpenUri(const std::string& uri) override { calls.push_back("OpenUri " + uri); }
  void Raise() override { calls.push_back("Raise"); }
  void Quit() override { calls.push_back("Quit"); }

  std::vector<std::string> calls;
  bool active = false;
  bool paused = false;
  bool can_seek = true;
  int position_ms = -1;
  int duration_ms = -1;
  int volume = 80;
  playback::PlayMode mode = playback::PlayMode::kAllRepeat;
};

}  // namespace quillo::testing
