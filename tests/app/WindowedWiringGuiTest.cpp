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
#include "playback/MenuCommands.h"
#include "playback/PlaySurface.h"
#include "service/api/ServiceEndpoints.h"
#include "service/session/LoginSession.h"
#include "service/session/LoginViews.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/ScriptedHttpServer.h"
#include "support/TempFolder.h"
#include "ui/lyricviews/CLyricBar.h"
#include "ui/lyricviews/LyricViews.h"
#include "ui/main/MainIds.h"
#include "ui/main/SorvelMainDlg.h"
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
  // The song's lyric is asked for beside its stream: look for the stream among the requests.
  auto streamed = [&] {
    for (const auto& request : server_.requests())
      if (request.target.find("download_shiting.php") != std::string::npos) return request.target;
    return std::string();
  };
  ASSERT_TRUE(testing::WaitFor([&] { return !streamed().empty(); }));
  EXPECT_EQ(streamed(), "/svc/music/download_shiting.php?id=202");
  // The status line's news reaches the output from the window's loop, which may run after the
  // server saw the request.
  EXPECT_TRUE(testing::WaitFor([&] { return output_.str().find("status: ") != std::string::npos; }))
      << output_.str();
}

// The song each stream request asked for, in order.
std::vector<std::string> StreamedIds(const ScriptedHttpServer& server) {
  std::vector<std::string> ids;
  const std::string prefix = "/music/download_shiting.php?id=";
  for (const auto& request : server.requests())
    if (request.target.rfind(prefix, 0) == 0) ids.push_back(request.target.substr(prefix.size()));
  return ids;
}

TEST_F(WindowedWiringGuiTest, TheWindowTheTrayAndTheLyricBarPlayThroughTheOneSurface) {
  runtime_.store().SetConfigText("module.lyric.isopen", "true");
  runtime_.store().SetConfigText("module.lyric.mode", "bar");
  service_->endpoints().Set(service::EndpointsForBaseUrl(server_.Url("/")));
  runtime_.playlists().SetTemporaryRecords(
      "t_rank_1", {{{"id", "201"}, {"name", "一"}}, {{"id", "202"}, {"name", "二"}},
                   {{"id", "203"}, {"name", "三"}}, {{"id", "204"}, {"name", "四"}}});
  ASSERT_TRUE(windowed_->Open());
  ASSERT_NE(windowed_->lyric_views(), nullptr);
  ui::CLyricBar* bar = windowed_->lyric_views()->lyric_bar();
  ASSERT_NE(bar, nullptr);
  auto requested = [&](std::size_t count) {
    return testing::WaitFor([&] { return StreamedIds(server_).size() >= count; });
  };

  windowed_->play_surface().PlayListItem("t_rank_1", "201");
  ASSERT_TRUE(requested(1));
  // The window's 下一首 button, the tray menu's 下一首 (the same command the tray sends the
  // window), then the lyric bar's next button.
  ui::SorvelMainDlg& window = windowed_->main_window();
  window.OnControlEvent(window.FindControl(ui::main_ids::kNext), ui::main_ids::kNext);
  ASSERT_TRUE(requested(2));
  window.RunCommand(playback::menu_commands::kNext);
  ASSERT_TRUE(requested(3));
  bar->OnControlEvent(bar->FindControl(ui::CLyricBar::kNext), ui::CLyricBar::kNext);
  ASSERT_TRUE(requested(4));
  EXPECT_EQ(StreamedIds(server_), (std::vector<std::string>{"201", "202", "203", "204"}));

  // Mute from the bar and volume from the window are one setting.
  bar->OnControlEvent(bar->FindControl(ui::CLyricBar::kMute), ui::CLyricBar::kMute);
  EXPECT_TRUE(windowed_->play_surface().Muted());
  EXPECT_TRUE(windowed_->main_window().Muted());
  windowed_->main_window().SetVolume(35);
  EXPECT_EQ(windowed_->play_surface().Volume(), 35);
  EXPECT_EQ(runtime_.store().GetConfigText("module.music.volume"), "35");
  EXPECT_EQ(runtime_.store().GetConfigText("module.music.mute"), "true");
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
