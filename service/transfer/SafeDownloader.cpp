#include "service/transfer/SafeDownloader.h"

#include <atomic>
#include <thread>
#include <vector>

#include "platform/loop/LoopTarget.h"
#include "platform/loop/MainLoop.h"
#include "service/transfer/LoopHandOver.h"
#include "service/transfer/TransferClient.h"
#include "service/transfer/TransferReports.h"
#include "service/transfer/TransferWorker.h"

namespace quillo::service {

class SafeDownloader::Impl {
 public:
  Impl(loop::MainLoop& loop, std::unique_ptr<TransferClient> client)
      : reports_(table_), client_(std::move(client)), hand_over_(loop), reap_target_(loop) {}

  ~Impl() { Shutdown(); }

  std::string Start(TransferRecord::Options options) {
    if (shut_down_) return {};
    Reap();
    options.id = std::to_string(++last_id_);
    auto record = std::make_shared<TransferRecord>(std::move(options));
    table_.emplace(record->id(), record);
    auto worker = std::make_unique<Worker>();
    worker->record = record;
    worker->thread = std::thread([this, record, done = worker->done, timeout = receive_timeout_] {
      TransferWorker(record, *client_, hand_over_, reports_, timeout).Run();
      done->store(true);
      // Queued behind the worker's last report.
      reap_target_.Post([this] { Reap(); });
    });
    workers_.push_back(std::move(worker));
    return record->id();
  }

  void Cancel(const std::string& id) {
    auto entry = table_.find(id);
    if (entry == table_.end()) return;
    std::shared_ptr<TransferRecord> record = entry->second;
    reports_.Cancel(*record);
  }

  TransferRecord* Find(const std::string& id) {
    auto entry = table_.find(id);
    return entry == table_.end() ? nullptr : entry->second.get();
  }

  void Shutdown() {
    shut_down_ = true;
    // Cancelling wakes workers that wait for a report or for report memory and aborts their
    // connections, so the joins below are short; reports still queued find their transfer
    // cancelled and do nothing. The table may still hold a transfer whose worker has ended and
    // been joined but whose finish report has not run: its file is deleted too.
    std::vector<std::shared_ptr<TransferRecord>> live;
    for (const auto& [id, record] : table_) live.push_back(record);
    for (const auto& worker : workers_) live.push_back(worker->record);
    for (const auto& record : live) reports_.Cancel(*record);
    table_.clear();
    for (auto& worker : workers_) worker->thread.join();
    workers_.clear();
  }

  void SetReceiveTimeout(std::chrono::milliseconds timeout) { receive_timeout_ = timeout; }

 private:
  struct Worker {
    std::shared_ptr<TransferRecord> record;
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
  };

  // Joins the workers that have ended (their threads are returning, so the joins are short).
  void Reap() {
    std::erase_if(workers_, [](const std::unique_ptr<Worker>& worker) {
      if (!worker->done->load()) return false;
      worker->thread.join();
      return true;
    });
  }

  TransferReports::Table table_;
  // Used by the reports, which run only while hand_over_ lives.
  TransferReports reports_;
  // Shared by the workers; its Send may run on several of them at once.
  std::unique_ptr<TransferClient> client_;
  LoopHandOver hand_over_;
  loop::LoopTarget reap_target_;
  std::vector<std::unique_ptr<Worker>> workers_;
  unsigned long long last_id_ = 0;
  bool shut_down_ = false;
  std::chrono::milliseconds receive_timeout_ = TransferWorker::kReceiveTimeout;
};

SafeDownloader::SafeDownloader(loop::MainLoop& loop, std::unique_ptr<TransferClient> client)
    : impl_(std::make_unique<Impl>(loop, std::move(client))) {}

SafeDownloader::~SafeDownloader() = default;

std::string SafeDownloader::Download(const std::string& url, const std::string& target_path,
                                     SafeDownloaderCallback* callback, bool append_extension,
                                     std::int64_t min_size, std::int64_t max_size, int attempts,
                                     Pace pace) {
  TransferRecord::Options options;
  options.url = url;
  options.target_path = target_path;
  options.callback = callback;
  options.append_extension = append_extension;
  options.min_size = min_size;
  options.max_size = max_size;
  options.attempts = attempts;
  options.lockstep = pace == Pace::kLockstep;
  return impl_->Start(std::move(options));
}

std::string SafeDownloader::Request(const std::string& url, std::optional<FormParams> parameters,
                                    SafeDownloaderCallback* callback) {
  TransferRecord::Options options;
  options.url = url;
  options.callback = callback;
  options.attempts = 1;
  options.is_request = true;
  options.parameters = std::move(parameters);
  return impl_->Start(std::move(options));
}

void SafeDownloader::Cancel(const std::string& id) {
  impl_->Cancel(id);
}

TransferRecord* SafeDownloader::Find(const std::string& id) {
  return impl_->Find(id);
}

void SafeDownloader::Shutdown() {
  impl_->Shutdown();
}

void SafeDownloader::SetReceiveTimeout(std::chrono::milliseconds timeout) {
  impl_->SetReceiveTimeout(timeout);
}

}  // namespace quillo::service
