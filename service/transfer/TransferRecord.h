#pragma once
// One transfer of the safe downloader: what was asked for, where it stands, and the file being
// written. Shared between the downloader's table (window thread) and the transfer's worker; the
// last of the two to let go frees it, so a worker that ends after Cancel never touches freed
// memory.
//
// Threads: the URL, the target path, the received size, the chunk and the file change only on
// the window thread (inside the hand-over steps, while the worker waits), so callbacks and Find
// read them there without locks. The status and the total size are written by the worker and may
// be read from any thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
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
class TransferSteps;
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
  TransferStatus status() const { return status_.load(); }
  // 0 while unknown.
  std::uint64_t total_size() const { return total_size_.load(); }
  // Bytes written to the target (or, for a request, delivered to the callback).
  std::uint64_t received_size() const { return received_size_; }
  // The bytes just received; meaningful inside OnData only.
  std::string_view chunk() const { return chunk_; }
  bool is_request() const { return is_request_; }

  SafeDownloaderCallback* callback() const { return callback_; }
  bool append_extension() const { return append_extension_; }
  std::int64_t min_size() const { return min_size_; }
  std::int64_t max_size() const { return max_size_; }
  int attempts() const { return attempts_; }
  // Downloads check the size limits even when the answer announces no length.
  bool check_size_always() const { return !is_request_; }
  const std::optional<FormParams>& parameters() const { return parameters_; }
  // Set on the window thread by Cancel or Shutdown; the worker polls it.
  bool cancelled() const { return cancelled_.load(); }

  // Pushes the bytes written so far out of the file's buffer, so that another handle (the
  // player's snapshot of a song still downloading) reads them. Window thread, inside a callback.
  void FlushFile() {
    if (file_ != nullptr) std::fflush(file_.get());
  }

 private:
  friend class LoopHandOver;
  friend class TransferSteps;
  friend class TransferWorker;

  struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  const std::string id_;
  std::string url_;
  std::string target_path_;
  SafeDownloaderCallback* const callback_;
  const bool append_extension_;
  const std::int64_t min_size_;
  const std::int64_t max_size_;
  const int attempts_;
  const bool is_request_;
  const std::optional<FormParams> parameters_;

  std::atomic<TransferStatus> status_{TransferStatus::kStarting};
  std::atomic<std::uint64_t> total_size_{0};
  std::uint64_t received_size_ = 0;
  std::string_view chunk_;
  std::unique_ptr<std::FILE, FileCloser> file_;
  // The path of the file this transfer created; only that file is ever deleted.
  std::string opened_path_;
  // Set under hand_over_mutex_ so that a worker waiting for a step wakes up when it is set.
  std::atomic<bool> cancelled_{false};
  std::mutex hand_over_mutex_;
  std::condition_variable hand_over_signal_;
  // Handed to the HTTP client: setting it ends a blocking send or read within about 100 ms.
  std::shared_ptr<std::atomic<bool>> abort_ = std::make_shared<std::atomic<bool>>(false);
};

}  // namespace quillo::service
