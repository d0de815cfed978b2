#include "ui/desktop/MprisTrack.h"

#include <cctype>
#include <string_view>

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

std::optional<std::string> MprisTrack::PathFromFileUrl(const std::string& url) {
  constexpr std::string_view kScheme = "file://";
  if (url.size() < kScheme.size()) return std::nullopt;
  for (size_t i = 0; i < kScheme.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(url[i])) != kScheme[i]) return std::nullopt;
  }
  std::string rest = url.substr(kScheme.size());
  size_t slash = rest.find('/');
  if (slash == std::string::npos) return std::nullopt;
  std::string host = rest.substr(0, slash);
  if (!host.empty() && host != "localhost") return std::nullopt;
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  std::string path;
  for (size_t i = slash; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == '?' || c == '#') break;  // a query or fragment is no part of a file's name
    if (c != '%') {
      path += c;
      continue;
    }
    if (i + 2 >= rest.size()) return std::nullopt;
    int high = hex(rest[i + 1]);
    int low = hex(rest[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
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
