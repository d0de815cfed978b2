#pragma once
// The model behind the media-player service: keeps what the service publishes (playback
// status, metadata, volume, loop and shuffle) up to date from the player's notifications and
// the main window's news, and turns every client call into a play operation.
//
// Method → operation: Play → Play (resume or replay); Pause → Pause when playing; PlayPause →
// Pause while playing, else Play; Stop → Stop; Next, Previous → Next, Previous; Seek(offset) and
// SetPosition(track, position) → Seek, clamped to 0..length, followed by the Seeked signal;
// OpenUri → OpenUri with the local path of a "file://" address or a "quillo://add/" link as it
// is (other addresses are ignored); Raise, Quit → the window's requests; Volume 0.0..1.0 →
// SetVolume(0..100); LoopStatus and Shuffle → ChooseMode (MprisModes). The play operations are
// the program's one play surface; Raise, Quit and OpenUri are the window's.
//
// Threads: window thread only. Ownership: the play surface outlives the adapter; the service
// (when set) is destroyed before it, and the adapter does not touch it in its destructor.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop/MprisHandler.h"
#include "platform/desktop/MprisPlayerState.h"
#include "playback/PlayQueueMode.h"
#include "playback/PlaySurface.h"
#include "playback/PlayerNotification.h"
#include "store/MusicRecord.h"

namespace quillo::desktop {
class MprisService;
}

namespace quillo::ui {

class MprisAdapter : public desktop::MprisHandler,
                     public playback::PlayerListener,
                     public playback::PlayModeListener {
 public:
  static constexpr const char* kLinkPrefix = "quillo://add/";

  // What a client asks of the window rather than of playback. Each may be empty.
  struct WindowRequests {
    // Shows and raises the main window (as the tray's left click does).
    std::function<void()> raise;
    // Quits as the tray menu's exit does. Called from inside a bus call: it must post the
    // shutdown rather than destroy the service (or the adapter) before it returns.
    std::function<void()> quit;
    // A local path or a "quillo://add/" link, handled as a second instance's command line.
    std::function<void(const std::string&)> open;
  };

  MprisAdapter(playback::PlaySurface& play, WindowRequests requests);
  MprisAdapter(const MprisAdapter&) = delete;
  MprisAdapter& operator=(const MprisAdapter&) = delete;

  // Where the state is published (nullptr: nowhere). Publishes the current state at once.
  void SetService(desktop::MprisService* service);

  // ---- News from the program ----------------------------------------------------------------
  // The player's notifications: state → PlaybackStatus, volume → Volume, position → the length.
  // The main window forwards them, or registers the adapter with the player itself.
  void OnPlayerNotification(const playback::PlayerNotification& notification) override;
  // A song started (the now-playing message): new metadata; the artist picture is cleared until
  // SetArtPath gives the new one.
  void OnSongStarted(const store::MusicRecord& record, const std::string& title);
  // The artist picture file of the song (empty: none).
  void SetArtPath(const std::string& path);
  // The now-playing text (NowPlayingText::Compose); published only when it differs.
  void SetNowPlayingText(const std::string& text);
  // The play mode changed (by a menu, or by a client through ChooseMode).
  void OnModeChanged(playback::PlayMode mode);
  void OnPlayModeChanged(playback::PlayMode mode) override { OnModeChanged(mode); }
  // The position jumped by other means (the seek bar): the Seeked signal.
  void OnSeeked(int position_ms);
  // Nothing is loaded any more (the list was cleared): no track, Stopped.
  void OnSongCleared();

  const desktop::MprisPlayerState& state() const { return state_; }

  // ---- desktop::MprisHandler ----------------------------------------------------------------
  void Raise() override;
  void Quit() override;
  void Play() override;
  void Pause() override;
  void PlayPause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  void Seek(std::int64_t offset_us) override;
  void SetPosition(const std::string& track_path, std::int64_t position_us) override;
  void OpenUri(const std::string& uri) override;
  void SetVolume(double volume) override;
  void SetLoopStatus(const std::string& loop_status) override;
  void SetShuffle(bool shuffle) override;
  std::int64_t PositionUs() override;

 private:
  void SeekToUs(std::int64_t position_us);
  void RebuildMetadata();
  void Publish();

  playback::PlaySurface& operations_;
  WindowRequests requests_;
  desktop::MprisService* service_ = nullptr;
  desktop::MprisPlayerState state_;
  store::MusicRecord record_;
  std::string title_;
  std::string art_path_;
  std::string now_playing_;
  int length_ms_ = -1;
};

}  // namespace quillo::ui
