#pragma once
// The media-player service's Metadata built from the song that plays: its music record, the
// length the player knows, the artist picture and the now-playing text.
#include <cstdint>
#include <string>

#include "platform/desktop/MprisPlayerState.h"
#include "store/MusicRecord.h"

namespace quillo::ui {

class MprisTrack {
 public:
  static constexpr const char* kTrackPathPrefix = "/org/mpris/MediaPlayer2/quillo/track/";

  // A D-Bus object path naming the song: the prefix and the music id, each byte outside
  // [A-Za-z0-9] written as '_' and two lower-case hex digits (so distinct ids stay distinct and
  // any id gives a valid path). An empty id gives MprisMetadata::kNoTrack.
  static std::string TrackPath(const std::string& music_id);

  // title: the record's `name`, else fallback_title (the player's title); artist from
  // `artist_name`, album from `album_name`; length_ms < 0 leaves the length out; art_path (an
  // absolute file path, may be empty) becomes a "file://" address.
  static desktop::MprisMetadata Build(const store::MusicRecord& record,
                                      const std::string& fallback_title, int length_ms,
                                      const std::string& art_path, const std::string& as_text);

  // "file://" + the path with every byte outside the unreserved set and '/' percent-encoded.
  static std::string FileUrl(const std::string& path);
};

}  // namespace quillo::ui
