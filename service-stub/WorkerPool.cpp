#include "service-stub/WorkerPool.h"

#include <algorithm>
#include <utility>

namespace quillo::stub {

WorkerPool::WorkerPool(std::size_t min_threads, std::size_t max_threads,
                       std::chrono::milliseconds idle_limit)
    : min_threads_(min_threads),
      max_threads_(std::max<std::size_t>(1, max_threads)),
      idle_limit_(idle_limit) {
  std::lock_guard lock(mutex_);
  while (running_.size() < std::min(min_threads_, max_threads_)) StartThread();
}

WorkerPool::~WorkerPool() {
  shutdown();
}

void WorkerPool::StartThread() {
  running_.emplace_front();
  const Threads::iterator self = running_.begin();
  *self = std::thread([this, self] { Run(self); });
}

void WorkerPool::enqueue(std::function<void()> task) {
  std::unique_lock lock(mutex_);
  JoinEnded(lock);
  tasks_.push_back(std::move(task));
  // Each queued task needs an idle thread of its own: a connection keeps its thread.
  if (tasks_.size() > idle_ && running_.size() < max_threads_) StartThread();
  lock.unlock();
  wake_.notify_one();
}

void WorkerPool::Run(Threads::iterator self) {
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idle_;
    const bool woken =
        wake_.wait_for(lock, idle_limit_, [this] { return !tasks_.empty() || shutting_down_; });
    --idle_;
    if (tasks_.empty()) {
      if (shutting_down_ || (!woken && running_.size() > min_threads_)) break;
      continue;
    }
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task();
    task = nullptr;  // the connection's state goes before the thread counts as idle
    lock.lock();
  }
  // Another thread joins this one; the list node moves without invalidating `self`.
  ended_.splice(ended_.end(), running_, self);
  if (shutting_down_) gone_.notify_all();
}

void WorkerPool::JoinEnded(std::unique_lock<std::mutex>& lock) {
  if (ended_.empty()) return;
  Threads ended;
  ended.swap(ended_);
  lock.unlock();
  for (std::thread& thread : ended) thread.join();
  lock.lock();
}

void WorkerPool::shutdown() {
  std::unique_lock lock(mutex_);
  shutting_down_ = true;
  wake_.notify_all();
  // Threads still running finish the queued tasks first (they leave only when none is left).
  gone_.wait(lock, [this] { return running_.empty(); });
  JoinEnded(lock);
}

}  // namespace quillo::stub
