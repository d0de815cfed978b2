#pragma once
// The one place where the client talks HTTP to the service. Each transfer runs on its own worker
// thread: a download (GET into a file, with size limits, attempts, resumption by byte range and
// mirror lists) or a request (a form POST whose answer reaches the callback in chunks). The
// worker reads, and opens, writes, discards and closes the target file itself; every callback
// runs on the window thread, in the order the worker reported, so callers never see another
// thread. The worker waits only for OnStart (and, in lockstep, for each OnData); data and finish
// reports are queued, so a busy window thread does not slow a download down (up to a bounded
// amount of unreported data; see TransferWorker).
//
// Download, Request, Cancel, Find and Shutdown are called on the window thread; the transfer
// table is touched only there.
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "service/transfer/SafeDownloaderCallback.h"
#include "service/transfer/TransferRecord.h"
#include "service/transfer/TransferStatus.h"

namespace quillo::loop {
class MainLoop;
}
namespace quillo::http {
class HttpTransport;
}

namespace quillo::service {

class TransferClient;

class SafeDownloader {
 public:
  static constexpr int kDefaultAttempts = 8;

  // How a download's chunks reach OnData.
  enum class Pace {
    // The worker writes on while the window thread runs the callbacks: inside OnData the file
    // holds at least record.received_size() bytes, often more.
    kQueued,
    // The worker writes a chunk only after the previous chunk's OnData returned: inside OnData
    // the file holds exactly record.received_size() bytes. For a caller that reads the file while
    // it grows and must know how much it read (the player's snapshots).
    kLockstep,
  };

  // The loop's thread is the window thread. Both must outlive the downloader. Transfers go
  // through the Dravik client library over `transport`.
  SafeDownloader(loop::MainLoop& loop, http::HttpTransport& transport);
  // Transfers go through `client` (tests give scripted answers).
  SafeDownloader(loop::MainLoop& loop, std::unique_ptr<TransferClient> client);
  // Shuts down (see Shutdown).
  ~SafeDownloader();
  SafeDownloader(const SafeDownloader&) = delete;
  SafeDownloader& operator=(const SafeDownloader&) = delete;

  // After Shutdown, Download and Request start nothing and answer an empty id.
  //
  // Starts a GET of `url` into `target_path` and answers the transfer id ("1", "2", ...).
  // min_size/max_size are bytes (0: no limit). With append_extension the target's extension is
  // replaced by the URL's (or the mirror's) once data arrives; the file never leaves the folder
  // of `target_path`. `callback` may be null; it must outlive the transfer or cancel it.
  std::string Download(const std::string& url, const std::string& target_path,
                       SafeDownloaderCallback* callback, bool append_extension,
                       std::int64_t min_size, std::int64_t max_size,
                       int attempts = kDefaultAttempts, Pace pace = Pace::kQueued);

  // Starts a form POST (url-encoded UTF-8; parameters sent in the client library's order) with
  // one attempt; the answer's bytes reach callback->OnData. `callback` may be null
  // (fire-and-forget: the answer is read and dropped). Answers the transfer id.
  std::string Request(const std::string& url, std::optional<FormParams> parameters,
                      SafeDownloaderCallback* callback);

  // Ends the transfer at once: its partial file is deleted now (also a file whose worker has
  // finished it but whose OnFinish has not run yet) and no callback follows, even one already
  // queued. Does not wait for the worker. Unknown ids are ignored.
  void Cancel(const std::string& id);

  // The live record of a transfer, or null once its OnFinish ran or it was cancelled. Its view is
  // the window thread's: as of the last report.
  TransferRecord* Find(const std::string& id);

  // Cancels every transfer, deletes their partial files and joins their workers. Returns within
  // a bounded time even when connections have stalled; no callback runs after it returns.
  // Not from inside a callback of this downloader.
  void Shutdown();

  // How long a transfer's read waits for the next byte (60 s unless set; tests shorten it).
  // Applies to transfers started afterwards.
  void SetReceiveTimeout(std::chrono::milliseconds timeout);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace quillo::service
