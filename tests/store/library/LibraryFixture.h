#pragma once
// A store opened with all its sections in a temporary data folder, with fakes for what the
// library needs of other subsystems.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "store/DocMusicActionListener.h"
#include "store/DownloadStopper.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/ServiceAnswers.h"
#include "store/SongTagAccess.h"
#include "store/StoreRuntime.h"
#include "store/StreamCacheLookup.h"
#include "support/TempFolder.h"

namespace quillo::testing {

class FakeTags : public store::SongTagAccess {
 public:
  std::optional<store::SongTags> ReadTags(const std::string& path, const std::string&) override {
    auto it = tags.find(path);
    if (it == tags.end()) return std::nullopt;
    return it->second;
  }
  bool WriteTags(const std::string& path, const std::string& extension, const store::SongTags& t) override {
    if (on_write) on_write(path);
    written.push_back({path, extension, t});
    return true;
  }
  struct Write {
    std::string path, extension;
    store::SongTags tags;
  };
  std::map<std::string, store::SongTags> tags;
  std::vector<Write> written;
  // Runs inside WriteTags, before the write is recorded: a slow tag writer.
  std::function<void(const std::string& path)> on_write;
};

class FakeStopper : public store::DownloadStopper {
 public:
  void StopDownload(const std::string& id) override { stopped.push_back(id); }
  std::vector<std::string> stopped;
};

class FakeStreamCache : public store::StreamCacheLookup {
 public:
  std::optional<std::string> CachedSongPath(const std::string& id) override {
    return id == "77" ? std::optional<std::string>("/cache/77.mp3") : std::nullopt;
  }
  std::optional<std::string> CachedLyricPath(const std::string&) override { return std::nullopt; }
};

class RecordingListener : public store::DocMusicActionListener {
 public:
  void OnMusicAdded(const store::MusicRecord& record) override { added.push_back(record.at("id")); }
  void OnMusicRemoved(const std::string& id) override { removed.push_back(id); }
  void OnUserChanged(const std::string& id) override { users.push_back(id); }
  std::vector<std::string> added, removed, users;
};

inline store::MusicRecord Song(const std::string& id, const std::string& name, const std::string& artist = "",
                               const std::string& album = "") {
  store::MusicRecord record{{"id", id}, {"name", name}};
  if (!artist.empty()) record["artist_name"] = artist;
  if (!album.empty()) record["album_name"] = album;
  return record;
}

inline std::vector<std::string> Ids(const std::vector<store::MusicRecordPtr>& records) {
  std::vector<std::string> ids;
  for (const auto& record : records) ids.push_back(record->at("id"));
  return ids;
}

inline std::vector<std::string> Ids(const std::vector<store::MusicRecord>& records) {
  std::vector<std::string> ids;
  for (const auto& record : records) ids.push_back(record.at("id"));
  return ids;
}

class LibraryFixture : public ::testing::Test {
 protected:
  void SetUp() override { Reopen(); }
  void TearDown() override { Shut(); }

  void Shut() {
    if (!runtime_) return;
    runtime_->store().RemoveListener(&listener_);
    runtime_->Close();
    runtime_.reset();
  }
  // Closes (saving) and opens the data folder again, as a restart does.
  void Reopen() {
    Shut();
    runtime_ = std::make_unique<store::StoreRuntime>(data_.path());
    ASSERT_TRUE(runtime_->Open(/*start_saver=*/false));
    helpers_.clear();
    helpers_.push_back(library().AttachTagAccess(tags_));
    helpers_.push_back(library().AttachDownloadStopper(stopper_));
    helpers_.push_back(library().AttachStreamCache(cache_));
    store().AddListener(&listener_);
  }
  store::DocumentStore& store() { return runtime_->store(); }
  store::MusicLibrary& library() { return runtime_->library(); }
  store::Playlists& lists() { return runtime_->playlists(); }
  store::ServiceAnswers& answers() { return runtime_->answers(); }
  std::string MusicFolder() { return store().FolderPath("music"); }
  // Makes the store clean, so that a test can see whether an operation marks it dirty.
  void SaveNow() { ASSERT_TRUE(store().SaveIfDirty()); }

  TempFolder data_;
  FakeTags tags_;
  FakeStopper stopper_;
  FakeStreamCache cache_;
  std::vector<loop::Subscription> helpers_;
  RecordingListener listener_;
  std::unique_ptr<store::StoreRuntime> runtime_;
};

}  // namespace quillo::testing
