#pragma once
// A download manager over a real store (temporary data folder), the real safe downloader and a
// scripted transfer client: songs, pictures and lyrics answer from tables the test fills, and
// a song's body can be held back byte by byte, so a test decides when a download ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "downloads/DownloadListener.h"
#include "downloads/DownloadManager.h"
#include "fakes/FakeTransferClient.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/MainLoop.h"
#include "service/api/ServiceEndpoints.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SongTagAccess.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::testing {

inline constexpr std::size_t kSongBytes = 600000;  // above the songs' minimum of 512000

// An MP3 as far as its first bytes tell: an ID3 header, then filler that differs per song.
inline std::string SongBody(const std::string& id, std::size_t size = kSongBytes) {
  std::string body = std::string("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
  body.reserve(size);
  for (std::size_t i = body.size(); i < size; ++i)
    body.push_back(static_cast<char>(id.back() + i * 7));
  return body;
}
inline std::string PngBody() {
  return std::string("\x89PNG\r\n\x1a\n", 8) + std::string(200, 'p');
}

class RecordingTags : public store::SongTagAccess {
 public:
  std::optional<store::SongTags> ReadTags(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  bool WriteTags(const std::string& path, const std::string&,
                 const store::SongTags& tags) override {
    written.emplace_back(path, tags.title);
    return true;
  }
  std::vector<std::pair<std::string, std::string>> written;  // path, title
};

class RecordingDownloadListener : public downloads::DownloadListener {
 public:
  void OnLyricDownloaded(const std::string& id, const std::optional<std::string>& path) override {
    lyrics.emplace_back(id, path);
  }
  void OnArtistPictureDownloaded(const std::string& id, const std::string& path) override {
    artists.emplace_back(id, path);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> lyrics;
  std::vector<std::pair<std::string, std::string>> artists;
};

// How the service answers one song's download.
struct SongScript {
  SongScript() = default;
  SongScript(std::string song_body, unsigned answer_status = 200)  // NOLINT: braces in tests
      : body(std::move(song_body)), status(answer_status) {}
  std::string body;
  unsigned status = 200;
  // Bytes of the body the client may give; the whole body when not set.
  std::shared_ptr<std::atomic<std::size_t>> released;
  // Whether the answer says how long it is (Content-Length).
  bool announces_length = true;
};

class DownloadManagerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime_ = std::make_unique<store::StoreRuntime>(data_.path());
    ASSERT_TRUE(runtime_->Open(/*start_saver=*/false));
    auto client = std::make_unique<FakeTransferClient>(
        [this](const FakeAttempt& attempt, int) { return Answer(attempt); });
    client_ = client.get();
    downloader_ = std::make_unique<service::SafeDownloader>(loop_, std::move(client));
    endpoints_.Set(service::EndpointsForBaseUrl("http://127.0.0.1:9/"));
    manager_ =
        std::make_unique<downloads::DownloadManager>(loop_, *runtime_, *downloader_, endpoints_);
    listening_ = manager_->AddListener(listener_);
    stopper_ = library().AttachDownloadStopper(*manager_);
    tag_access_ = library().AttachTagAccess(tags_);
  }

  void TearDown() override {
    stopper_.Reset();
    tag_access_.Reset();
    // Let every held-back body go so that no worker waits for the test.
    {
      std::lock_guard lock(mutex_);
      for (auto& [id, script] : songs_) {
        if (script.released) script.released->store(script.body.size());
      }
    }
    companion_gate_->store(1 << 20);
    manager_.reset();
    downloader_->Shutdown();
    downloader_.reset();
    runtime_->Close();
  }

  FakeAnswer Answer(const FakeAttempt& attempt) {
    std::lock_guard lock(mutex_);
    FakeAnswer answer;
    bool announces_length = true;
    const std::string& url = attempt.url;
    auto id_of = [&url] {
      const std::size_t begin = url.find("id=") + 3;
      return url.substr(begin, url.find('&', begin) - begin);
    };
    if (url.find("download.php?") != std::string::npos) {
      auto it = songs_.find(id_of());
      if (it == songs_.end()) {
        answer.status = 404;
        return answer;
      }
      answer.status = it->second.status;
      answer.body = it->second.body.substr(
          std::min<std::size_t>(attempt.resume_from, it->second.body.size()));
      answer.released = it->second.released;
      announces_length = it->second.announces_length;
      if (attempt.resume_from != 0) {
        answer.status = 206;
        answer.headers.emplace_back("Content-Range",
                                    "bytes " + std::to_string(attempt.resume_from) + "-" +
                                        std::to_string(it->second.body.size() - 1) + "/" +
                                        std::to_string(it->second.body.size()));
      }
    } else if (url.find("download_image.php?") != std::string::npos) {
      answer.body = PngBody();
      answer.released = companion_gate_;
    } else if (url.find("download_lyric.php?") != std::string::npos) {
      if (!lyrics_found_) {
        answer.status = 404;
        return answer;
      }
      answer.body = "[00:01.00]" + id_of() + "\n";
      answer.released = companion_gate_;
    } else {
      answer.status = 404;
      return answer;
    }
    if (announces_length) {
      answer.headers.emplace_back("Content-Length", std::to_string(answer.body.size()));
    }
    return answer;
  }

  // A waiting song of the library (and of the default list) whose download answers `script`.
  void AddSong(const std::string& id, const std::string& title,
               const std::string& artist = "Artist", const std::string& album = "Album",
               SongScript script = SongScript()) {
    if (script.body.empty()) script.body = SongBody(id);
    {
      std::lock_guard lock(mutex_);
      songs_[id] = std::move(script);
    }
    store::MusicRecord record{{"id", id}, {"name", title}, {"status", "0"}};
    if (!artist.empty()) {
      record["artist_name"] = artist;
      record["artist_id"] = "a" + artist;
    }
    if (!album.empty()) {
      record["album_name"] = album;
      record["album_id"] = "b" + album;
    }
    ASSERT_TRUE(library().AddMusic(record));
  }
  // Holds back the song's body beyond `bytes` until Release.
  std::shared_ptr<std::atomic<std::size_t>> Hold(const std::string& id, std::size_t bytes = 0) {
    std::lock_guard lock(mutex_);
    auto gate = std::make_shared<std::atomic<std::size_t>>(bytes);
    songs_[id].released = gate;
    return gate;
  }

  bool Pump(const std::function<bool()>& condition) {
    return loop_.PumpUntil(condition, std::chrono::seconds(20));
  }
  std::string Status(const std::string& id) {
    auto record = library().FindMusic(id);
    if (!record) return "gone";
    auto it = record->find("status");
    return it == record->end() ? "" : it->second;
  }
  std::vector<std::string> RunningSongs() {
    std::vector<std::string> ids;
    for (const auto& entry : manager_->entries()) {
      if (entry.kind == downloads::DownloadKind::kSong) ids.push_back(entry.item_id);
    }
    return ids;
  }
  // Song attempts so far, in order, by song id.
  std::vector<std::string> SongRequests() {
    std::vector<std::string> ids;
    for (const FakeAttempt& attempt : client_->attempts()) {
      const std::string& url = attempt.url;
      if (url.find("download.php?") == std::string::npos || attempt.resume_from != 0) continue;
      const std::size_t begin = url.find("id=") + 3;
      ids.push_back(url.substr(begin, url.find('&', begin) - begin));
    }
    return ids;
  }
  int RequestsContaining(const std::string& text) {
    int count = 0;
    for (const FakeAttempt& attempt : client_->attempts())
      count += attempt.url.find(text) != std::string::npos;
    return count;
  }

  store::MusicLibrary& library() { return runtime_->library(); }
  store::DocumentStore& store() { return runtime_->store(); }
  std::string MusicFolder() { return store().FolderPath("music"); }
  std::string DownloadFolder() { return store().FolderPath(".download"); }

  TempFolder data_;
  loop::MainLoop loop_;
  std::unique_ptr<store::StoreRuntime> runtime_;
  FakeTransferClient* client_ = nullptr;
  std::unique_ptr<service::SafeDownloader> downloader_;
  service::SharedEndpoints endpoints_;
  std::unique_ptr<downloads::DownloadManager> manager_;
  RecordingTags tags_;
  RecordingDownloadListener listener_;
  loop::Subscription listening_;
  loop::Subscription stopper_;
  loop::Subscription tag_access_;
  std::mutex mutex_;
  std::map<std::string, SongScript> songs_;
  std::atomic<bool> lyrics_found_{false};
  // Pictures and lyrics give this many bytes (all of them unless a test holds them back).
  std::shared_ptr<std::atomic<std::size_t>> companion_gate_ =
      std::make_shared<std::atomic<std::size_t>>(1 << 20);
};

}  // namespace quillo::testing
