#pragma once
// What the music library needs of the tag readers and writers (they live in media/, which the
// store does not depend on; the program and quillo-tool hand an implementation to the library).
// Both are called without the store's lock: ReadTags on the import's thread, for example,
// WriteTags on the thread that files a download.
#include <optional>
#include <string>

namespace quillo::store {

struct SongTags {
  std::string title;
  std::string artist;
  std::string album;
};

class SongTagAccess {
 public:
  virtual ~SongTagAccess() = default;
  // The tags of the file (UTF-8); no value when it has none or cannot be read. `extension` is
  // the lower-case extension with its dot (".mp3", ".wma").
  virtual std::optional<SongTags> ReadTags(const std::string& path, const std::string& extension) = 0;
  // Writes title, artist and album into the file, keeping its other tags and its audio.
  virtual bool WriteTags(const std::string& path, const std::string& extension, const SongTags& tags) = 0;
};

}  // namespace quillo::store
