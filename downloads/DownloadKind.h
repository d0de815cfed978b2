#pragma once
// What one of the download manager's transfers fetches: a song, or a file that belongs with it.
#include <string_view>

namespace quillo::downloads {

enum class DownloadKind {
  kSong,
  kAlbumPicture,
  kArtistPicture,
  kLyric,
};

// The kind's name in partial file names ("<kind>-<id>.part") and in a song download's address:
// "music", "album", "artist" or "lyric".
constexpr std::string_view DownloadKindName(DownloadKind kind) {
  switch (kind) {
    case DownloadKind::kAlbumPicture:
      return "album";
    case DownloadKind::kArtistPicture:
      return "artist";
    case DownloadKind::kLyric:
      return "lyric";
    case DownloadKind::kSong:
      break;
  }
  return "music";
}

}  // namespace quillo::downloads
