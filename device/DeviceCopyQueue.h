#pragma once
// The background copy of songs to and from a phone: one worker thread, started on first use,
// that takes the queued tasks in order. A file is copied under a temporary name beside its
// destination and renamed into place only when every byte was written, so a phone pulled out
// mid-copy never holds a half file under the song's name, and a task whose phone root has gone
// fails without creating its folders again where the mount was. After a song its lyric file
// (same base name, ".lrc"), the album's "album.jpg" and the artist's "artist.jpg" follow; to a
// phone they replace what is there, and the lyric is rewritten in GBK for the phone's player;
// from a phone existing files stay.
//
// Threads: Enqueue, Clear and Stop from any thread; the listener is called on the worker.
// The worker never takes the store's lock. Destroying the queue stops and joins the worker.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/CopyTask.h"

namespace quillo::device {

class DeviceCopyQueue {
 public:
  DeviceCopyQueue() = default;
  ~DeviceCopyQueue();
  DeviceCopyQueue(const DeviceCopyQueue&) = delete;
  DeviceCopyQueue& operator=(const DeviceCopyQueue&) = delete;

  // The listener, or none for no reports. Takes effect for the next report.
  void SetListener(DeviceCopyListener* listener);

  // Queues the batch (tasks with an empty source, a missing source file or the same source and
  // destination as a pending task are left out) and wakes the worker; CopyStarted is reported
  // before the first file of the batch. Answers how many tasks were queued.
  int Enqueue(std::vector<CopyTask> tasks);
  // Drops every pending task (the one being copied finishes).
  void Clear();
  // Drops the pending tasks, abandons the file being copied (its temporary file is removed and
  // it is reported failed) and waits until the worker is idle. The queue stays usable.
  void Stop();
  // True while tasks are pending or a file is being copied.
  bool Busy() const;
  // Blocks until the queue has run empty (for tools and tests).
  void WaitUntilIdle();

  // Copies one file the way the worker does (temporary name, rename at the end); false leaves
  // no file at the destination that was not there before. `cancel` is polled between blocks.
  static bool CopyFile(const std::string& source, const std::string& destination,
                       const std::atomic<bool>* cancel = nullptr);

 private:
  void Run();
  void CopyCompanions(const CopyTask& task);

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<CopyTask> tasks_;
  DeviceCopyListener* listener_ = nullptr;
  bool copying_ = false;
  bool started_reported_ = false;
  bool quit_ = false;
  int done_ = 0;
  int total_ = 0;
  std::atomic<bool> cancel_{false};
  std::thread worker_;
};

}  // namespace quillo::device
