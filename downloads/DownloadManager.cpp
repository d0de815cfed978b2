#include "downloads/DownloadManager.h"

#include <utility>
#include <vector>

#include "downloads/DownloadListener.h"
#include "downloads/DownloadPaths.h"
#include "downloads/SteadyMillis.h"
#include "platform/fs/FileSystem.h"
#include "platform/loop/LoopTarget.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/TransferRecord.h"
#include "store/ConfigKeys.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"

namespace quillo::downloads {

DownloadManager::DownloadManager(loop::MainLoop& loop, store::StoreRuntime& runtime,
                                 service::SafeDownloader& downloader,
                                 const service::SharedEndpoints& endpoints)
    : runtime_(runtime),
      downloader_(downloader),
      target_(std::make_unique<loop::LoopTarget>(loop)),
      urls_(endpoints, runtime.store().ClientId()),
      filing_(runtime.store(), runtime.library()),
      companions_({runtime, downloader, entries_, *this, urls_}),
      schedule_timer_(loop) {}

DownloadManager::~DownloadManager() {
  CancelAll();
  target_.reset();
  if (sweep_.joinable()) {
    sweep_.request_stop();
    sweep_.join();
  }
}

void DownloadManager::Start() {
  schedule_timer_.StartOnGrid(kSchedulePeriod, [this] { Schedule(); });
  if (sweep_.joinable()) return;
  // A run killed while it filed a song (or wrote a lyric, a tag, the cookie jar) leaves a hidden
  // temporary beside the file; nothing else would ever remove it.
  const store::DocumentStore& store = runtime_.store();
  struct Folder {
    std::string path;
    bool recursive;
  };
  std::vector<Folder> folders = {{store.FolderPath("music"), true},
                                 {store.FolderPath("lyric"), true},
                                 {store.FolderPath(".cache"), false},
                                 {store.data_folder(), false}};
  sweep_ = std::jthread([this, folders = std::move(folders)](std::stop_token stop) {
    for (const Folder& folder : folders) {
      for (std::string& path : fs::RemoveAtomicWriteLeftovers(
               folder.path, folder.recursive, kLeftoverAgeS,
               [&stop] { return !stop.stop_requested(); })) {
        swept_.push_back(std::move(path));
      }
    }
  });
}

std::vector<std::string> DownloadManager::WaitForSweep() {
  if (sweep_.joinable()) sweep_.join();
  return swept_;
}

void DownloadManager::Schedule() {
  if (!urls_.known()) return;
  const int max_downloads =
      runtime_.store().GetConfigInt(store::keys::kMaxDownloadThread, kDefaultMaxDownloads);
  const auto active = static_cast<int>(active_count());
  if (active >= max_downloads) return;
  const std::vector<std::string> waiting =
      runtime_.playlists().TakeWaitingSongs(static_cast<std::size_t>(max_downloads - active));
  for (const std::string& music_id : waiting) {
    // A song that could not start waits again rather than staying "being downloaded".
    if (!StartTransfer(DownloadKind::kSong, music_id)) {
      runtime_.library().SetSongStatus(music_id, store::SongStatus::kWaiting);
    }
  }
}

bool DownloadManager::StartSong(DownloadKind kind, const std::string& music_id) {
  // One transfer per song: a second one would write the same partial file.
  if (entries_.IsRunning(kind, music_id)) return true;
  if (!StartTransfer(kind, music_id)) return false;
  // Started from the window (not handed out by the store): the song must not be handed out
  // again while it runs.
  if (kind == DownloadKind::kSong) {
    runtime_.library().SetSongStatus(music_id, store::SongStatus::kDownloading);
  }
  return true;
}

bool DownloadManager::StartTransfer(DownloadKind kind, const std::string& music_id) {
  if (!urls_.known() || music_id.empty()) return false;
  const std::string folder = runtime_.store().FolderPath(".download");
  fs::CreateFolders(folder);
  const service::FileFetch fetch = urls_.SongDownload(DownloadKindName(kind), music_id);
  const std::string transfer_id =
      downloader_.Download(fetch.url, PartialPath(folder, DownloadKindName(kind), music_id), this,
                           fetch.append_extension, fetch.min_size, fetch.max_size, fetch.attempts);
  if (transfer_id.empty()) return false;
  DownloadEntry entry;
  entry.item_id = music_id;
  entry.kind = kind;
  entry.transfer_id = transfer_id;
  entry.start_time_ms = SteadyMillis();
  entries_.Add(std::move(entry));
  return true;
}

void DownloadManager::StopSong(DownloadKind kind, const std::string& music_id) {
  for (const DownloadEntry& entry : entries_.TakeAll(kind, music_id)) {
    // Cancel deletes the partial file at once; no callback follows, so the bookkeeping is ours.
    downloader_.Cancel(entry.transfer_id);
    if (kind == DownloadKind::kSong) {
      runtime_.library().SetSongStatus(music_id, store::SongStatus::kWaiting);
    }
  }
}

void DownloadManager::StopDownload(const std::string& music_id) {
  StopSong(DownloadKind::kSong, music_id);
}

void DownloadManager::CancelAll() {
  schedule_timer_.Stop();
  for (const DownloadEntry& entry : entries_.TakeEverything())
    downloader_.Cancel(entry.transfer_id);
}

std::optional<DownloadManager::SongTransfer> DownloadManager::FindSongTransfer(
    const std::string& music_id) const {
  for (const DownloadEntry& entry : entries_.entries()) {
    if (entry.kind != DownloadKind::kSong || entry.item_id != music_id) continue;
    SongTransfer transfer;
    transfer.transfer_id = entry.transfer_id;
    if (const service::TransferRecord* record = downloader_.Find(entry.transfer_id)) {
      transfer.found = true;
      transfer.received_bytes = record->received_size();
      transfer.total_bytes = record->total_size();
    }
    return transfer;
  }
  return std::nullopt;
}

void DownloadManager::OnStart(service::TransferRecord& record) {
  DownloadEntry* entry = entries_.FindByTransfer(record.id());
  if (entry == nullptr || entry->kind != DownloadKind::kSong) return;
  entry->received_bytes = 0;
  entry->total_bytes = 0;
  entry->start_time_ms = SteadyMillis();
  const std::string music_id = entry->item_id;
  if (!runtime_.library().HasMusic(music_id)) {
    StopSong(DownloadKind::kSong, music_id);
    return;
  }
  if (filing_.TakeLegacyCopy(music_id, record.target_path(), record.total_size())) {
    // Already here: the body is not transferred. The status stays at 2.
    entries_.TakeByTransfer(record.id());
    downloader_.Cancel(record.id());
    listeners_.ForEach([&](DownloadListener& l) { l.OnSongFinished(music_id, true); });
    ScheduleSoon();
  }
}

void DownloadManager::OnData(service::TransferRecord& record) {
  if (DownloadEntry* entry = entries_.FindByTransfer(record.id())) {
    entry->received_bytes = record.received_size();
    entry->total_bytes = record.total_size();
  }
}

void DownloadManager::OnFinish(service::TransferRecord& record) {
  std::optional<DownloadEntry> entry = entries_.TakeByTransfer(record.id());
  if (!entry) return;
  if (entry->kind == DownloadKind::kSong) {
    FinishSong(*entry, record);
  } else {
    FinishCompanion(*entry, record);
  }
  ScheduleSoon();
}

void DownloadManager::FinishSong(const DownloadEntry& entry, service::TransferRecord& record) {
  const std::string& music_id = entry.item_id;
  store::MusicLibrary& library = runtime_.library();
  if (record.status() == service::TransferStatus::kFinished) {
    if (!library.HasMusic(music_id)) {
      // Deleted while its last bytes arrived: nothing owns the file any more.
      fs::RemoveFile(record.target_path());
      return;
    }
    // Without an announced length a connection cut short looks finished: such a song is filed
    // only when its bytes run whole to their end.
    if (record.total_size() == 0 && !SongFiling::EndsWhole(record.target_path())) {
      fs::RemoveFile(record.target_path());
      library.SetSongStatus(music_id, store::SongStatus::kFailed);
      listeners_.ForEach([&](DownloadListener& l) { l.OnSongFinished(music_id, false); });
      return;
    }
    const bool filed = filing_.File(music_id, record.target_path());
    if (filed) {
      FetchAlbumPicture(music_id);
      FetchArtistPictureForSong(music_id);
      FetchLyric(music_id);
    }
    listeners_.ForEach([&](DownloadListener& l) { l.OnSongFinished(music_id, filed); });
    return;
  }
  // A paused song waits again (the user stopped it); any other failure is marked.
  library.SetSongStatus(music_id, library.IsPaused(music_id) ? store::SongStatus::kWaiting
                                                             : store::SongStatus::kFailed);
  listeners_.ForEach([&](DownloadListener& l) { l.OnSongFinished(music_id, false); });
}

void DownloadManager::FinishCompanion(const DownloadEntry& entry, service::TransferRecord& record) {
  const bool finished = record.status() == service::TransferStatus::kFinished;
  std::optional<std::string> placed = finished ? companions_.Finish(entry, record) : std::nullopt;
  if (entry.kind == DownloadKind::kLyric) {
    listeners_.ForEach([&](DownloadListener& l) { l.OnLyricDownloaded(entry.item_id, placed); });
  } else if (entry.kind == DownloadKind::kArtistPicture && placed) {
    listeners_.ForEach([&](DownloadListener& l) { l.OnArtistPictureDownloaded(entry.item_id, *placed); });
  }
}

void DownloadManager::ScheduleSoon() {
  if (schedule_posted_ || !target_) return;
  schedule_posted_ = true;
  target_->Post([this] {
    schedule_posted_ = false;
    Schedule();
  });
}

}  // namespace quillo::downloads
