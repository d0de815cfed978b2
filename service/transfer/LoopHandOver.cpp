#include "service/transfer/LoopHandOver.h"

#include "service/transfer/TransferRecord.h"

namespace quillo::service {
namespace {

// Guarded by the record's mutex.
struct PendingReport {
  bool started = false;
  bool done = false;
  bool ran = false;
};

}  // namespace

bool LoopHandOver::Send(const std::shared_ptr<TransferRecord>& record, std::function<void()> task) {
  auto pending = std::make_shared<PendingReport>();
  // The report keeps the record alive: the worker may have stopped waiting (cancelled) before
  // the window thread gets to it, and then the report only tells that it did not run.
  auto report = [record, pending, task = std::move(task)] {
    {
      std::lock_guard lock(record->mutex_);
      if (record->cancelled_) {
        pending->done = true;
      } else {
        pending->started = true;
      }
    }
    if (pending->started) {
      task();
      std::lock_guard lock(record->mutex_);
      pending->done = true;
      pending->ran = true;
    }
    record->signal_.notify_all();
  };
  if (!target_.Post(std::move(report))) return false;
  std::unique_lock lock(record->mutex_);
  // A report that started runs to its end even if its callback cancels the transfer, so the
  // worker never goes on while its callback still runs.
  record->signal_.wait(lock,
                       [&] { return pending->done || (record->cancelled_ && !pending->started); });
  return pending->ran;
}

}  // namespace quillo::service
