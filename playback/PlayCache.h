#pragma once
// The files cached for playback (songs streamed into the cache folder, lyrics fetched for
// playback), oldest first, with a count limit ("sorvel.cache.size", 1..200, else 100): adding a
// file beyond the limit deletes the oldest files. Touching a song makes its files the newest.
//
// The list lives in memory. The songs and lyrics that earlier runs left in the cache folder are
// entered when the cache is made, oldest first by their time of change, so they count against
// the limit (and the oldest go first) instead of piling up run after run; streams that an
// earlier run left half-written are deleted then. Files of earlier runs only count: they are
// never answered as a song's cached copy, since a run that was killed may have left one cut
// short.
//
// Threads: Add, Touch, FilesFor and PurgeUnowned run on the window thread. The store asks
// CachedSongPath/CachedLyricPath with its lock held, possibly from another thread, so the list
// has a small lock of its own, never held while the store is called.
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "store/StreamCacheLookup.h"

namespace quillo::store {
class DocumentStore;
class MusicLibrary;
}  // namespace quillo::store

namespace quillo::playback {

class PlayCache : public store::StreamCacheLookup {
 public:
  static constexpr int kDefaultLimit = 100;
  static constexpr int kMaxLimit = 200;
  static constexpr const char* kMusicKind = "music";
  static constexpr const char* kLyricKind = "lyric";

  struct Entry {
    std::string kind;  // "music" or "lyric"
    std::string music_id;
    std::string path;  // absolute
    bool earlier_run = false;  // found in the cache folder when the cache was made
    bool operator==(const Entry&) const = default;
  };

  // `library` answers whether a song is still in the store (PurgeUnowned); both outlive this.
  // Enters the files of earlier runs (see above).
  PlayCache(store::DocumentStore& store, store::MusicLibrary& library);

  // Records a newly cached file. The same triple again only becomes the newest; otherwise the
  // oldest entries are removed (their files deleted, failures ignored) until there is room.
  void Add(const std::string& kind, const std::string& music_id, const std::string& path);
  // Every entry of the song that is not already last moves to the back, keeping their order.
  void Touch(const std::string& music_id);
  // kind -> path of the song's entries; a later entry of a kind wins.
  std::map<std::string, std::string> FilesFor(const std::string& music_id) const;
  // At close: deletes the file of every entry whose song is not in the store. The list stays.
  void PurgeUnowned();

  std::vector<Entry> Entries() const;
  // The configured count limit.
  int Limit() const;

  std::optional<std::string> CachedSongPath(const std::string& music_id) override;
  std::optional<std::string> CachedLyricPath(const std::string& music_id) override;

 private:
  std::optional<std::string> PathOf(const std::string& music_id, const std::string& kind) const;
  void EnterEarlierRuns();
  // Deletes the oldest entries until `room` more fit under `limit` (lock held).
  void MakeRoom(int limit, int room);

  store::DocumentStore& store_;
  store::MusicLibrary& library_;
  mutable std::mutex mutex_;
  std::vector<Entry> entries_;  // front = oldest
};

}  // namespace quillo::playback
