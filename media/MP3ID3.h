#pragma once
// One kind of MP3 tag: reads its fields into a TagInfo and writes them back into a file's
// content. The file is changed in memory only; TagFile::Commit puts it on disk.
#include "media/TagFile.h"
#include "media/TagInfo.h"

namespace quillo::media {

class MP3ID3 {
 public:
  virtual ~MP3ID3() = default;
  // True when the file holds this kind of tag; fills the fields it finds. Never reads past the
  // file, whatever its bytes.
  virtual bool Read(TagFile& file, TagInfo& info) = 0;
  // Puts the fields into the file's content. False when the content could not be read.
  virtual bool Write(TagFile& file, const TagInfo& info) = 0;
};

}  // namespace quillo::media
