#pragma once
// The now-playing text the program publishes (once the messenger's status, now the media-player
// service's "xesam:asText"): from "sorvel.music.sendtomsn" and "sorvel.music.sendtomsn.type".
// Window thread (the store takes its own lock).
#include <optional>
#include <string>

namespace quillo::store {
class DocumentStore;
}

namespace quillo::ui {

class NowPlayingText {
 public:
  enum class Phase { kPlaying, kPaused, kStopped };

  struct Settings {
    bool send = true;      // "sorvel.music.sendtomsn" is not "false"
    bool by_name = false;  // "sorvel.music.sendtomsn.type" is "name" (absent: the lyric line)
  };

  static Settings Read(const store::DocumentStore& store);

  // The text for this tick, or none to keep the last one: sending off → empty; stopped states
  // → empty; playing → the title when by name, else the current lyric line when lyrics are
  // loaded and a line is current (lyric_line set and not empty), else the title; paused → none.
  static std::optional<std::string> Compose(const Settings& settings, Phase phase,
                                            const std::string& title,
                                            const std::optional<std::string>& lyric_line);
};

}  // namespace quillo::ui
