#pragma once
// The descriptive tags of one MP3 file. The fields are UTF-8: the readers decode what the file
// holds (GBK byte strings, UTF-16, UTF-8) and the writers encode it again, so callers never see
// the file's byte forms.
//
// Called on any thread; each object is used by one thread at a time.
#include <string>

namespace quillo::media {

struct TagInfo {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;
  std::string comment;
  // ID3v2 "TCON" text; from ID3v1 the genre number as decimal text (empty for none).
  std::string genre;
  std::string path;
  // A tag was read.
  bool found = false;

  // Reads the ID3v2 tag, or the ID3v1 block when there is no usable ID3v2 tag. Answers found.
  bool Read(const std::string& file_path);
  // Writes both tags into the file at `path` (the ID3v1 block and an ID3v2 tag carrying every
  // frame of the old tag). The audio bytes are untouched; the file is replaced atomically.
  bool Write();
};

}  // namespace quillo::media
