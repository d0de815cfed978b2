// A failed song download is told to the person by the song's name: on the status line, in a
// desktop notice and in the run's output. Filed and paused songs are not.
#include "app/DownloadFailureNotice.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "store/MusicLibrary.h"
#include "store/SongStatus.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::app {
namespace {

class DownloadFailureNoticeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(false));
    ASSERT_TRUE(runtime_.library().AddMusic(
        {{"id", "9"}, {"name", "晴天"}, {"artist_name", "周杰伦"}, {"album_name", "叶惠美"}}));
    ASSERT_TRUE(runtime_.library().AddMusic({{"id", "31"}, {"name", "Night Road"}}));
    ASSERT_TRUE(runtime_.library().AddMusic({{"id", "57"}, {"name", "夜曲"}, {"artist_name", "周杰伦"}}));
  }
  void TearDown() override { runtime_.Close(); }

  DownloadFailureNotice::Outputs Recording() {
    return {[this](const std::string& text) { status_lines_.push_back(text); },
            [this](const std::string& title, const std::string& body) {
              notices_.emplace_back(title, body);
            },
            [this](const std::string& line) { report_.push_back(line); }};
  }
  void EndAs(const std::string& id, store::SongStatus status) {
    ASSERT_TRUE(runtime_.library().SetSongStatus(id, status));
  }

  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_.path()};
  std::vector<std::string> status_lines_;
  std::vector<std::pair<std::string, std::string>> notices_;
  std::vector<std::string> report_;
};

TEST_F(DownloadFailureNoticeTest, AFailedSongIsNamedOnTheStatusLineInANoticeAndInTheOutput) {
  DownloadFailureNotice notice(runtime_.library(), Recording());
  EndAs("9", store::SongStatus::kFailed);
  notice.OnSongFinished("9", false);
  EXPECT_EQ(status_lines_, std::vector<std::string>{"下载失败：周杰伦 - 晴天"});
  ASSERT_EQ(notices_.size(), 1u);
  EXPECT_EQ(notices_[0].first, "Zelbo音乐");
  EXPECT_EQ(notices_[0].second, "下载失败：周杰伦 - 晴天");
  EXPECT_EQ(report_, std::vector<std::string>{"download failed: 周杰伦 - 晴天"});

  // Without an artist the title alone; a song gone from the library by its id.
  EndAs("31", store::SongStatus::kFailed);
  notice.OnSongFinished("31", false);
  notice.OnSongFinished("404", false);
  ASSERT_EQ(status_lines_.size(), 3u);
  EXPECT_EQ(status_lines_[1], "下载失败：Night Road");
  EXPECT_EQ(status_lines_[2], "下载失败：404");
}

TEST_F(DownloadFailureNoticeTest, FiledAndPausedSongsAreNotTold) {
  DownloadFailureNotice notice(runtime_.library(), Recording());
  EndAs("9", store::SongStatus::kDownloaded);
  notice.OnSongFinished("9", true);
  // A paused song's transfer ends too; the song waits again.
  EndAs("57", store::SongStatus::kWaiting);
  notice.OnSongFinished("57", false);
  EXPECT_TRUE(status_lines_.empty());
  EXPECT_TRUE(notices_.empty());
  EXPECT_TRUE(report_.empty());
}

TEST_F(DownloadFailureNoticeTest, MissingOutputsAreLeftOut) {
  // A desktop without notices and a run without output: the status line still names the song.
  DownloadFailureNotice notice(
      runtime_.library(),
      {[this](const std::string& text) { status_lines_.push_back(text); }, {}, {}});
  EndAs("57", store::SongStatus::kFailed);
  notice.OnSongFinished("57", false);
  EXPECT_EQ(status_lines_, std::vector<std::string>{"下载失败：周杰伦 - 夜曲"});
}

}  // namespace
}  // namespace quillo::app
