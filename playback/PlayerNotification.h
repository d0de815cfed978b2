#pragma once
// What the player tells its listeners (the main window, the lyric views, the play queue): a
// kind and a value, posted to the window thread so that a listener never re-enters the player
// from inside a notification. The numbers are the ones the windows have always used
// (window message WM_USER+4: kind in the first parameter, value in the second).
namespace quillo::playback {

inline constexpr int kPlayerNotificationMessage = 0x0400 + 4;  // WM_USER+4

enum class NotificationKind : int {
  kState = 1,      // value: PlayerState
  kPosition = 2,   // value: (duration seconds << 16) | (position seconds & 0xFFFF)
  kVolume = 3,     // value: 0..100
  kMute = 4,       // value: 1 on, 0 off
  kBuffering = 5,  // value: percent 0..100
};

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

struct PlayerNotification {
  NotificationKind kind = NotificationKind::kState;
  int value = 0;
  bool operator==(const PlayerNotification&) const = default;
};

class PlayerListener {
 public:
  virtual ~PlayerListener() = default;
  // Window thread, from the loop (never from inside a player operation).
  virtual void OnPlayerNotification(const PlayerNotification& notification) = 0;
};

}  // namespace quillo::playback
