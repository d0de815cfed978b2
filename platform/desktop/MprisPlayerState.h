#pragma once
// What the media-player service publishes on the session bus, as plain data: the properties of
// the org.mpris.MediaPlayer2.Player interface. The model (ui/desktop/MprisAdapter) fills it; the
// bus glue turns it into D-Bus values and announces each change with PropertiesChanged.
#include <cstdint>
#include <string>
#include <vector>

namespace quillo::desktop {

// The "Metadata" property. Empty texts and an empty artist list are left out of the map.
struct MprisMetadata {
  // "mpris:trackid": a D-Bus object path naming the song; kNoTrack when nothing is loaded.
  std::string track_path = kNoTrack;
  std::int64_t length_us = -1;       // "mpris:length" (µs); left out when negative
  std::string title;                 // "xesam:title"
  std::vector<std::string> artists;  // "xesam:artist"
  std::string album;                 // "xesam:album"
  std::string art_url;               // "mpris:artUrl" ("file://…")
  std::string as_text;               // "xesam:asText": the now-playing text

  static constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
  bool operator==(const MprisMetadata&) const = default;
};

struct MprisPlayerState {
  std::string playback_status = "Stopped";  // "Playing", "Paused" or "Stopped"
  std::string loop_status = "Playlist";     // "None", "Track" or "Playlist"
  bool shuffle = false;
  double volume = 0.8;  // 0.0 .. 1.0
  MprisMetadata metadata;
  bool can_go_next = true;
  bool can_go_previous = true;
  bool can_play = true;
  bool can_pause = true;
  bool can_seek = false;
  bool can_control = true;

  bool operator==(const MprisPlayerState&) const = default;
};

}  // namespace quillo::desktop
