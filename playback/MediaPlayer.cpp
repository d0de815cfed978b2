#include "playback/MediaPlayer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "playback/PlayCache.h"
#include "playback/SpectrumAnalyzer.h"
#include "playback/StreamRules.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/TransferRecord.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/StoredPath.h"

namespace quillo::playback {
namespace {

constexpr int kDownloadAttempts = 8;

const char* TapFailureText(audio::TapFailure failure) {
  switch (failure) {
    case audio::TapFailure::kNone:
      return "";
    case audio::TapFailure::kNoRendererOutputPin:
      return "找不到喇叭的连接Pin";
    case audio::TapFailure::kCannotDisconnectOutput:
      return "不能断开喇叭的连接";
    case audio::TapFailure::kNoRendererInputPin:
      return "找不到喇叭的输入Pin";
    case audio::TapFailure::kCannotDisconnectInput:
      return "不能断开喇叭的输入Pin";
    case audio::TapFailure::kCannotAddGrabber:
      return "不能加入Sample Grabber";
    case audio::TapFailure::kCannotConnectGrabber:
      return "不能连接Sampler";
    case audio::TapFailure::kCannotConnectRenderer:
      return "不能连接喇叭";
  }
  return "";
}

std::int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A music id becomes a file name in the cache folder: it must not name another folder.
bool IsUsableFileStem(const std::string& music_id) {
  return !music_id.empty() && music_id != "." && music_id != ".." &&
         music_id.find('/') == std::string::npos && music_id.find('\0') == std::string::npos;
}

}  // namespace

MediaPlayer::MediaPlayer(Services services)
    : services_(services),
      target_(services.loop),
      notifier_(target_),
      clock_ms_(SteadyMs),
      position_timer_(services.loop) {
  // The saved equaliser sounds from the first song, not only once its dialog has been opened.
  equalizer_gains_.Load(services_.store);
  equalizer_gains_.SetPresetIndex(EqualizerGains::LoadPresetIndex(services_.store));
}

MediaPlayer::~MediaPlayer() {
  CancelDownload();
  ReleaseGraph();
}

void MediaPlayer::SetMessageBoxHook(std::function<void(const std::string&)> hook) {
  message_box_ = std::move(hook);
}

void MediaPlayer::SetClock(std::function<std::int64_t()> clock_ms) {
  clock_ms_ = clock_ms ? std::move(clock_ms) : std::function<std::int64_t()>(SteadyMs);
}

// ---- Playing ---------------------------------------------------------------------------------

bool MediaPlayer::PlayFile(const std::string& path, const std::string& music_id,
                           const std::string& title) {
  CancelDownload();
  ReleaseGraph();
  paused_ = false;
  title_ = title;
  music_id_ = music_id;
  waiting_ = false;
  base_ = 0;
  online_ = false;
  saved_position_s_ = 0;
  duration_s_ = 0;
  mp3_graph_ = false;
  stopped_at_snapshot_end_ = false;
  if (services_.cache != nullptr) services_.cache->Touch(music_id);

  const bool created = CreateGraph();
  notifier_.PostState(PlayerState::kOpening);
  // Only regular files: opening a pipe named like a song would wait for a writer for ever.
  if (!created || !fs::FileExists(path) || !graph_->RenderFile(path)) {
    ReleaseGraph();
    notifier_.PostState(PlayerState::kFailed);
    return false;
  }
  graph_->SetPositionSeconds(0);
  duration_s_ = ReadGraphDuration();
  StartPositionTimer();
  notifier_.PostState(PlayerState::kPlaying);
  ApplyLevelsAtBuild();
  InsertTap();
  ApplyEqualizer();
  graph_->Run();
  graph_->SetRate(1.0);
  notifier_.PostState(PlayerState::kStarted);
  return true;
}

bool MediaPlayer::PlayStream(const std::string& url, const std::string& music_id,
                             const std::string& title) {
  CancelDownload();
  ReleaseGraph();
  paused_ = false;
  music_id_ = music_id;
  title_ = title;
  waiting_ = true;
  base_ = 0;
  received_ = 0;
  total_ = 0;
  online_ = true;
  saved_position_s_ = 0;
  duration_s_ = 0;
  started_ = false;
  download_ended_ = false;
  mp3_graph_ = false;
  snapshot_bytes_ = 0;
  snapshot_duration_s_ = 0;
  stopped_at_snapshot_end_ = false;
  stream_is_mp3_.reset();
  file_path_.clear();
  notifier_.PostState(PlayerState::kOpening);

  const std::string folder = services_.store.FolderPath(".cache");
  fs::CreateFolders(folder);
  if (IsUsableFileStem(music_id)) {
    file_path_ = folder + music_id + ".playpart";
    download_id_ = services_.downloader.Download(url, file_path_, this, /*append_extension=*/true,
                                                 0, 0, kDownloadAttempts,
                                                 service::SafeDownloader::Pace::kLockstep);
  }
  if (download_id_.empty()) {
    // Nothing will ever call back: say so now instead of buffering for ever.
    online_ = false;
    notifier_.PostState(PlayerState::kFailed);
    return false;
  }
  return true;
}

void MediaPlayer::Stop() {
  CancelDownload();
  ReleaseGraph();
  online_ = false;
  waiting_ = false;
  stopped_at_snapshot_end_ = false;
  title_.clear();
  music_id_.clear();
  notifier_.PostState(PlayerState::kStopped);
}

void MediaPlayer::Pause() {
  paused_ = true;
  if (graph_ != nullptr) graph_->Pause();
  notifier_.PostState(PlayerState::kPaused);
}

void MediaPlayer::Resume() {
  paused_ = false;
  // A graph that stopped at its snapshot's end waits for data; running it would end again.
  if (graph_ != nullptr && !(online_ && waiting_)) graph_->Run();
  notifier_.PostState(PlayerState::kResumed);
}

bool MediaPlayer::Seek(int position_ms) {
  if (graph_ == nullptr) return false;
  if (!graph_->DurationSeconds()) return false;
  if (!graph_->SetPositionSeconds(position_ms / 1000.0)) return false;
  if (online_ && waiting_) {
    waiting_ = false;
    stopped_at_snapshot_end_ = false;
    saved_position_s_ = position_ms / 1000.0;
    if (!paused_) graph_->Run();
  }
  return true;
}

int MediaPlayer::GetPositionMs() {
  if (online_ && waiting_) return static_cast<int>(saved_position_s_ * 1000);
  if (graph_ == nullptr) return -1;
  std::optional<double> position = graph_->PositionSeconds();
  const std::int64_t now = clock_ms_();
  const std::int64_t graph_ms = position ? static_cast<std::int64_t>(*position * 1000) : 0;
  if (paused_) return static_cast<int>(smoother_.Remember(graph_ms, now));
  return static_cast<int>(smoother_.Report(graph_ms, now));
}

int MediaPlayer::GetDurationMs() {
  if (graph_ == nullptr) return -1;
  // A snapshot graph knows only the snapshot's duration; the song's is the extrapolated one.
  if (mp3_graph_ && duration_s_ > 0) return static_cast<int>(duration_s_ * 1000);
  std::optional<double> duration = graph_->DurationSeconds();
  if (!duration) return -1;
  return static_cast<int>(*duration * 1000);
}

std::string MediaPlayer::GetDisplayTitle() {
  const int duration_ms = GetDurationMs();
  if (duration_ms <= 0) return title_;
  const int seconds = duration_ms / 1000;
  char text[32];
  std::snprintf(text, sizeof text, " [%02d:%02d]", seconds / 60, seconds % 60);
  return title_ + text;
}

// ---- Volume, mute, balance -------------------------------------------------------------------

void MediaPlayer::SetVolume(int volume) {
  volume_ = std::clamp(volume, 0, 100);
  if (graph_ != nullptr && !muted_) graph_->SetVolume(AudioLevels::Centibels(volume_));
  notifier_.Post(VolumeChanged{volume_});
}

void MediaPlayer::SetMute(bool on) {
  muted_ = on;
  if (graph_ != nullptr) {
    graph_->SetVolume(on ? AudioLevels::kSilence : AudioLevels::Centibels(volume_));
  }
  notifier_.Post(MuteChanged{on});
}

void MediaPlayer::SetBalance(int balance) {
  balance_ = std::clamp(balance, -100, 100);
  if (graph_ != nullptr) graph_->SetBalance(AudioLevels::BalanceCentibels(balance_));
}

void MediaPlayer::ApplyLevelsAtBuild() {
  graph_->SetVolume(muted_ ? AudioLevels::kSilence : AudioLevels::Centibels(volume_));
  graph_->SetBalance(AudioLevels::BalanceCentibels(balance_));
}

// ---- Graph ------------------------------------------------------------------------------------

bool MediaPlayer::CreateGraph() {
  const std::uint64_t generation = ++graph_generation_;
  graph_ = services_.graphs.Create([this, generation] {
    // Handled from the loop, never inside the graph's own call: handling may release the graph.
    target_.Post([this, generation] {
      if (generation == graph_generation_) OnGraphEvents();
    });
  });
  return graph_ != nullptr;
}

void MediaPlayer::ReleaseGraph() {
  smoother_.Reset();
  position_timer_.Stop();
  if (graph_ != nullptr) {
    graph_->Stop();
    graph_.reset();
  }
  ++graph_generation_;
}

double MediaPlayer::ReadGraphDuration() {
  std::optional<double> duration = graph_ ? graph_->DurationSeconds() : std::nullopt;
  return duration.value_or(0.0);
}

void MediaPlayer::StartPositionTimer() {
  position_timer_.StartOnGrid(std::chrono::milliseconds(kPositionTimerMs),
                              [this] { OnPositionTimer(); });
}

void MediaPlayer::InsertTap() {
  const audio::TapFailure failure = graph_->InsertTap();
  if (failure != audio::TapFailure::kNone && message_box_) message_box_(TapFailureText(failure));
}

bool MediaPlayer::BuildGraph() {
  ReleaseGraph();
  bool built = CreateGraph();
  if (built) {
    if (!stream_is_mp3_) {
      std::string head;
      if (!StreamRules::IsMp3Stream(file_path_, "") &&
          !text::EndsWith(text::ToLowerAscii(file_path_), ".wma")) {
        head = fs::ReadWholeFile(file_path_).value_or(std::string()).substr(0, 4);
      }
      // Too few bytes to tell: decide at the next build.
      if (head.size() >= 4 || !text::EndsWith(text::ToLowerAscii(file_path_), ".playpart")) {
        stream_is_mp3_ = StreamRules::IsMp3Stream(file_path_, head);
      }
    }
    mp3_graph_ = stream_is_mp3_.value_or(false);
    built = mp3_graph_ ? graph_->BuildMp3Snapshot(file_path_) : graph_->RenderFile(file_path_);
  }
  if (!built) {
    ReleaseGraph();
    waiting_ = true;
    base_ = received_;
    return false;
  }
  snapshot_bytes_ = received_;
  stopped_at_snapshot_end_ = false;
  graph_->SetPositionSeconds(saved_position_s_);
  ApplyLevelsAtBuild();
  StartPositionTimer();
  graph_->SetRate(1.0);
  InsertTap();
  ApplyEqualizer();
  if (paused_) {
    graph_->Pause();
  } else {
    graph_->Run();
  }
  snapshot_duration_s_ = ReadGraphDuration();
  duration_s_ =
      mp3_graph_ ? StreamRules::ExtrapolateDuration(snapshot_duration_s_, snapshot_bytes_, total_)
                 : snapshot_duration_s_;
  waiting_ = false;
  base_ = received_;
  if (!paused_) notifier_.PostState(PlayerState::kPlaying);
  return true;
}

void MediaPlayer::OnGraphEvents() {
  while (graph_ != nullptr) {
    std::vector<audio::GraphEvent> events = graph_->TakeEvents();
    if (events.empty()) return;
    for (audio::GraphEvent event : events) {
      if (event == audio::GraphEvent::kClockChanged) {
        notifier_.PostState(PlayerState::kPlaying);
        continue;
      }
      // The end of the stream, or a streaming error: either way this graph plays no more.
      HandleGraphEnd(event == audio::GraphEvent::kError);
      return;
    }
  }
}

void MediaPlayer::HandleGraphEnd(bool error) {
  if (!online_) {
    // A local file that stops with an error has failed; without one it played to its end.
    FinishSong(error ? PlayerState::kFailed : PlayerState::kFinished);
    return;
  }
  if (stopped_at_snapshot_end_) return;  // already handled for this graph
  ContinueAtSnapshotEnd(error);
}

void MediaPlayer::ContinueAtSnapshotEnd(bool error) {
  // The graph's own position where the snapshot ran out; the timer's reading may be a second
  // behind and resuming there would repeat audio.
  if (graph_ != nullptr && !stopped_at_snapshot_end_) {
    if (std::optional<double> position = graph_->PositionSeconds(); position && *position > 0) {
      saved_position_s_ = *position;
    }
  }
  StreamRules::SnapshotEnd end;
  end.download_ended = download_ended_;
  end.received_bytes = received_;
  end.snapshot_bytes = snapshot_bytes_;
  end.total_bytes = total_;
  end.error = error;
  switch (StreamRules::AtSnapshotEnd(end)) {
    case StreamRules::Continuation::kContinue:
      if (!BuildGraph() && download_ended_) FinishSong(PlayerState::kFailed);
      return;
    case StreamRules::Continuation::kWait:
      // The stopped graph stays (a seek may still play inside it) until the data rule
      // rebuilds it.
      stopped_at_snapshot_end_ = true;
      waiting_ = true;
      base_ = received_;
      notifier_.PostState(PlayerState::kBuffering);
      return;
    case StreamRules::Continuation::kFinish:
      FinishSong(PlayerState::kFinished);
      return;
    case StreamRules::Continuation::kFail:
      FinishSong(PlayerState::kFailed);
      return;
  }
}

void MediaPlayer::FinishSong(PlayerState state) {
  CancelDownload();
  online_ = false;
  waiting_ = false;
  stopped_at_snapshot_end_ = false;
  ReleaseGraph();
  notifier_.PostState(state);
}

void MediaPlayer::OnPositionTimer() {
  if (graph_ == nullptr) return;
  if (online_ && waiting_) return;
  if (duration_s_ <= 0) {
    // Some graphs know their duration only once they have started.
    snapshot_duration_s_ = ReadGraphDuration();
    duration_s_ =
        mp3_graph_ ? StreamRules::ExtrapolateDuration(snapshot_duration_s_, snapshot_bytes_, total_)
                   : snapshot_duration_s_;
    if (duration_s_ <= 0) return;
  }
  std::optional<double> position = graph_->PositionSeconds();
  if (!position) return;
  if (online_) saved_position_s_ = *position;
  notifier_.Post(StreamRules::PositionReport(duration_s_, *position));
}

// ---- Download ---------------------------------------------------------------------------------

void MediaPlayer::CancelDownload() {
  if (download_id_.empty()) return;
  services_.downloader.Cancel(download_id_);
  download_id_.clear();
}

void MediaPlayer::OnStart(service::TransferRecord& record) {
  if (!online_ || record.id() != download_id_) return;
  notifier_.PostState(PlayerState::kBuffering);
}

void MediaPlayer::OnData(service::TransferRecord& record) {
  if (!online_ || record.id() != download_id_) return;
  received_ = static_cast<std::int64_t>(record.received_size());
  total_ = static_cast<std::int64_t>(record.total_size());
  file_path_ = record.target_path();
  const std::int64_t b = StreamRules::BufferingThreshold(total_);

  if (!started_) {
    if (received_ < b) {
      if (!paused_) notifier_.Post(BufferingProgress{StreamRules::Percent(received_, b)});
      return;
    }
    if (!paused_) notifier_.Post(BufferingProgress{100});
    saved_position_s_ = 0;
    BuildGraph();
    notifier_.PostState(PlayerState::kStarted);
    started_ = true;
    return;
  }
  if (!waiting_) return;
  const StreamRules::RebuildTarget target =
      StreamRules::WaitingTarget(saved_position_s_, duration_s_, total_, base_, received_);
  if (received_ >= target.target_bytes) {
    if (!paused_) notifier_.Post(BufferingProgress{100});
    BuildGraph();
  } else if (!paused_) {
    notifier_.Post(BufferingProgress{StreamRules::Percent(received_ - base_, target.span_bytes)});
  }
}

void MediaPlayer::OnFinish(service::TransferRecord& record) {
  if (!online_ || record.id() != download_id_) return;
  download_ended_ = true;
  download_id_.clear();
  if (record.status() != service::TransferStatus::kFinished) {
    online_ = false;
    waiting_ = false;
    ReleaseGraph();
    notifier_.PostState(PlayerState::kFailed);
    return;
  }
  file_path_ = record.target_path();
  received_ = static_cast<std::int64_t>(record.received_size());
  if (stopped_at_snapshot_end_) {
    // The graph already ran out of data: continue over the complete file, or end.
    ContinueAtSnapshotEnd(false);
  } else if (graph_ == nullptr || waiting_) {
    // A complete file that cannot be played will never get better: fail instead of waiting.
    if (!BuildGraph()) FinishSong(PlayerState::kFailed);
  } else if (mp3_graph_) {
    // The running graph still plays a snapshot: its own duration is the snapshot's. Scale it by
    // the size the song turned out to have.
    duration_s_ =
        StreamRules::ExtrapolateDuration(snapshot_duration_s_, snapshot_bytes_, received_);
  }
  WriteTryout();
  mp3_graph_ = mp3_graph_ && graph_ != nullptr && snapshot_bytes_ < received_;
  if (services_.cache != nullptr) services_.cache->Add("music", music_id_, file_path_);
}

void MediaPlayer::WriteTryout() {
  if (services_.library == nullptr) return;
  const std::string folder = services_.store.FolderPath(".cache");
  std::string stored = fs::ParentFolder(file_path_) == folder
                           ? fs::BaseName(file_path_)
                           : std::string(store::kFileUrlPrefix) + file_path_;
  services_.library->SetMusicAttribute(music_id_, "tryout", stored);
}

}  // namespace quillo::playback
