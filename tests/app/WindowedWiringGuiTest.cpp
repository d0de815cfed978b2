// The windowed run's wiring, in process: its parts are made once (a pointer to the play queue
// taken before the service's address arrives stays the queue that plays, and it streams from the
// address that arrived), and ending the run while the lyric's checked copy is downloading tears
// the parts down in order (the sanitizer build reads no freed memory, no partial file stays).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>

#include "../ui/GuiHarness.h"
#include "app/HeadlessLoginWindow.h"
#include "app/HeadlessMainWindow.h"
#include "app/ServiceRuntime.h"
#include "app/WindowedMainWindow.h"
#include "downloads/DownloadManager.h"
#include "lyrics/LyricAnalyzer.h"
#include "platform/fs/FileSystem.h"
#include "playback/PlayCache.h"
#include "playback/PlaySurface.h"
#include "service/api/ServiceEndpoints.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginViews.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"
#include "ui/toolkit/UiRuntime.h"

namespace quillo::app {
namespace {

using testing::ScriptedHttpServer;

class WindowedWiringGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::GuiRuntime()) GTEST_SKIP() << "no display";
    setenv("QUILLO_AUDIO_SINK", "fakesink sync=true", 1);
    ASSERT_TRUE(runtime_.Open(false));
    loop::MainLoop& loop = testing::GuiRuntime()->loop();
    reporter_ = std::make_unique<HeadlessMainWindow>(loop, output_);
    service_ = std::make_unique<ServiceRuntime>(loop, runtime_.store());
    cache_ = std::make_unique<playback::PlayCache>(runtime_.store(), runtime_.library());
    downloads_ = std::make_unique<downloads::DownloadManager>(
        loop, runtime_, service_->downloader(), service_->endpoints());
    login_reporter_ = std::make_unique<HeadlessLoginWindow>(*reporter_);
    login_reporting_ = login_views_.AddWindow(*login_reporter_);
    login_ = std::make_unique<service::LoginSession>(runtime_, service_->downloader(),
                                                     service_->sender(), login_views_,
                                                     login_views_);
    windowed_ = std::make_unique<WindowedMainWindow>(loop, runtime_, *service_, *cache_,
                                                     *downloads_, *reporter_, *login_,
                                                     login_views_);
  }
  void TearDown() override {
    windowed_.reset();
    login_.reset();
    login_reporting_.Reset();
    downloads_.reset();
    if (service_) service_->Shutdown();
    service_.reset();
    cache_.reset();
    reporter_.reset();
    runtime_.Close();
  }

  testing::TempFolder folder_;
  store::StoreRuntime runtime_{folder_ / "data/"};
  std::ostringstream output_;
  // Every request waits until the server stops: downloads stay under way.
  ScriptedHttpServer server_{[](const ScriptedHttpServer::Request&,
                                ScriptedHttpServer::Exchange& exchange) { exchange.Stall(); }};
  std::unique_ptr<HeadlessMainWindow> reporter_;
  std::unique_ptr<ServiceRuntime> service_;
  std::unique_ptr<playback::PlayCache> cache_;
  std::unique_ptr<downloads::DownloadManager> downloads_;
  std::unique_ptr<HeadlessLoginWindow> login_reporter_;
  service::LoginViews login_views_;
  loop::Subscription login_reporting_;
  std::unique_ptr<service::LoginSession> login_;
  std::unique_ptr<WindowedMainWindow> windowed_;
};

TEST_F(WindowedWiringGuiTest, TheQueueIsMadeOnceAndStreamsFromTheAddressThatArrivedLater) {
  playback::PlayQueue* queue = &windowed_->play_queue();
  playback::PlaySurface* surface = &windowed_->play_surface();
  runtime_.playlists().SetTemporaryRecords(
      "t_rank_1", {{{"id", "201"}, {"name", "晴天"}}, {{"id", "202"}, {"name", "江南"}}});

  // The embedded service became ready after the window was made.
  service_->endpoints().Set(service::EndpointsForBaseUrl(server_.Url("/svc/")));
  windowed_->OnServiceKnown(true);
  EXPECT_EQ(&windowed_->play_queue(), queue);
  EXPECT_EQ(&windowed_->play_surface(), surface);

  surface->PlayListItem("t_rank_1", "202");
  ASSERT_TRUE(testing::WaitFor([&] { return !server_.requests().empty(); }));
  EXPECT_EQ(server_.requests().front().target, "/svc/music/download_shiting.php?id=202");
  EXPECT_NE(output_.str().find("status: "), std::string::npos) << output_.str();
}

TEST_F(WindowedWiringGuiTest, EndingTheRunWhileTheCheckedLyricDownloadsTearsDownInOrder) {
  service_->endpoints().Set(service::EndpointsForBaseUrl(server_.Url("/")));
  const std::string lyric = folder_ / "song.lrc";
  ASSERT_TRUE(fs::WriteFile(lyric, "[00:01.00]一\n"));
  windowed_->analyzer().RefreshCheckedLyric("7", server_.Url("/music/download_lyric.php?id=7"),
                                            lyric);
  ASSERT_FALSE(windowed_->analyzer().refresh_download_id().empty());
  ASSERT_TRUE(testing::WaitFor([&] { return !server_.requests().empty(); }));

  // The analyzer's destructor cancels the download through its transfers, which must still be
  // there; nothing is read after it is freed (the sanitizer build would stop here).
  windowed_.reset();
  EXPECT_EQ(fs::ReadWholeFile(lyric).value_or(""), "[00:01.00]一\n");
  for (const std::string& name : fs::ListFolder(folder_.path()))
    EXPECT_EQ(name.find(".part"), std::string::npos) << name;
}

}  // namespace
}  // namespace quillo::app
