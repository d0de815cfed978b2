#pragma once
// The five play modes, their configuration values ("module.music.play_mode"), menu captions and
// command ids, and the rules the main window follows when it builds the play-mode menus and
// when the user chooses a mode. Window thread (the store takes its own lock).
#include <array>
#include <optional>
#include <string_view>

namespace quillo::store {
class DocumentStore;
}

namespace quillo::playback {

enum class PlayMode {
  kSingleNoRepeat,  // a song ends: playback stays stopped
  kSingleRepeat,    // the same song again
  kAllNoRepeat,     // the next song, none after the last
  kAllRepeat,       // the next song, the first after the last (the default)
  kRandom,          // a random song of the current list
  kUnknown,         // a stored value none of the above: a song's end plays nothing
};

struct PlayModeEntry {
  PlayMode mode;
  std::string_view value;    // configuration value
  std::string_view caption;  // menu caption under "播放模式"
  int command_id;
};

class PlayQueueMode {
 public:
  static constexpr std::string_view kMenuTitle = "播放模式";
  static constexpr PlayMode kDefault = PlayMode::kAllRepeat;

  // The five modes in menu order.
  static const std::array<PlayModeEntry, 5>& Entries();
  static std::optional<PlayMode> FromValue(std::string_view value);
  static std::optional<PlayMode> FromCommand(int command_id);
  // The configuration value; empty for kUnknown.
  static std::string_view Value(PlayMode mode);

  // The stored mode: the default when the key is absent, kUnknown for any other text.
  static PlayMode Current(const store::DocumentStore& store);
  // The mode a play-mode menu shows checked. A stored value that is none of the five is removed
  // from the configuration, so the default applies from then on.
  static PlayMode ForMenu(store::DocumentStore& store);
  // The user chose a mode: the key is written only when the stored text differs. Answers
  // whether it was written (the main window then refreshes its play-mode button).
  static bool Choose(store::DocumentStore& store, PlayMode mode);
};

}  // namespace quillo::playback
