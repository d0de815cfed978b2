#include "ui/desktop/MprisTrack.h"

#include <cctype>

namespace quillo::ui {
namespace {

constexpr char kHex[] = "0123456789abcdef";

bool IsAlnum(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string Attribute(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

std::string MprisTrack::TrackPath(const std::string& music_id) {
  if (music_id.empty()) return desktop::MprisMetadata::kNoTrack;
  std::string path = kTrackPathPrefix;
  for (unsigned char c : music_id) {
    if (IsAlnum(c)) {
      path += static_cast<char>(c);
    } else {
      path += '_';
      path += kHex[c >> 4];
      path += kHex[c & 0xF];
    }
  }
  return path;
}

std::string MprisTrack::FileUrl(const std::string& path) {
  std::string url = "file://";
  for (unsigned char c : path) {
    if (IsAlnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += static_cast<char>(std::toupper(kHex[c >> 4]));
      url += static_cast<char>(std::toupper(kHex[c & 0xF]));
    }
  }
  return url;
}

desktop::MprisMetadata MprisTrack::Build(const store::MusicRecord& record,
                                         const std::string& fallback_title, int length_ms,
                                         const std::string& art_path, const std::string& as_text) {
  desktop::MprisMetadata metadata;
  metadata.track_path = TrackPath(store::IdOf(record));
  metadata.length_us = length_ms < 0 ? -1 : static_cast<std::int64_t>(length_ms) * 1000;
  metadata.title = Attribute(record, "name");
  if (metadata.title.empty()) metadata.title = fallback_title;
  std::string artist = Attribute(record, "artist_name");
  if (!artist.empty()) metadata.artists.push_back(std::move(artist));
  metadata.album = Attribute(record, "album_name");
  if (!art_path.empty()) metadata.art_url = FileUrl(art_path);
  metadata.as_text = as_text;
  return metadata;
}

}  // namespace quillo::ui
