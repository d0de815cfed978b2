#pragma once
// Starts uploads, one worker thread each, and owns those threads. The running uploads are in
// its map. Destroying the manager sets its abort flag (requests in progress fail within the
// transport's bound, later ones at once) and joins every worker, so it never hangs on a stalled
// host and no worker outlives it.
//
// StartUpload and the destructor are called on the owner's thread (the window thread, or the
// tool's main thread); the map may be read from any thread.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "service/upload/UploadHost.h"
#include "service/upload/UploadJob.h"
#include "service/upload/UploadMap.h"

namespace quillo::http {
class HttpTransport;
}

namespace quillo::service {

class UploadManager {
 public:
  // Makes the host routines of one worker; `abort` is the manager's flag, for the routines'
  // sessions.
  using HostFactory =
      std::function<std::unique_ptr<UploadHost>(std::shared_ptr<const std::atomic<bool>> abort)>;
  // Runs on the worker thread when the upload has ended and left the map. Post to the window
  // thread from here; never called after the manager is gone.
  using FinishCallback = std::function<void(const UploadOutcome&)>;

  explicit UploadManager(HostFactory host_factory);
  // Over the HTTP transport to the upload host "host[:port]". The transport outlives the manager.
  UploadManager(http::HttpTransport& transport, std::string upload_host);
  ~UploadManager();
  UploadManager(const UploadManager&) = delete;
  UploadManager& operator=(const UploadManager&) = delete;

  // Starts the job's worker thread. False when the manager is shutting down.
  bool StartUpload(UploadJob job, FinishCallback on_finish = {});

  const UploadMap& uploads() const { return map_; }
  // Workers that have not finished yet.
  std::size_t running() const;

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  // Joins the workers that have ended; owner's thread.
  void ReapFinished();

  HostFactory host_factory_;
  std::shared_ptr<std::atomic<bool>> abort_;
  UploadMap map_;
  std::vector<Worker> workers_;
};

}  // namespace quillo::service
