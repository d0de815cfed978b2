#pragma once
// The task queue of one HTTP server: each accepted connection is a task that holds a thread for
// as long as the connection lives. Threads are started when no idle one is free, up to
// max_threads (tasks beyond that wait in order), and a thread idle for idle_limit ends, down to
// min_threads, so that a burst of slow or stalled clients leaves no threads behind.
//
// The server's accept thread calls enqueue and, when it stops, shutdown: the tasks still queued
// are run and every thread is joined (the destructor does the same; a second call does nothing).
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <thread>

namespace quillo::stub {

class WorkerPool : public httplib::TaskQueue {
 public:
  WorkerPool(std::size_t min_threads, std::size_t max_threads,
             std::chrono::milliseconds idle_limit);
  ~WorkerPool() override;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  void enqueue(std::function<void()> task) override;
  void shutdown() override;


 private:
  using Threads = std::list<std::thread>;
  void Run(Threads::iterator self);
  void StartThread();  // with mutex_ held
  void JoinEnded(std::unique_lock<std::mutex>& lock);

  const std::size_t min_threads_;
  const std::size_t max_threads_;
  const std::chrono::milliseconds idle_limit_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable gone_;  // a thread ended during shutdown
  std::deque<std::function<void()>> tasks_;
  Threads running_;
  Threads ended_;  // returned by their own thread, joined by the next enqueue or shutdown
  std::size_t idle_ = 0;
  bool shutting_down_ = false;
};

}  // namespace quillo::stub
