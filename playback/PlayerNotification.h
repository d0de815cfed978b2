#pragma once
// What the player tells its listeners (the main window, the lyric views, the play queue, the
// media-player service): one of five typed values, posted to the window thread so that a
// listener never re-enters the player from inside a notification.
#include <variant>

namespace quillo::playback {

// The numbers are the ones the windows and the command-line tool have always shown.
enum class PlayerState : int {
  kOpening = 0,
  kPlaying = 1,
  kStopped = 2,
  kBuffering = 3,
  kPaused = 4,
  kFailed = 5,
  kResumed = 6,
  kStarted = 7,
  kFinished = 8,
};

struct StateChanged {
  PlayerState state = PlayerState::kOpening;
  bool operator==(const StateChanged&) const = default;
};

// Whole seconds, as the position timer reads them; both at least 0.
struct PositionChanged {
  int position_s = 0;
  int duration_s = 0;
  bool operator==(const PositionChanged&) const = default;
};

// 0..100.
struct VolumeChanged {
  int volume = 0;
  bool operator==(const VolumeChanged&) const = default;
};

struct MuteChanged {
  bool muted = false;
  bool operator==(const MuteChanged&) const = default;
};

// How much of the data a streamed song waits for has arrived, 0..100.
struct BufferingProgress {
  int percent = 0;
  bool operator==(const BufferingProgress&) const = default;
};

using PlayerNotification =
    std::variant<StateChanged, PositionChanged, VolumeChanged, MuteChanged, BufferingProgress>;

class PlayerListener {
 public:
  virtual ~PlayerListener() = default;
  // Window thread, from the loop (never from inside a player operation).
  virtual void OnPlayerNotification(const PlayerNotification& notification) = 0;
};

}  // namespace quillo::playback
