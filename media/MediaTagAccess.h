#pragma once
// The music library's way to the tag readers and writers: ".mp3" through TagInfo (ID3v2, else
// ID3v1), ".wma" through WMAInfo (title, author as artist, "WM/AlbumTitle" as album).
// Stateless; any thread.
#include "store/SongTagAccess.h"

namespace quillo::media {

class MediaTagAccess : public store::SongTagAccess {
 public:
  std::optional<store::SongTags> ReadTags(const std::string& path, const std::string& extension) override;
  bool WriteTags(const std::string& path, const std::string& extension, const store::SongTags& tags) override;
};

}  // namespace quillo::media
