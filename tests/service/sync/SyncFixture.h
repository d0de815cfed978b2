#pragma once
// The playlist commands over a real store in a temporary data folder, with fakes for the
// windows, the phone, playback and the request sender. Every view refresh, playback change,
// phone operation and removal from the library is noted in one event log, in order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/FakePhoneLists.h"
#include "fakes/FakeRequestSender.h"
#include "fakes/FakeSyncPlayback.h"
#include "fakes/FakeSyncPrompt.h"
#include "fakes/FakeSyncView.h"
#include "service/api/AnswerCollectors.h"
#include "service/api/JSRequestHandler.h"
#include "service/sync/PlaylistSync.h"
#include "store/DocMusicActionListener.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::testing {

inline constexpr char kBaseUrl[] = "http://127.0.0.1:9/";
inline constexpr char kListA[] = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
inline constexpr char kListB[] = "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB";
inline constexpr char kListC[] = "CCCCCCCCCCCCCCCCCCCCCCCCCCCCCCCC";

using Params = service::FormParams;

class RemovalLog : public store::DocMusicActionListener {
 public:
  explicit RemovalLog(std::vector<std::string>& log) : log_(log) {}
  void OnMusicAdded(const store::MusicRecord&) override {}
  void OnMusicRemoved(const std::string& id) override { log_.push_back("removed " + id); }
  void OnUserChanged(const std::string&) override {}

 private:
  std::vector<std::string>& log_;
};

inline store::MusicRecord SongRecord(const std::string& id, const std::string& artist = "",
                                     const std::string& album = "") {
  store::MusicRecord record{{"id", id}, {"name", "song " + id}};
  if (!artist.empty()) record["artist_name"] = artist;
  if (!album.empty()) record["album_name"] = album;
  return record;
}

class SyncFixture : public ::testing::Test {
 protected:
  SyncFixture() {
    EXPECT_TRUE(runtime_.Open(/*start_saver=*/false));
    store().AddListener(&removals_);
  }
  ~SyncFixture() override {
    store().RemoveListener(&removals_);
    runtime_.Close();
  }

  store::DocumentStore& store() { return runtime_.store(); }
  store::MusicLibrary& library() { return runtime_.library(); }
  store::Playlists& lists() { return runtime_.playlists(); }

  // Songs into the library (and so the default list), in order.
  void AddSongs(const std::vector<std::string>& ids) {
    for (const std::string& id : ids) ASSERT_TRUE(library().AddMusic(SongRecord(id)));
  }
  void MakeList(const std::string& list_id, const std::string& name,
                const std::vector<std::string>& ids) {
    lists().SetPlaylistName(list_id, name);
    for (const std::string& id : ids) ASSERT_TRUE(lists().AddItem(list_id, id));
  }
  std::vector<std::string> ListIds(const std::string& list_id) {
    std::vector<std::string> ids;
    for (const store::MusicRecordPtr& record : lists().ListRecords(list_id)) {
      ids.push_back(store::IdOf(*record));
    }
    return ids;
  }
  // Shows the list and selects the songs.
  void ShowAndSelect(const std::string& list_id, const std::vector<std::string>& ids) {
    view_.Show(lists(), list_id);
    view_.SelectIds(ids);
  }
  // The requests sent: path (after the base URL) and form.
  struct Sent {
    std::string path;
    Params params;
  };
  std::vector<Sent> SentRequests() {
    std::vector<Sent> sent;
    for (const FakeRequestSender::Sent& entry : sender_.sent) {
      EXPECT_EQ(entry.url.rfind(kBaseUrl, 0), 0u) << entry.url;
      sent.push_back({entry.url.substr(sizeof(kBaseUrl) - 1), entry.params.value_or(Params{})});
    }
    return sent;
  }
  static Params MusicIds(const std::vector<std::string>& ids) {
    Params params;
    for (const std::string& id : ids) params.emplace_back("musicId[]", id);
    return params;
  }
  static Params Join(Params first, const Params& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
  }
  // Hands an answer to the pending add-music request (as the downloader would), or ends it as
  // failed when no body is given.
  void Answer(const std::optional<std::string>& body) {
    ASSERT_FALSE(sender_.sent.empty());
    const FakeRequestSender::Sent& request = sender_.sent.back();
    auto* collectors = dynamic_cast<service::AnswerCollectors*>(request.callback);
    ASSERT_NE(collectors, nullptr);
    collectors->StartOf(request.id);
    if (body) collectors->DataOf(request.id, *body);
    collectors->FinishOf(
        request.id, body ? service::TransferStatus::kFinished : service::TransferStatus::kFailed);
  }
  bool Logged(const std::string& event) {
    return std::find(log_.begin(), log_.end(), event) != log_.end();
  }
  std::size_t At(const std::string& event) {
    return static_cast<std::size_t>(std::find(log_.begin(), log_.end(), event) - log_.begin());
  }

  TempFolder folder_;
  store::StoreRuntime runtime_{folder_.path()};
  std::vector<std::string> log_;
  RemovalLog removals_{log_};
  FakeRequestSender sender_;
  service::JSRequestHandler requests_{sender_, kBaseUrl};
  FakeSyncView view_{log_};
  FakeSyncPrompt prompt_;
  FakeSyncPlayback playback_{store(), library(), lists(), runtime_.queue(), log_};
  FakePhoneLists phone_{log_};
  service::PlaylistSync sync_{
      {store(), library(), lists(), requests_, sender_, view_, prompt_, playback_, phone_}};
};

}  // namespace quillo::testing
