// Client calls through the media-player adapter reach the program's play surface over the real
// play queue, player and store.
#include "playback/QueuePlaySurface.h"

#include <gtest/gtest.h>

#include "fakes/FakeMprisService.h"
#include "tests/playback/queue/PlayQueueFixture.h"
#include "ui/desktop/MprisAdapter.h"

namespace quillo::testing {
namespace {

using playback::PlayerState;
using playback::PlayMode;
using playback::PlayQueueMode;

class MprisPlaySurfaceTest : public PlayQueueFixture, public playback::PlayModeListener {
 protected:
  void SetUp() override {
    PlayQueueFixture::SetUp();
    surface_ = std::make_unique<playback::QueuePlaySurface>(queue(), player_, store());
    adapter_ = std::make_unique<ui::MprisAdapter>(
        *surface_, ui::MprisAdapter::WindowRequests{
                       [this] { window_.push_back("raise"); }, [this] { window_.push_back("quit"); },
                       [this](const std::string& what) { window_.push_back("open " + what); }});
    adapter_->SetService(&service_);
    adapter_mode_ = surface_->AddModeListener(*adapter_);
    window_mode_ = surface_->AddModeListener(*this);
    lists().SetTemporaryRecords("t_rank_1", {Song("201", "A"), Song("202", "B"), Song("203", "C")});
  }
  void TearDown() override {
    window_mode_.Reset();
    adapter_mode_.Reset();
    adapter_.reset();
    surface_.reset();
    PlayQueueFixture::TearDown();
  }
  void OnPlayModeChanged(PlayMode mode) override {
    window_.push_back("mode " + std::string(PlayQueueMode::Value(mode)));
  }

  FakeMprisService service_;
  std::unique_ptr<playback::QueuePlaySurface> surface_;
  std::unique_ptr<ui::MprisAdapter> adapter_;
  loop::Subscription adapter_mode_;
  loop::Subscription window_mode_;
  std::vector<std::string> window_;
};

TEST_F(MprisPlaySurfaceTest, NextPreviousAndPlayPauseDriveTheQueue) {
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

TEST_F(MprisPlaySurfaceTest, PlayWithNothingPlayingStartsTheCurrentSong) {
  queue().PlayListItem("t_rank_1", "203");
  player_.Stop();
  player_.played.clear();
  adapter_->Play();
  EXPECT_EQ(PlayedIds(), std::vector<std::string>{"203"});
}

TEST_F(MprisPlaySurfaceTest, LoopAndShuffleWriteTheStoredModeAndTellEveryListener) {
  SetMode("all_repeat");
  adapter_->SetLoopStatus("Track");
  EXPECT_EQ(store().GetConfigText(store::keys::kPlayMode), "single_repeat");
  adapter_->SetShuffle(true);
  EXPECT_EQ(store().GetConfigText(store::keys::kPlayMode), "random");
  adapter_->SetShuffle(true);  // unchanged: nothing written, nothing to redraw
  EXPECT_EQ(window_, (std::vector<std::string>{"mode single_repeat", "mode random"}));
  EXPECT_EQ(service_.last().loop_status, "Playlist");
  EXPECT_TRUE(service_.last().shuffle);
  // A mode chosen elsewhere (the window's menu) reaches the service through the same surface.
  surface_->ChooseMode(PlayMode::kAllNoRepeat);
  EXPECT_EQ(service_.last().loop_status, "None");
  EXPECT_FALSE(service_.last().shuffle);
  // A listener whose subscription went hears nothing more.
  window_mode_.Reset();
  surface_->ChooseMode(PlayMode::kSingleRepeat);
  EXPECT_EQ(window_.back(), "mode all_no_repeat");
  EXPECT_EQ(service_.last().loop_status, "Track");
}

TEST_F(MprisPlaySurfaceTest, VolumeAndMuteAreStoredByTheSurfaceAndRestoredByTheNext) {
  adapter_->SetVolume(0.4);
  EXPECT_EQ(store().GetConfigText(store::keys::kVolume), "40");
  surface_->SetMuted(true);
  EXPECT_EQ(store().GetConfigText(store::keys::kMute), "true");
  surface_->SetVolume(140);  // clamped
  EXPECT_EQ(store().GetConfigText(store::keys::kVolume), "100");
  // A new run's surface gives the player what was stored.
  player_.SetVolume(7);
  player_.SetMute(false);
  playback::QueuePlaySurface next(queue(), player_, store());
  EXPECT_EQ(player_.GetVolume(), 100);
  EXPECT_TRUE(player_.muted);
  EXPECT_TRUE(next.Muted());
}

TEST_F(MprisPlaySurfaceTest, WindowRequestsAreCalledBack) {
  adapter_->Raise();
  adapter_->OpenUri("file:///home/me/%E6%AD%8C.mp3");
  adapter_->Quit();
  EXPECT_EQ(window_, (std::vector<std::string>{"raise", "open /home/me/歌.mp3", "quit"}));
}

}  // namespace
}  // namespace quillo::testing
