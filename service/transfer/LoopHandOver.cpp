#include "service/transfer/LoopHandOver.h"

#include <chrono>
#include <thread>

#include "service/transfer/TransferRecord.h"

namespace quillo::service {
namespace {

constexpr std::chrono::microseconds kYieldBeforeSleep{50};
constexpr int kMaxStepsInARow = 32;

// Guarded by the record's hand-over mutex, except `settled`.
struct PendingStep {
  bool started = false;
  bool done = false;
  bool ran = false;
  std::atomic<bool> settled{false};  // set once done: the worker may look without the lock
};

template <typename Condition>
void YieldUntil(Condition condition) {
  const auto until = std::chrono::steady_clock::now() + kYieldBeforeSleep;
  while (!condition() && std::chrono::steady_clock::now() < until) std::this_thread::yield();
}

}  // namespace

bool LoopHandOver::Send(const std::shared_ptr<TransferRecord>& record, TransferStep /*step*/,
                        const std::function<void()>& task) {
  auto pending = std::make_shared<PendingStep>();
  // The step keeps the record alive: the worker may have stopped waiting (cancelled) before the
  // window thread gets to it, and then the step only reports that it did not run.
  std::function<void()> step = [record, pending, task] {
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
    pending->settled.store(true, std::memory_order_release);
    record->hand_over_signal_.notify_all();
  };

  bool handed = false;
  {
    std::lock_guard lock(direct_mutex_);
    if (direct_state_.load() == kLingering) {
      direct_step_ = std::move(step);
      direct_state_.store(kDeposited, std::memory_order_release);
      handed = true;
    }
  }
  if (!handed && !target_.Post([this, step = std::move(step)] {
        step();
        Linger();
      })) {
    return false;
  }

  YieldUntil(
      [&] { return pending->settled.load(std::memory_order_acquire) || record->cancelled(); });
  std::unique_lock lock(record->hand_over_mutex_);
  // A step that started runs to its end even if its callback cancels the transfer: the worker
  // waits, because the step may still be using the worker's chunk.
  record->hand_over_signal_.wait(
      lock, [&] { return pending->done || (record->cancelled_ && !pending->started); });
  return pending->ran;
}

void LoopHandOver::Linger() {
  for (int count = 0; count < kMaxStepsInARow; ++count) {
    {
      std::lock_guard lock(direct_mutex_);
      direct_state_.store(kLingering);
    }
    YieldUntil([&] { return direct_state_.load(std::memory_order_acquire) == kDeposited; });
    std::function<void()> next;
    {
      std::lock_guard lock(direct_mutex_);
      if (direct_state_.load() == kDeposited) next = std::move(direct_step_);
      direct_step_ = nullptr;
      direct_state_.store(kIdle);
    }
    if (!next) return;
    next();
  }
}

}  // namespace quillo::service
