#pragma once
// A player that plays nothing: it records what it was asked to play and lets the test deliver
// notifications to its listeners, as the real player's loop posts do.
#include <algorithm>
#include <string>
#include <vector>

#include "playback/Player.h"
#include "playback/PlayerNotification.h"

namespace quillo::testing {

class FakePlayer : public playback::Player {
 public:
  struct Played {
    bool stream = false;
    std::string source;  // the path or the URL
    std::string music_id;
    std::string title;
  };

  void AddListener(playback::PlayerListener& listener) override { listeners_.push_back(&listener); }
  void RemoveListener(playback::PlayerListener& listener) override {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener),
                     listeners_.end());
  }

  bool PlayFile(const std::string& path, const std::string& music_id,
                const std::string& title) override {
    return Start({false, path, music_id, title});
  }
  bool PlayStream(const std::string& url, const std::string& music_id,
                  const std::string& title) override {
    return Start({true, url, music_id, title});
  }
  void Stop() override {
    ++stops;
    paused_ = false;
  }
  void Pause() override {
    ++pauses;
    paused_ = true;
  }
  void Resume() override {
    ++resumes;
    paused_ = false;
  }
  bool Seek(int) override { return true; }
  int GetPositionMs() override { return -1; }
  int GetDurationMs() override { return -1; }
  bool IsActive() const override { return !played.empty(); }
  bool IsPaused() const override { return paused_; }
  int GetVolume() const override { return volume_; }
  void SetVolume(int volume) override { volume_ = volume; }
  void SetMute(bool on) override { muted = on; }
  int GetBalance() const override { return 0; }
  void SetBalance(int) override {}
  std::string GetTitle() const override {
    return played.empty() ? std::string() : played.back().title;
  }
  std::string GetMusicId() const override {
    return played.empty() ? std::string() : played.back().music_id;
  }
  std::string GetDisplayTitle() override { return GetTitle(); }

  // Delivers a notification to every listener (the test plays the loop's part).
  void Notify(const playback::PlayerNotification& notification) {
    std::vector<playback::PlayerListener*> listeners = listeners_;
    for (playback::PlayerListener* listener : listeners)
      listener->OnPlayerNotification(notification);
  }
  void NotifyState(playback::PlayerState state) { Notify(playback::StateChanged{state}); }
  std::size_t listener_count() const { return listeners_.size(); }

  std::vector<Played> played;
  int stops = 0;
  int pauses = 0;
  int resumes = 0;
  bool muted = false;

 private:
  bool Start(Played song) {
    played.push_back(std::move(song));
    paused_ = false;
    return true;
  }

  std::vector<playback::PlayerListener*> listeners_;
  bool paused_ = false;
  int volume_ = 100;
};

}  // namespace quillo::testing
