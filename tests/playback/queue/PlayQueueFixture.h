#pragma once
// A play queue over a real store (temporary data folder), a fake player, a fake main window and
// a statistics sender that records the events it would send.
#include <gtest/gtest.h>

#include <memory>

#include "PlayQueueFakes.h"
#include "fakes/FakePlayer.h"
#include "fakes/FakeRequestSender.h"
#include "platform/loop/MainLoop.h"
#include "playback/PlayQueue.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/ServiceRequests.h"
#include "service/stats/CStatBtnClick.h"
#include "store/ConfigKeys.h"
#include "store/QueueSelection.h"
#include "tests/store/library/LibraryFixture.h"

namespace quillo::testing {

inline constexpr const char* kBaseUrl = "http://127.0.0.1:9/";

class PlayQueueFixture : public LibraryFixture {
 protected:
  void SetUp() override {
    LibraryFixture::SetUp();
    runtime_->queue().SetRandomDraw([this] { return draw_; });
    // Service songs of the default list (and of "Fav", in the same order).
    library().AddMusic(Song("101", "一", "歌手"));
    library().AddMusic(Song("102", "二"));
    library().AddMusic(Song("103", "三"));
    fav_ = lists().CreatePlaylist("Fav");
    for (const char* id : {"101", "102", "103"}) lists().AddItem(fav_, id);
    queue_ = std::make_unique<playback::PlayQueue>(playback::PlayQueue::Parts{
        store(), library(), lists(), runtime_->queue(), player_, view_, select_box_, loop_,
        service::ServiceFileUrls(service::EndpointsForBaseUrl(kBaseUrl), "client"), &lyrics_,
        &stats_});
  }
  void TearDown() override {
    queue_.reset();
    LibraryFixture::TearDown();
  }

  playback::PlayQueue& queue() { return *queue_; }
  static std::string StreamUrl(const std::string& id) {
    return std::string(kBaseUrl) + "music/download_shiting.php?id=" + id;
  }
  std::vector<std::string> PlayedIds() const {
    std::vector<std::string> ids;
    for (const FakePlayer::Played& played : player_.played) ids.push_back(played.music_id);
    return ids;
  }
  std::string SongAttribute(const std::string& id, const std::string& name) {
    auto record = library().FindMusic(id);
    if (!record) return "<no song>";
    auto it = record->find(name);
    return it == record->end() ? "<absent>" : it->second;
  }
  // The events sent as "type:ext_id:ext_value".
  std::vector<std::string> Events() const {
    std::vector<std::string> events;
    for (const FakeRequestSender::Sent& sent : sender_.sent) {
      if (!sent.params) continue;
      std::string type, id, value;
      for (const auto& [name, text] : *sent.params) {
        if (name == "type") type = text;
        if (name == "ext_id") id = text;
        if (name == "ext_value") value = text;
      }
      events.push_back(type + ":" + id + ":" + value);
    }
    return events;
  }
  void SetMode(const char* mode) {
    if (mode == nullptr) {
      store().RemoveConfig(store::keys::kPlayMode);
    } else {
      store().SetConfigText(store::keys::kPlayMode, mode);
    }
  }

  loop::MainLoop loop_;
  FakePlayer player_;
  FakeQueueView view_;
  FakeSelectBox select_box_;
  FakeLyrics lyrics_;
  FakeRequestSender sender_;
  service::JSRequestHandler handler_{sender_, kBaseUrl};
  service::ServiceRequests requests_{"client"};
  service::CStatBtnClick stats_{handler_, requests_};
  std::string fav_;
  int draw_ = 0;
  std::unique_ptr<playback::PlayQueue> queue_;
};

}  // namespace quillo::testing
