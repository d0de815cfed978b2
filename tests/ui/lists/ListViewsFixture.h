#pragma once
// The two list views inside a window of the fake window system, over a real store, a safe
// downloader whose answers the test scripts, a play queue over a fake player, and the playlist
// commands with recording fakes.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "../FakeWindowSystem.h"
#include "ListsFixture.h"
#include "fakes/FakePhoneLists.h"
#include "fakes/FakePlayer.h"
#include "fakes/FakeRequestSender.h"
#include "fakes/FakeSyncPlayback.h"
#include "fakes/FakeSyncPrompt.h"
#include "fakes/FakeTransferClient.h"
#include "platform/loop/MainLoop.h"
#include "playback/PlayQueue.h"
#include "playback/PlayQueueView.h"
#include "playback/QueuePlaySurface.h"
#include "playback/SongSelectBox.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceEndpoints.h"
#include "service/sync/PlaylistSync.h"
#include "service/transfer/SafeDownloader.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/ListsHost.h"
#include "ui/lists/ListsSyncView.h"
#include "ui/lists/PlaylistView.h"
#include "ui/lists/RandomListLoadingWnd.h"
#include "ui/lists/TempPlaylistCallback.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::testing {

class RecordingListsHost : public ui::lists::ListsHost {
 public:
  void SetListTitle(const std::string& t) override { title = t; }
  void ShowHeaderButtons(ui::lists::ListKind k) override { kind = k; }
  void OnListScrolled(bool) override { ++scrolled; }
  void OnPanelPageChanged(ui::lists::PanelPage p) override { page = p; }
  void ShowSongInfo(const store::MusicRecord& r) override {
    info.push_back("song " + store::IdOf(r));
  }
  void ShowArtistInfo(const store::MusicRecord& r) override {
    info.push_back("artist " + store::IdOf(r));
  }
  void OnListCommand(int id) override { commands.push_back(id); }

  std::string title;
  ui::lists::ListKind kind = ui::lists::ListKind::kOther;
  ui::lists::PanelPage page = ui::lists::PanelPage::kLists;
  int scrolled = 0;
  std::vector<std::string> info;
  std::vector<int> commands;
};

class QuietQueueView : public playback::PlayQueueView {
 public:
  void SetStatusText(const std::string&) override {}
  void ShowPauseButton(bool) override {}
  void ClearTimeDisplay() override {}
  void ShowTime(int, int) override {}
  void ResetSeekBar() override {}
  void ShowVolume(int) override {}
  void ShowMuted(bool) override {}
  void SetTitleMarquee(bool) override {}
  void MarkPlayingSong(const std::string& id) override { marked = id; }
  void SetCurrentArtist(const std::string&, const std::string&) override {}
  void ShowNowPlaying(const std::string&) override {}
  std::string marked;
};

class NoSelectBox : public playback::SongSelectBox {
 public:
  std::optional<int> Select(const std::string&, const std::vector<std::string>&, int) override {
    return std::nullopt;
  }
};

class ListOwnerWindow : public ui::LayerWnd {
 public:
  ListOwnerWindow() : LayerWnd(0) {}
};

class ListViewsFixture : public LibraryFixture {
 protected:
  static constexpr const char* kBaseUrl = "http://127.0.0.1:9/";
  // Window pixels of the two lists.
  static constexpr gfx::Rect kPanelRect{0, 40, 90, 440};
  static constexpr gfx::Rect kSongsRect{100, 40, 400, 440};

  void SetUp() override {
    LibraryFixture::SetUp();
    ASSERT_TRUE(owner_.Create(gfx::Rect{100, 100, 500, 600}, nullptr, window::WindowKind::kMain));
    ui::lists::ListViewDeps deps{runtime_, downloader_, endpoints_, host_,
                                 &sync_,   &play_,      &player_};
    songs_ = std::make_unique<ui::lists::FileListView>(owner_, kSongsRect, deps);
    panel_ = std::make_unique<ui::lists::PlaylistView>(owner_, kPanelRect, deps, *songs_);
    owner_.AddList(*panel_, 38);
    owner_.AddList(*songs_, 35);
    sync_view_.SetViews(panel_.get(), songs_.get());
  }
  void TearDown() override {
    sync_view_.SetViews(nullptr, nullptr);
    panel_.reset();
    songs_.reset();
    owner_.Destroy();
    downloader_.Shutdown();
    LibraryFixture::TearDown();
  }

  // Sets the answer every following attempt gets (read on the transfers' threads).
  void Answer(FakeAnswer answer) {
    std::lock_guard lock(answer_mutex_);
    answer_ = std::move(answer);
  }
  static FakeAnswer Body(std::string body) {
    FakeAnswer a;
    a.body = std::move(body);
    return a;
  }
  std::vector<std::string> AttemptUrls() {
    std::vector<std::string> urls;
    for (const FakeAttempt& a : client_->attempts()) urls.push_back(a.url);
    return urls;
  }
  bool WaitForFetches() {
    return loop_.PumpUntil([this] { return panel_->fetcher().pending() == 0; },
                           std::chrono::seconds(10));
  }
  std::vector<std::string> SongIds() {
    std::vector<std::string> ids;
    for (const auto& r : songs_->model().records()) ids.push_back(store::IdOf(*r));
    return ids;
  }
  gfx::Point SongRowPoint(int row) {
    return {kSongsRect.left + 30,
            kSongsRect.top + row * songs_->row_height() + 5 - songs_->scroll_offset()};
  }
  gfx::Point PanelRowPoint(int row) {
    return {kPanelRect.left + 20, kPanelRect.top + row * panel_->row_height() + 5};
  }
  std::string ClientId() { return runtime_.store().ClientId(); }

  loop::MainLoop loop_;
  FakeWindowSystem windows_;
  std::mutex answer_mutex_;
  FakeAnswer answer_;
  FakeTransferClient* client_ = nullptr;
  service::SafeDownloader downloader_{
      loop_, [this] {
        auto client = std::make_unique<FakeTransferClient>([this](const FakeAttempt&, int) {
          std::lock_guard lock(answer_mutex_);
          return answer_;
        });
        client_ = client.get();
        return client;
      }()};
  service::ServiceEndpoints endpoints_ = service::EndpointsForBaseUrl(kBaseUrl);
  RecordingListsHost host_;

  FakePlayer player_;
  QuietQueueView queue_view_;
  NoSelectBox select_box_;
  playback::PlayQueue queue_{{runtime_.store(), runtime_.library(), runtime_.playlists(),
                              runtime_.queue(), player_, queue_view_, select_box_, loop_,
                              service::ServiceFileUrls(endpoints_, "C")}};
  playback::QueuePlaySurface play_{queue_, player_, runtime_.store()};

  std::vector<std::string> log_;
  ui::lists::ListsSyncView sync_view_;
  FakeSyncPrompt prompt_;
  FakeSyncPlayback playback_{runtime_.store(), runtime_.library(), runtime_.playlists(),
                             runtime_.queue(), log_};
  FakePhoneLists phone_{log_};
  FakeRequestSender sender_;
  service::JSRequestHandler requests_{sender_, kBaseUrl};
  service::PlaylistSync sync_{{runtime_.store(), runtime_.library(), runtime_.playlists(),
                               requests_, sender_, sync_view_, prompt_, playback_, phone_}};

  ListOwnerWindow owner_;
  std::unique_ptr<ui::lists::FileListView> songs_;
  std::unique_ptr<ui::lists::PlaylistView> panel_;
};

}  // namespace quillo::testing
