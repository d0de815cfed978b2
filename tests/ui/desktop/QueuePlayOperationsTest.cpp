// Client calls through the media-player adapter reach the real play queue, player and store.
#include "ui/desktop/QueuePlayOperations.h"

#include <gtest/gtest.h>

#include "fakes/FakeMprisService.h"
#include "tests/playback/queue/PlayQueueFixture.h"
#include "ui/desktop/MprisAdapter.h"

namespace quillo::testing {
namespace {

using playback::PlayerState;
using playback::PlayMode;
using playback::PlayQueueMode;

class QueuePlayOperationsTest : public PlayQueueFixture {
 protected:
  void SetUp() override {
    PlayQueueFixture::SetUp();
    operations_ = std::make_unique<ui::QueuePlayOperations>(
        [this] { return queue_shown_ ? &queue() : nullptr; }, player_, store(),
        ui::QueuePlayOperations::WindowActions{
            [this] { window_.push_back("raise"); }, [this] { window_.push_back("quit"); },
            [this](const std::string& what) { window_.push_back("open " + what); },
            [this](PlayMode mode) {
              window_.push_back("mode " + std::string(PlayQueueMode::Value(mode)));
            }});
    adapter_ = std::make_unique<ui::MprisAdapter>(*operations_);
    adapter_->SetService(&service_);
    lists().SetTemporaryRecords("t_rank_1", {Song("201", "A"), Song("202", "B"), Song("203", "C")});
  }
  void TearDown() override {
    adapter_.reset();
    operations_.reset();
    PlayQueueFixture::TearDown();
  }

  FakeMprisService service_;
  std::unique_ptr<ui::QueuePlayOperations> operations_;
  std::unique_ptr<ui::MprisAdapter> adapter_;
  std::vector<std::string> window_;
  bool queue_shown_ = true;
};

TEST_F(QueuePlayOperationsTest, NextPreviousAndPlayPauseDriveTheQueue) {
  queue().PlayListItem("t_rank_1", "202");
  player_.NotifyState(PlayerState::kStarted);
  adapter_->Next();
  adapter_->Previous();
  EXPECT_EQ(PlayedIds(), (std::vector<std::string>{"202", "203", "202"}));

  adapter_->PlayPause();  // playing: pauses
  EXPECT_EQ(player_.pauses, 1);
  adapter_->PlayPause();  // paused: resumes, does not replay
  EXPECT_EQ(player_.resumes, 1);
  EXPECT_EQ(PlayedIds().size(), 3u);
  adapter_->Stop();
  EXPECT_EQ(player_.stops, 1);
}

TEST_F(QueuePlayOperationsTest, WithoutAQueueTheSongCommandsDoNothing) {
  queue().PlayListItem("t_rank_1", "202");
  player_.NotifyState(PlayerState::kStarted);
  queue_shown_ = false;  // the program is making its queue again
  adapter_->Next();
  adapter_->Previous();
  adapter_->PlayPause();
  adapter_->Play();
  EXPECT_EQ(PlayedIds(), std::vector<std::string>{"202"});
  EXPECT_EQ(player_.pauses, 0);
  // The player's own operations still answer.
  adapter_->Stop();
  EXPECT_EQ(player_.stops, 1);
}

TEST_F(QueuePlayOperationsTest, PlayWithNothingPlayingStartsTheCurrentSong) {
  queue().PlayListItem("t_rank_1", "203");
  player_.Stop();
  player_.played.clear();
  adapter_->Play();
  EXPECT_EQ(PlayedIds(), std::vector<std::string>{"203"});
}

TEST_F(QueuePlayOperationsTest, LoopAndShuffleWriteTheStoredModeAndTellTheWindow) {
  SetMode("all_repeat");
  adapter_->SetLoopStatus("Track");
  EXPECT_EQ(store().GetConfigText(store::keys::kPlayMode), "single_repeat");
  adapter_->SetShuffle(true);
  EXPECT_EQ(store().GetConfigText(store::keys::kPlayMode), "random");
  adapter_->SetShuffle(true);  // unchanged: nothing written, nothing to redraw
  EXPECT_EQ(window_, (std::vector<std::string>{"mode single_repeat", "mode random"}));
  EXPECT_EQ(service_.last().loop_status, "Playlist");
  EXPECT_TRUE(service_.last().shuffle);
}

TEST_F(QueuePlayOperationsTest, WindowActionsAreCalledBack) {
  adapter_->Raise();
  adapter_->OpenUri("file:///home/me/%E6%AD%8C.mp3");
  adapter_->Quit();
  EXPECT_EQ(window_, (std::vector<std::string>{"raise", "open /home/me/歌.mp3", "quit"}));
}

}  // namespace
}  // namespace quillo::testing
