#pragma once
// Turns the store's download list into running downloads: up to
// "sorvel.music.max_download_thread" transfers at once (songs and their companion files
// together), songs handed out by the store in list order. A finished song is filed in the music
// folder (tags written by the library), then its album picture, artist picture and lyric are
// fetched. The download window starts and stops songs through StartSong and StopSong; the
// library stops a song it deletes (DownloadStopper); the lyric component queues lyrics
// (LyricDownloadQueue).
//
// One per process. Window thread only: the schedule timer, the transfers' callbacks and every
// command run there. The transfers' workers write the files; the manager hears of them through
// the callbacks only. The store's lock is taken by the store's own operations; filing a song
// moves and tags its file without it.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "downloads/CompanionFetches.h"
#include "downloads/DownloadEntries.h"
#include "downloads/SongFiling.h"
#include "lyrics/LyricDownloadQueue.h"
#include "platform/loop/ListenerList.h"
#include "platform/loop/Timer.h"
#include "service/api/ServiceFileUrls.h"
#include "service/api/SharedEndpoints.h"
#include "service/transfer/SafeDownloaderCallback.h"
#include "store/DownloadStopper.h"

namespace quillo::loop {
class LoopTarget;
class MainLoop;
}  // namespace quillo::loop
namespace quillo::service {
class SafeDownloader;
}
namespace quillo::store {
class StoreRuntime;
}

namespace quillo::downloads {

class DownloadListener;

class DownloadManager : public service::SafeDownloaderCallback,
                        public store::DownloadStopper,
                        public lyrics::LyricDownloadQueue {
 public:
  // The schedule timer (102 in the main window's numbering).
  static constexpr std::chrono::milliseconds kSchedulePeriod{1000};
  static constexpr int kDefaultMaxDownloads = 2;

  // Everything given outlives the manager; the loop's thread is the window thread. Until the
  // service's addresses are known nothing starts (Schedule hands out nothing); they are read
  // at every start.
  DownloadManager(loop::MainLoop& loop, store::StoreRuntime& runtime,
                  service::SafeDownloader& downloader, const service::SharedEndpoints& endpoints);
  // Stops the timer and cancels every transfer (no callback reaches a destroyed manager).
  ~DownloadManager() override;
  DownloadManager(const DownloadManager&) = delete;
  DownloadManager& operator=(const DownloadManager&) = delete;

  // Who hears of finished songs, lyrics and artist pictures, while the subscription lives.
  [[nodiscard]] loop::Subscription AddListener(DownloadListener& listener) {
    return listeners_.Add(listener);
  }

  // Starts the schedule timer (every second; each tick calls Schedule). The timer ends with the
  // manager or CancelAll. Calling it again restarts the timer. The first call also starts the
  // sweep (on a thread of its own, joined by the destructor) that removes what interrupted
  // atomic writes of earlier runs left in the music, lyric and cache folders and the data
  // folder (see fs::RemoveAtomicWriteLeftovers).
  void Start();
  // Waits for the sweep of Start to end; answers the paths it removed. For tests.
  std::vector<std::string> WaitForSweep();
  // A temporary file younger than this may belong to a write still going on.
  static constexpr int kLeftoverAgeS = 60;
  // Starts waiting songs while fewer transfers than the maximum run.
  void Schedule();
  // Starts one song's download (the window's "start now", without waiting for the timer).
  // False when the service's address is unknown or the downloader refused.
  bool StartSong(DownloadKind kind, const std::string& music_id);
  // Ends every running transfer of that kind and item; a song returns to waiting and its
  // partial file is deleted.
  void StopSong(DownloadKind kind, const std::string& music_id);

  bool FetchArtistPictureForSong(const std::string& music_id) {
    return companions_.FetchArtistPictureForSong(music_id);
  }
  bool FetchArtistPicture(const std::string& artist_id, const std::string& artist_name) {
    return companions_.FetchArtistPicture(artist_id, artist_name);
  }
  bool FetchAlbumPicture(const std::string& music_id) {
    return companions_.FetchAlbumPicture(music_id);
  }
  bool FetchLyric(const std::string& music_id) { return companions_.FetchLyric(music_id); }

  // Cancels every transfer and forgets every entry (songs being downloaded stay so in memory;
  // the next start of the store sets them back to waiting).
  void CancelAll();

  // The entry of a transfer, or null; valid until the next call into the manager.
  const DownloadEntry* FindEntry(const std::string& transfer_id) const {
    return entries_.FindByTransfer(transfer_id);
  }
  const std::list<DownloadEntry>& entries() const { return entries_.entries(); }

  // A song's running download as the download window follows it: the transfer id of its
  // "music" entry and, when the safe downloader still knows that transfer, its counts.
  struct SongTransfer {
    std::string transfer_id;
    bool found = false;  // the transfer is in the downloader's table
    std::uint64_t received_bytes = 0;
    std::uint64_t total_bytes = 0;
  };
  // None when the song has no "music" entry.
  std::optional<SongTransfer> FindSongTransfer(const std::string& music_id) const;
  // Every entry counts, companions too.
  std::size_t active_count() const { return entries_.size(); }

  // SafeDownloaderCallback.
  void OnStart(service::TransferRecord& record) override;
  void OnData(service::TransferRecord& record) override;
  void OnFinish(service::TransferRecord& record) override;

  // DownloadStopper: the library deletes the song.
  void StopDownload(const std::string& music_id) override;
  // LyricDownloadQueue: the lyric of a song about to play.
  bool QueueLyric(const std::string& music_id) override { return FetchLyric(music_id); }

 private:
  // The transfer and entry of StartSong, for a song the store has already marked.
  bool StartTransfer(DownloadKind kind, const std::string& music_id);
  void FinishSong(const DownloadEntry& entry, service::TransferRecord& record);
  void FinishCompanion(const DownloadEntry& entry, service::TransferRecord& record);
  // A slot was freed by a transfer that ended: the next waiting song starts as soon as the
  // finish step is over, not a tick later.
  void ScheduleSoon();

  store::StoreRuntime& runtime_;
  service::SafeDownloader& downloader_;
  std::unique_ptr<loop::LoopTarget> target_;
  service::ServiceFileUrls urls_;
  DownloadEntries entries_;
  SongFiling filing_;
  CompanionFetches companions_;
  loop::ListenerList<DownloadListener> listeners_;
  bool schedule_posted_ = false;
  loop::Timer schedule_timer_;
  std::vector<std::string> swept_;  // written by the sweep thread, read after it was joined
  std::jthread sweep_;
};

}  // namespace quillo::downloads
