#include "service-stub/ShutdownSignal.h"

namespace quillo::stub {

ShutdownSignal& ShutdownSignal::Instance() {
  static ShutdownSignal signal;
  return signal;
}

void ShutdownSignal::Trigger() {
  {
    std::lock_guard lock(mutex_);
    triggered_ = true;
  }
  changed_.notify_all();
}

bool ShutdownSignal::triggered() {
  std::lock_guard lock(mutex_);
  return triggered_;
}

bool ShutdownSignal::SleepFor(std::chrono::milliseconds duration) {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, duration, [this] { return triggered_; });
}

}  // namespace quillo::stub
