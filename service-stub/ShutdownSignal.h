#pragma once
// The process-wide "stopping" state. Request threads that wait (throttled bodies, delayed
// answers) wait through it, so a SIGTERM ends them at once instead of after their delay.
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quillo::stub {

class ShutdownSignal {
 public:
  static ShutdownSignal& Instance();

  void Trigger();
  bool triggered();
  // Waits up to the duration; false when the shutdown came first.
  bool SleepFor(std::chrono::milliseconds duration);

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool triggered_ = false;
};

}  // namespace quillo::stub
