#pragma once
// The ID3v1 block: the last 128 bytes of the file, "TAG" (any letter case), then fixed-width
// fields in GBK: title, artist, album (30 bytes each), year (4), comment (30), genre number (1).
#include "media/MP3ID3.h"

namespace quillo::media {

class MP3ID3v1 : public MP3ID3 {
 public:
  static constexpr std::size_t kBlockBytes = 128;

  bool Read(TagFile& file, TagInfo& info) override;
  // Overwrites an existing block or appends one. Text is cut to its field at a character
  // boundary; an ID3v1.1 track number survives when the comment leaves room for it.
  bool Write(TagFile& file, const TagInfo& info) override;

  // The 128-byte block for the fields (`previous` is the old block or empty).
  static std::string BuildBlock(const TagInfo& info, std::string_view previous);
  static bool ParseBlock(std::string_view block, TagInfo& info);
};

}  // namespace quillo::media
