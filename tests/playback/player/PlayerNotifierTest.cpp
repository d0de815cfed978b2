// Typed notifications through the notifier: what is posted arrives as it was posted, later,
// in order, and only at the listeners registered when it was posted and still registered.
#include "playback/PlayerNotifier.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/loop/LoopTarget.h"
#include "platform/loop/MainLoop.h"

namespace quillo::playback {
namespace {

class Recorder : public PlayerListener {
 public:
  void OnPlayerNotification(const PlayerNotification& notification) override {
    received.push_back(notification);
  }
  std::vector<PlayerNotification> received;
};

class PlayerNotifierTest : public ::testing::Test {
 protected:
  void Deliver() { loop_.PumpPending(); }

  loop::MainLoop loop_;
  loop::LoopTarget target_{loop_};
  PlayerNotifier notifier_{target_};
};

TEST_F(PlayerNotifierTest, EveryKindArrivesWithItsValuesInOrder) {
  Recorder listener;
  notifier_.Add(listener);
  const std::vector<PlayerNotification> posted = {
      StateChanged{PlayerState::kStarted},
      PositionChanged{.position_s = 65537, .duration_s = 70000},
      VolumeChanged{37},
      MuteChanged{true},
      BufferingProgress{42},
      MuteChanged{false},
      StateChanged{PlayerState::kFinished},
  };
  for (const PlayerNotification& notification : posted) notifier_.Post(notification);
  EXPECT_TRUE(listener.received.empty()) << "never from inside the poster's call";
  Deliver();
  EXPECT_EQ(listener.received, posted);
}

TEST_F(PlayerNotifierTest, OnlyListenersRegisteredAtThePostAndStillRegisteredHearIt) {
  Recorder early, late, removed;
  notifier_.Add(early);
  notifier_.Add(removed);
  notifier_.PostState(PlayerState::kOpening);
  notifier_.Add(late);
  notifier_.Remove(removed);
  notifier_.Post(VolumeChanged{5});
  Deliver();
  EXPECT_EQ(early.received, (std::vector<PlayerNotification>{StateChanged{PlayerState::kOpening},
                                                             VolumeChanged{5}}));
  EXPECT_EQ(late.received, std::vector<PlayerNotification>{VolumeChanged{5}});
  EXPECT_TRUE(removed.received.empty());
}

}  // namespace
}  // namespace quillo::playback
