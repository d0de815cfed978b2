#pragma once
// The one audio player of the program. It plays a file on disk through a graph that renders the
// file itself, or streams a service song: the song is downloaded into the cache folder by the
// safe downloader while a graph plays a snapshot of what is on disk, rebuilt over longer
// snapshots as data arrives (StreamRules has the numbers). It applies volume, mute and balance
// to every graph (the play surface stores them), posts its notifications to its listeners, keeps the position the lyric views read, applies the
// equaliser and feeds the spectrum from the graph's analysis tap.
//
// Window thread only: the public operations, the download callbacks (the safe downloader
// delivers them there), graph events (queued by the graph factory's callback and handled from
// the loop) and the position timer (timer 101, every second).
//
// Continuing a streamed song whose graph reached the end of its snapshot: the graph's own
// position at that moment is the resume point (the timer's last reading can be a second old).
// While the download runs, the song continues at once over a new snapshot when at least the
// buffering threshold (300000 bytes when no length was announced) has arrived beyond the old
// snapshot; otherwise the player waits (base = received, state "buffering") until the data rule
// of the waiting state is met. After the download ended, the song continues over the complete
// file whenever that holds bytes the snapshot did not (even within 3 s of the estimated
// duration: a 3-second margin would cut the end off every streamed song); otherwise it is
// finished. No rebuild ever happens without new data.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/loop/LoopTarget.h"
#include "platform/loop/Timer.h"
#include "platform/media/MediaGraph.h"
#include "playback/AudioLevels.h"
#include "playback/EqualizerGains.h"
#include "playback/Player.h"
#include "playback/PlayerNotifier.h"
#include "playback/PositionSmoother.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {
class SafeDownloader;
}
namespace quillo::store {
class DocumentStore;
class MusicLibrary;
}  // namespace quillo::store

namespace quillo::playback {

class PlayCache;
class SpectrumAnalyzer;

class MediaPlayer : public Player, public service::SafeDownloaderCallback {
 public:
  // The position timer (101 in the window's numbering).
  static constexpr int kPositionTimerMs = 1000;

  struct Services {
    loop::MainLoop& loop;
    audio::MediaGraphFactory& graphs;
    service::SafeDownloader& downloader;
    store::DocumentStore& store;
    store::MusicLibrary* library = nullptr;  // where "tryout" is written; may be null
    PlayCache* cache = nullptr;              // may be null
  };
  // Everything in `services` must outlive the player.
  explicit MediaPlayer(Services services);
  // Cancels the download and releases the graph.
  ~MediaPlayer() override;
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  // Shows a plain message (a failure while inserting the analysis tap). Default: none shown.
  void SetMessageBoxHook(std::function<void(const std::string&)> hook);
  // Milliseconds of a steady clock, for the position smoothing (tests give their own).
  void SetClock(std::function<std::int64_t()> clock_ms);

  // ---- Player ----------------------------------------------------------------------------
  void AddListener(PlayerListener& listener) override { notifier_.Add(listener); }
  void RemoveListener(PlayerListener& listener) override { notifier_.Remove(listener); }
  bool PlayFile(const std::string& path, const std::string& music_id,
                const std::string& title) override;
  // False (after a kFailed notification) only when no download could be started.
  bool PlayStream(const std::string& url, const std::string& music_id,
                  const std::string& title) override;
  void Stop() override;
  void Pause() override;
  void Resume() override;
  bool Seek(int position_ms) override;
  int GetPositionMs() override;
  // For a graph over a snapshot, the duration extrapolated to the whole song.
  int GetDurationMs() override;
  bool IsActive() const override { return online_ || graph_ != nullptr; }
  bool IsPaused() const override { return paused_; }
  int GetVolume() const override { return volume_; }
  void SetVolume(int volume) override;
  void SetMute(bool on) override;
  int GetBalance() const override { return balance_; }
  void SetBalance(int balance) override;
  std::string GetTitle() const override { return title_; }
  std::string GetMusicId() const override { return music_id_; }
  std::string GetDisplayTitle() override;

  // ---- Equaliser and spectrum (MediaPlayerEffects.cpp) ------------------------------------
  // The process's equaliser gains, loaded from "sorvel.eq.value" when the player is made; the
  // equaliser dialog edits them and calls ApplyEqualizer.
  EqualizerGains& equalizer_gains() { return equalizer_gains_; }
  // Applies the gains to the current graph (every build applies them too).
  void ApplyEqualizer();
  // Analyses the tap's latest PCM into the spectrum's bars and peaks (bars fall while paused
  // or without a graph). Read spectrum() right after, on the same thread.
  void UpdateSpectrum();
  const SpectrumAnalyzer* spectrum() const { return spectrum_.get(); }
  const SpectrumAnalyzer* UpdateSpectrumView() override {
    UpdateSpectrum();
    return spectrum_.get();
  }

  // ---- Download callbacks (window thread) -------------------------------------------------
  void OnStart(service::TransferRecord& record) override;
  void OnData(service::TransferRecord& record) override;
  void OnFinish(service::TransferRecord& record) override;

  // ---- Loop entry points (public so that tests can step them) ----------------------------
  // The position timer's tick: posts the position report.
  void OnPositionTimer();
  // Drains the graph's queued events (posted from the factory's callback).
  void OnGraphEvents();

  // The file the current download writes (after the downloader's extension change).
  const std::string& stream_file_path() const { return file_path_; }

 private:
  bool CreateGraph();
  bool BuildGraph();
  void ReleaseGraph();
  void CancelDownload();
  void ApplyLevelsAtBuild();
  void InsertTap();
  void StartPositionTimer();
  void HandleGraphEnd(bool error);
  void ContinueAtSnapshotEnd(bool error);
  void FinishSong(PlayerState state);
  void WriteTryout();
  double ReadGraphDuration();

  Services services_;
  loop::LoopTarget target_;
  PlayerNotifier notifier_;
  std::unique_ptr<audio::MediaGraph> graph_;
  // Counts graph builds, so that events queued for a released graph are dropped.
  std::uint64_t graph_generation_ = 0;
  std::function<void(const std::string&)> message_box_;
  std::function<std::int64_t()> clock_ms_;
  PositionSmoother smoother_;

  int volume_ = AudioLevels::kDefaultVolume;
  bool muted_ = false;
  int balance_ = 0;
  bool paused_ = false;
  std::string title_;
  std::string music_id_;

  // The current download (online song).
  bool online_ = false;
  bool started_ = false;
  bool download_ended_ = false;
  bool mp3_graph_ = false;
  bool waiting_ = false;
  std::int64_t base_ = 0;
  std::int64_t received_ = 0;
  std::int64_t total_ = 0;
  std::string file_path_;
  std::string download_id_;
  double saved_position_s_ = 0;
  double duration_s_ = 0;
  // The bytes the current (or last) graph's snapshot held, its own duration, and whether it
  // stopped at the snapshot's end and waits to be continued.
  std::int64_t snapshot_bytes_ = 0;
  double snapshot_duration_s_ = 0;
  bool stopped_at_snapshot_end_ = false;
  // Whether the streamed file is MP3, decided at its first build.
  std::optional<bool> stream_is_mp3_;

  EqualizerGains equalizer_gains_;
  std::unique_ptr<SpectrumAnalyzer> spectrum_;
  // Last: its ticks read the graph and post through the notifier.
  loop::Timer position_timer_;
};

}  // namespace quillo::playback
