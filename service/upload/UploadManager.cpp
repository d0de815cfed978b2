#include "service/upload/UploadManager.h"

#include <algorithm>

#include "service/upload/HttpUploadHost.h"
#include "service/upload/UploadWorker.h"

namespace quillo::service {

UploadManager::UploadManager(HostFactory host_factory)
    : host_factory_(std::move(host_factory)), abort_(std::make_shared<std::atomic<bool>>(false)) {}

UploadManager::UploadManager(http::HttpTransport& transport, std::string upload_host)
    : UploadManager([&transport, upload_host = std::move(upload_host)](
                        std::shared_ptr<const std::atomic<bool>> abort) {
        return std::make_unique<HttpUploadHost>(transport, upload_host, std::move(abort));
      }) {}

UploadManager::~UploadManager() {
  abort_->store(true);
  for (Worker& worker : workers_) {
    if (worker.thread.joinable()) worker.thread.join();
  }
}

bool UploadManager::StartUpload(UploadJob job, FinishCallback on_finish) {
  if (abort_->load()) return false;
  ReapFinished();
  std::shared_ptr<UploadHost> host = host_factory_(abort_);
  if (!host) return false;
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread thread([this, job = std::move(job), host, done, on_finish = std::move(on_finish),
                      abort = abort_]() mutable {
    const UploadOutcome outcome = RunUpload(std::move(job), *host, map_, *abort);
    if (on_finish) on_finish(outcome);
    done->store(true);
  });
  workers_.push_back(Worker{std::move(thread), std::move(done)});
  return true;
}

std::size_t UploadManager::running() const {
  return static_cast<std::size_t>(std::count_if(
      workers_.begin(), workers_.end(), [](const Worker& worker) { return !worker.done->load(); }));
}

void UploadManager::ReapFinished() {
  for (Worker& worker : workers_) {
    if (worker.done->load() && worker.thread.joinable()) worker.thread.join();
  }
  workers_.erase(std::remove_if(workers_.begin(), workers_.end(),
                                [](const Worker& worker) { return !worker.thread.joinable(); }),
                 workers_.end());
}

}  // namespace quillo::service
