#include "media/TagInfo.h"

#include "media/MP3ID3v1.h"
#include "media/MP3ID3v2.h"

namespace quillo::media {

bool TagInfo::Read(const std::string& file_path) {
  path = file_path;
  found = false;
  auto file = TagFile::Open(file_path);
  if (!file) return false;
  MP3ID3v2 v2;
  found = v2.Read(*file, *this);
  if (!found) {
    MP3ID3v1 v1;
    found = v1.Read(*file, *this);
  }
  return found;
}

bool TagInfo::Write() {
  auto file = TagFile::Open(path);
  if (!file) return false;
  MP3ID3v1 v1;
  MP3ID3v2 v2;
  // Both tags change the content in memory; the file is replaced once.
  if (!v1.Write(*file, *this)) return false;
  if (!v2.Write(*file, *this)) return false;
  return file->Commit();
}

}  // namespace quillo::media
