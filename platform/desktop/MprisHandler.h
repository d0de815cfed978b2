#pragma once
// What the media-player service asks of the program when a client (playerctl, the desktop's
// media keys, a panel applet) calls a method or sets a property. Every call comes on the window
// thread from the loop; the service answers the client after the call returns.
#include <cstdint>
#include <string>

namespace quillo::desktop {

class MprisHandler {
 public:
  virtual ~MprisHandler() = default;

  // org.mpris.MediaPlayer2
  virtual void Raise() = 0;
  virtual void Quit() = 0;

  // org.mpris.MediaPlayer2.Player
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void PlayPause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;
  virtual void Previous() = 0;
  // Moves by offset_us (negative: back) from the current position.
  virtual void Seek(std::int64_t offset_us) = 0;
  // Jumps to position_us when track_path names the song loaded now; ignored otherwise.
  virtual void SetPosition(const std::string& track_path, std::int64_t position_us) = 0;
  virtual void OpenUri(const std::string& uri) = 0;

  // Writable properties.
  virtual void SetVolume(double volume) = 0;
  virtual void SetLoopStatus(const std::string& loop_status) = 0;
  virtual void SetShuffle(bool shuffle) = 0;

  // "Position" is read on demand (clients poll it; it is never announced).
  virtual std::int64_t PositionUs() = 0;
};

}  // namespace quillo::desktop
