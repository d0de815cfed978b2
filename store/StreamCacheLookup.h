#pragma once
// The play cache's files of a song that is not in the library (the play cache implements it).
// Called with the store's lock held; must not wait for another thread that needs the store.
#include <optional>
#include <string>

namespace quillo::store {

class StreamCacheLookup {
 public:
  virtual ~StreamCacheLookup() = default;
  // Absolute paths of the cached song file and lyric file, when present.
  virtual std::optional<std::string> CachedSongPath(const std::string& music_id) = 0;
  virtual std::optional<std::string> CachedLyricPath(const std::string& music_id) = 0;
};

}  // namespace quillo::store
