#pragma once
// One transfer of the safe downloader: what was asked for, where it stands as the window thread
// last heard, and what the window thread and the transfer's worker share. Shared between the
// downloader's table (window thread), the worker and the reports queued for the window thread;
// the last of them to let go frees it, so a worker that ends after Cancel never touches freed
// memory.
//
// Threads: the URL, the target path, the status, the sizes and the chunk are the window thread's
// view. They change only on the window thread, just before each callback, from the worker's
// reports, so callbacks and Find read them there without locks and see the transfer as it stood
// when the reported chunk was written (the worker may be further on by then). The worker keeps
// its own copies. The options (id, limits, callback, flags, parameters) never change and may be
// read from any thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "service/transfer/TransferStatus.h"

namespace quillo::service {

class SafeDownloaderCallback;
class LoopHandOver;
class TransferBatch;
class TransferFile;
class TransferReports;
class TransferWorker;

// Form parameters in the order the caller lists them ("musicId[]" repeated once per value).
using FormParams = std::vector<std::pair<std::string, std::string>>;

class TransferRecord {
 public:
  struct Options {
    std::string id;
    std::string url;
    std::string target_path;                     // empty for a request
    SafeDownloaderCallback* callback = nullptr;  // not owned; may be null
    bool append_extension = false;
    std::int64_t min_size = 0;  // bytes; 0: none
    std::int64_t max_size = 0;  // bytes; 0: none
    int attempts = 8;
    bool is_request = false;
    std::optional<FormParams> parameters;  // requests only
    // Downloads: each chunk is written only after the previous chunk's OnData returned.
    bool lockstep = false;
  };

  // Where a transfer stands, as a report carries it to the window thread.
  struct View {
    std::string url;
    std::string target_path;
    TransferStatus status = TransferStatus::kStarting;
    std::uint64_t total_size = 0;
    std::uint64_t received_size = 0;
    // The status code of the last answer, 0 while none came (the service was not reached).
    unsigned http_status = 0;
  };

  explicit TransferRecord(Options options);
  ~TransferRecord();
  TransferRecord(const TransferRecord&) = delete;
  TransferRecord& operator=(const TransferRecord&) = delete;

  const std::string& id() const { return id_; }
  // The URL being fetched; a mirror list replaces it.
  const std::string& url() const { return url_; }
  // Empty for a request; the extension rule may change it once data arrives (never its folder).
  const std::string& target_path() const { return target_path_; }
  TransferStatus status() const { return status_; }
  // 0 while unknown.
  std::uint64_t total_size() const { return total_size_; }
  // Bytes written to the target (or, for a request, received) up to the chunk being reported.
  // Inside OnData those bytes are already in the file, where another handle (the player's
  // snapshot of a song still downloading) reads them.
  std::uint64_t received_size() const { return received_size_; }
  // The bytes just received; meaningful inside OnData only.
  std::string_view chunk() const { return chunk_; }
  bool is_request() const { return is_request_; }
  // The status code of the last answer the transfer got (a refusal such as 404 ends a request
  // as kFailed); 0 when no answer came at all.
  unsigned http_status() const { return http_status_; }

  SafeDownloaderCallback* callback() const { return callback_; }
  bool append_extension() const { return append_extension_; }
  std::int64_t min_size() const { return min_size_; }
  std::int64_t max_size() const { return max_size_; }
  int attempts() const { return attempts_; }
  const std::optional<FormParams>& parameters() const { return parameters_; }
  // Set on the window thread by Cancel or Shutdown; the worker polls it. Any thread.
  bool cancelled() const { return cancelled_.load(); }

 private:
  friend class LoopHandOver;
  friend class TransferBatch;
  friend class TransferFile;
  friend class TransferReports;
  friend class TransferWorker;

  void Apply(const View& view) {
    url_ = view.url;
    target_path_ = view.target_path;
    status_ = view.status;
    total_size_ = view.total_size;
    received_size_ = view.received_size;
    http_status_ = view.http_status;
  }

  const std::string id_;
  const std::string requested_url_;
  const std::string requested_target_path_;
  SafeDownloaderCallback* const callback_;
  const bool append_extension_;
  const std::int64_t min_size_;
  const std::int64_t max_size_;
  const int attempts_;
  const bool is_request_;
  const std::optional<FormParams> parameters_;
  const bool lockstep_;

  // The window thread's view.
  std::string url_;
  std::string target_path_;
  TransferStatus status_ = TransferStatus::kStarting;
  std::uint64_t total_size_ = 0;
  std::uint64_t received_size_ = 0;
  unsigned http_status_ = 0;
  std::string_view chunk_;

  // Shared by the window thread and the worker, under mutex_. The signal wakes a worker that
  // waits for a hand-over or for report memory, when the hand-over ran, memory came back or the
  // transfer was cancelled.
  std::mutex mutex_;
  std::condition_variable signal_;
  std::atomic<bool> cancelled_{false};  // set under mutex_ so that a waiting worker wakes up
  // The file this transfer created and still owns: Cancel deletes it, and only it. The worker
  // sets it when it creates the file and clears it when it deletes the file; the finish report
  // clears it when a finished file becomes the caller's.
  std::string opened_path_;
  // Memory held by batches on their way to OnData; the worker waits while it is over budget.
  std::size_t reported_bytes_ = 0;
  // Batch buffers given back by the window thread, for the worker to read into again.
  std::vector<std::vector<char>> spare_buffers_;
  // Handed to the HTTP client: setting it ends a blocking send or read within about 100 ms.
  std::shared_ptr<std::atomic<bool>> abort_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace quillo::service
