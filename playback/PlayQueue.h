#pragma once
// The main window's play operations: turns the store's queue selections into playback by the
// player, reacts to the player's notifications (status line, buttons, time display, end of song,
// failures) and keeps the set of songs that failed since the last successful start, which stops
// endless skipping through unplayable songs.
//
// Threads: the window thread only. The player's notifications arrive from the loop; the "play
// next" request of the failure procedure is posted through the loop to this object (as the main
// window's layer event 3 was), so it runs after the notification that caused it. Everything
// posted is dropped when the queue is destroyed.
#include <optional>
#include <set>
#include <string>

#include "platform/loop/LoopTarget.h"
#include "playback/PlayQueueMode.h"
#include "playback/PlayerNotification.h"
#include "service/api/ServiceFileUrls.h"
#include "store/MusicRecord.h"

namespace quillo::store {
class DocumentStore;
class MusicLibrary;
class Playlists;
class QueueSelection;
}  // namespace quillo::store

namespace quillo::service {
class CStatBtnClick;
}

namespace quillo::playback {

class LyricStarter;
class Player;
class PlayQueueView;
class SongSelectBox;

enum class QueueCommand { kNext, kPrevious, kRandom };

class PlayQueue : public PlayerListener {
 public:
  static constexpr const char* kIdleText = "Zelbo音乐，我才最流行！";

  struct Parts {
    store::DocumentStore& store;
    store::MusicLibrary& library;
    store::Playlists& playlists;
    store::QueueSelection& selection;
    Player& player;
    PlayQueueView& view;
    SongSelectBox& select_box;
    loop::MainLoop& loop;
    // Builds the stream addresses of service songs.
    service::ServiceFileUrls urls;
    // May be null: no lyric views, no event reports.
    LyricStarter* lyrics = nullptr;
    service::CStatBtnClick* stats = nullptr;
  };

  // Everything in parts must outlive the queue. Registers with the player.
  explicit PlayQueue(Parts parts);
  ~PlayQueue() override;
  PlayQueue(const PlayQueue&) = delete;
  PlayQueue& operator=(const PlayQueue&) = delete;

  // The song a command would select in the current list under the mode (random mode turns next
  // and previous into random picks). The selection's current-item rules apply.
  static std::optional<store::MusicRecord> ChooseSong(store::QueueSelection& selection,
                                                      QueueCommand command, PlayMode mode,
                                                      bool wrap);

  // ---- Play operations -------------------------------------------------------------------
  // Starts the song, unless it failed since the last successful start or it is a local song
  // without its file.
  void PlayRecord(const std::optional<store::MusicRecord>& record);
  void PlayNext(bool wrap);
  void PlayPrevious(bool wrap);
  void PlayRandom();
  // The current song again; the next one (with wrap) when nothing is current.
  void ReplayCurrent();
  // Makes the list and song current and plays it, with an empty failed-song set.
  void PlayListItem(const std::string& list_id, const std::string& music_id);

  // ---- User commands ----------------------------------------------------------------------
  // Resumes a paused player, else replays the current song.
  void Play();
  void Pause();
  void Previous() { PlayPrevious(true); }
  void Next() { PlayNext(true); }
  // A song row double-clicked (or "播放" in a song list's menu) in the list shown.
  void PlaySelected(const std::string& list_id, const store::MusicRecord& record);
  // A music file opened from the command line is added to "local" by the caller, then played
  // with PlayListItem("local", id).

  void OnPlayerNotification(const PlayerNotification& notification) override;

  bool HasFailed(const std::string& music_id) const { return failed_.count(music_id) != 0; }
  const std::set<std::string>& failed_songs() const { return failed_; }

 private:
  void OnStateChanged(PlayerState state);
  void OnStarted();
  void OnFinished();
  void OnFailed();
  void PostNext();
  std::string Title() const;
  void SetStatus(const std::string& text);
  void Report(const char* type, const std::string& music_id, const std::string& title);

  Parts parts_;
  std::set<std::string> failed_;
  // Last: dropped first, so nothing posted runs on a half-destroyed queue.
  loop::LoopTarget target_;
};

}  // namespace quillo::playback
