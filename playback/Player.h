#pragma once
// The operations of the one audio player that the play queue, the windows and the lyric views
// use. MediaPlayer implements it; tests of its users drive a fake. Window thread only.
#include <string>

namespace quillo::playback {

class PlayerListener;
class SpectrumAnalyzer;

class Player {
 public:
  virtual ~Player() = default;

  // A listener must be removed before it is destroyed; notifications posted before the removal
  // are dropped.
  virtual void AddListener(PlayerListener& listener) = 0;
  virtual void RemoveListener(PlayerListener& listener) = 0;

  // Plays a file on disk; false (after a kFailed notification) when it cannot be rendered.
  virtual bool PlayFile(const std::string& path, const std::string& music_id,
                        const std::string& title) = 0;
  // Streams a service song through the cache folder while it downloads.
  virtual bool PlayStream(const std::string& url, const std::string& music_id,
                          const std::string& title) = 0;
  virtual void Stop() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual bool Seek(int position_ms) = 0;

  virtual int GetPositionMs() = 0;  // -1 without a graph
  virtual int GetDurationMs() = 0;  // -1 without a graph
  virtual bool IsActive() const = 0;
  virtual bool IsPaused() const = 0;

  virtual int GetVolume() const = 0;
  // Applied to the playing graph and every later one; stored by the play surface, not here.
  virtual void SetVolume(int volume) = 0;
  virtual void SetMute(bool on) = 0;
  virtual int GetBalance() const = 0;
  virtual void SetBalance(int balance) = 0;

  virtual std::string GetTitle() const = 0;
  virtual std::string GetMusicId() const = 0;
  // The title followed by " [mm:ss]" when the duration is known.
  virtual std::string GetDisplayTitle() = 0;

  // Analyses the latest PCM into the spectrum (bars fall while paused or without a song) and
  // answers it, or null for a player without one. Window thread; valid until the next call.
  virtual const SpectrumAnalyzer* UpdateSpectrumView() { return nullptr; }
};

}  // namespace quillo::playback
