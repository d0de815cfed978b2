#pragma once
// A MediaPlayer over a fake graph factory and a real safe downloader whose transfers are
// scripted (FakeTransferClient), with a store in a temporary data folder and a listener that
// records every notification delivered through the loop.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "fakes/FakeMediaGraph.h"
#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayCache.h"
#include "playback/PlayerNotification.h"
#include "service/transfer/SafeDownloader.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::playback {

inline int S(PlayerState state) {
  return static_cast<int>(state);
}

class RecordingListener : public PlayerListener {
 public:
  void OnPlayerNotification(const PlayerNotification& notification) override {
    received.push_back(notification);
  }
  std::vector<PlayerNotification> received;

  // The payloads of every notification of one kind, in order of arrival.
  template <typename Kind>
  std::vector<Kind> All() const {
    std::vector<Kind> values;
    for (const auto& n : received) {
      if (const auto* value = std::get_if<Kind>(&n)) values.push_back(*value);
    }
    return values;
  }
  std::vector<int> States() const {
    std::vector<int> states;
    for (const StateChanged& changed : All<StateChanged>()) states.push_back(S(changed.state));
    return states;
  }
  std::vector<int> Volumes() const {
    std::vector<int> volumes;
    for (const VolumeChanged& changed : All<VolumeChanged>()) volumes.push_back(changed.volume);
    return volumes;
  }
  std::vector<bool> Mutes() const {
    std::vector<bool> mutes;
    for (const MuteChanged& changed : All<MuteChanged>()) mutes.push_back(changed.muted);
    return mutes;
  }
  std::vector<int> Percents() const {
    std::vector<int> percents;
    for (const BufferingProgress& progress : All<BufferingProgress>()) {
      percents.push_back(progress.percent);
    }
    return percents;
  }
  bool HasState(PlayerState state) const {
    for (const StateChanged& changed : All<StateChanged>()) {
      if (changed.state == state) return true;
    }
    return false;
  }
};

class PlayerFixture : public ::testing::Test {
 protected:
  using Handler = testing::FakeTransferClient::Handler;

  PlayerFixture() {
    runtime_.Open(/*start_saver=*/false);
    auto client = std::make_unique<testing::FakeTransferClient>(
        [this](const testing::FakeAttempt& attempt, int index) {
          return handler_ ? handler_(attempt, index) : testing::FakeAnswer{};
        });
    client_ = client.get();
    downloader_ = std::make_unique<service::SafeDownloader>(loop_, std::move(client));
    cache_ = std::make_unique<PlayCache>(runtime_.store(), runtime_.library());
    player_ = std::make_unique<MediaPlayer>(MediaPlayer::Services{
        loop_, graphs_, *downloader_, runtime_.store(), &runtime_.library(), cache_.get()});
    player_->SetClock([this] { return now_ms_; });
    player_->SetMessageBoxHook([this](const std::string& text) { messages_.push_back(text); });
    player_->AddListener(listener_);
  }
  ~PlayerFixture() override {
    player_.reset();
    downloader_->Shutdown();
    downloader_.reset();
    runtime_.Close();
  }

  // Handles everything the loop has ready (queued notifications, graph events).
  void Drain() { loop_.PumpPending(); }
  bool PumpUntil(const std::function<bool()>& condition) {
    return loop_.PumpUntil(condition, std::chrono::seconds(20));
  }

  // An answer of `size` bytes announcing `announced` (none when negative), given `piece` bytes
  // per read; it stops after the first `deliver` bytes and then stalls (the download runs on).
  static testing::FakeAnswer SongAnswer(std::size_t size, long announced, std::size_t piece,
                                        std::size_t deliver = std::string::npos) {
    testing::FakeAnswer answer;
    answer.body.assign(std::min(size, deliver), '\x55');
    if (announced >= 0) answer.headers = {{"Content-Length", std::to_string(announced)}};
    answer.piece = piece;
    answer.stall_after_body = deliver < size;
    return answer;
  }
  void Serve(testing::FakeAnswer answer) {
    handler_ = [answer](const testing::FakeAttempt&, int) { return answer; };
  }
  std::string CacheFolder() { return runtime_.store().FolderPath(".cache"); }

  testing::TempFolder data_;
  store::StoreRuntime runtime_{data_.path()};
  loop::MainLoop loop_;
  Handler handler_;
  testing::FakeTransferClient* client_ = nullptr;
  std::unique_ptr<service::SafeDownloader> downloader_;
  testing::FakeMediaGraphFactory graphs_;
  std::unique_ptr<PlayCache> cache_;
  std::unique_ptr<MediaPlayer> player_;
  RecordingListener listener_;
  std::int64_t now_ms_ = 100000;
  std::vector<std::string> messages_;
};

}  // namespace quillo::playback
