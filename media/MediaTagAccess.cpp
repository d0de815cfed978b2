#include "media/MediaTagAccess.h"

#include "media/TagInfo.h"
#include "media/WMAInfo.h"
#include "platform/text/TextUtil.h"

namespace quillo::media {

std::optional<store::SongTags> MediaTagAccess::ReadTags(const std::string& path, const std::string& extension) {
  const std::string lower = text::ToLowerAscii(extension);
  if (lower == ".mp3") {
    TagInfo info;
    if (!info.Read(path)) return std::nullopt;
    return store::SongTags{info.title, info.artist, info.album};
  }
  if (lower == ".wma") {
    auto file = TagFile::Open(path);
    if (!file) return std::nullopt;
    WMAInfo wma;
    int result = wma.Read(*file);
    // A file without one of the description objects still has the fields of the other.
    if (result != WMAInfo::kOk && result != WMAInfo::kNoContentDescription &&
        result != WMAInfo::kNoExtendedDescription && result != WMAInfo::kBadDescriptor) {
      return std::nullopt;
    }
    return store::SongTags{wma.title(), wma.author(), wma.album()};
  }
  return std::nullopt;
}

bool MediaTagAccess::WriteTags(const std::string& path, const std::string& extension, const store::SongTags& tags) {
  const std::string lower = text::ToLowerAscii(extension);
  if (lower == ".mp3") {
    TagInfo info;
    info.Read(path);  // keeps year, comment and genre of an existing tag
    info.path = path;
    info.title = tags.title;
    info.artist = tags.artist;
    info.album = tags.album;
    return info.Write();
  }
  if (lower == ".wma") {
    auto file = TagFile::Open(path);
    if (!file) return false;
    WMAInfo wma;
    int result = wma.Read(*file);
    if (result != WMAInfo::kOk && result != WMAInfo::kNoContentDescription &&
        result != WMAInfo::kNoExtendedDescription) {
      return false;
    }
    wma.SetTitle(tags.title);
    wma.SetAuthor(tags.artist);
    wma.SetAlbum(tags.album);
    return wma.Write(*file) && file->Commit();
  }
  return false;
}

}  // namespace quillo::media
