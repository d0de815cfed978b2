#pragma once
// The song side of a finished or skipped download: files a finished download into the music
// folder through the library, and recognises a song an older version already stored under its
// legacy name.
//
// Window thread. The file work (naming by the bytes, the library's move and tag rewrite) runs
// without the store's lock; the library takes it only to read the song and record the result.
#include <cstdint>
#include <string>

namespace quillo::store {
class DocumentStore;
class MusicLibrary;
}  // namespace quillo::store

namespace quillo::downloads {

class SongFiling {
 public:
  // Both outlive this object.
  SongFiling(store::DocumentStore& store, store::MusicLibrary& library)
      : store_(store), library_(library) {}

  // Files the finished download at `downloaded_path`. A download whose URL named no song
  // extension (it still ends in ".part") is named after its bytes first (".mp3" or ".wma"), so
  // that the stored copy plays and gets its tags. True when the song was filed (status 2); on
  // false the song is at status 3 and the file stays where it is, or the song was deleted
  // meanwhile.
  bool File(const std::string& music_id, const std::string& downloaded_path);

  // Whether the downloaded file's bytes run whole to their end (SongFileEnd); false when it
  // cannot be read.
  static bool EndsWhole(const std::string& downloaded_path);

  // The legacy-name shortcut, when a song's transfer starts: when the file
  // "<music folder><artist>/<id>-<title><ext>" exists with exactly `total_bytes` bytes (not 0)
  // and no other song names it, the song takes it as its stored copy (fileName, status 2) and
  // true is answered. `target_path` is the transfer's target, whose extension is used; a target
  // without a song extension tries ".mp3" and then ".wma".
  bool TakeLegacyCopy(const std::string& music_id, const std::string& target_path,
                      std::uint64_t total_bytes);

 private:
  store::DocumentStore& store_;
  store::MusicLibrary& library_;
};

}  // namespace quillo::downloads
