// The playlist commands' playback in the program: the player's song, the store's current list,
// the queue's pick, and starting and stopping through the play surface.
#include <gtest/gtest.h>

#include "PlayQueueFixture.h"
#include "playback/PlayQueueSyncPlayback.h"
#include "playback/QueuePlaySurface.h"

namespace quillo::testing {
namespace {

class PlayQueueSyncPlaybackTest : public PlayQueueFixture {};

TEST_F(PlayQueueSyncPlaybackTest, ReportsThePlayerAndDrivesTheQueue) {
  playback::QueuePlaySurface play(queue(), player_, store());
  playback::PlayQueueSyncPlayback playback({store(), lists(), runtime_->queue(), play, player_});
  EXPECT_EQ(playback.PlayingMusicId(), "");
  queue().PlayListItem(fav_, "102");
  EXPECT_EQ(playback.PlayingMusicId(), "102");
  EXPECT_EQ(playback.CurrentListId(), fav_);

  playback.SetCurrentList("");
  EXPECT_EQ(store().CurrentList(), "");
  std::optional<store::MusicRecord> next = playback.PickNext(/*wrap=*/true);
  ASSERT_TRUE(next.has_value());
  EXPECT_EQ(next->at("id"), "103");
  EXPECT_EQ(store().CurrentItem(), "103");

  playback.PlayRecord(*next);
  EXPECT_EQ(PlayedIds().back(), "103");
  EXPECT_EQ(store().CurrentList(), "");
  playback.Stop();
  EXPECT_EQ(player_.stops, 1);
}

}  // namespace
}  // namespace quillo::testing
