#include "service/transfer/LoopHandOver.h"

#include "service/transfer/TransferRecord.h"

namespace quillo::service {
namespace {
// Guarded by the record's hand-over mutex.
struct PendingStep {
  bool started = false;
  bool done = false;
  bool ran = false;
};
}  // namespace

bool LoopHandOver::Send(const std::shared_ptr<TransferRecord>& record, TransferStep /*step*/,
                        const std::function<void()>& task) {
  auto pending = std::make_shared<PendingStep>();
  // The queued step keeps the record alive: the worker may have stopped waiting (cancelled)
  // before the window thread gets to it, and then the step only reports that it did not run.
  const bool queued = target_.Post([record, pending, task] {
    {
      std::lock_guard lock(record->hand_over_mutex_);
      if (record->cancelled_) {
        pending->done = true;
      } else {
        pending->started = true;
      }
    }
    if (pending->started) {
      task();
      std::lock_guard lock(record->hand_over_mutex_);
      pending->done = true;
      pending->ran = true;
    }
    record->hand_over_signal_.notify_all();
  });
  if (!queued) return false;
  std::unique_lock lock(record->hand_over_mutex_);
  // A step that started runs to its end even if its callback cancels the transfer: the worker
  // waits, because the step may still be using the worker's chunk.
  record->hand_over_signal_.wait(
      lock, [&] { return pending->done || (record->cancelled_ && !pending->started); });
  return pending->ran;
}

}  // namespace quillo::service
