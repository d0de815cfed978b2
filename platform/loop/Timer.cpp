#include "platform/loop/Timer.h"

#include <utility>

namespace quillo::loop {

bool Timer::Start(std::chrono::milliseconds period, MainLoop::Task task) {
  return StartWith(period, std::move(task), MainLoop::TimerPhase::kFromStart);
}

bool Timer::StartOnGrid(std::chrono::milliseconds period, MainLoop::Task task) {
  return StartWith(period, std::move(task), MainLoop::TimerPhase::kOnGrid);
}

bool Timer::StartWith(std::chrono::milliseconds period, MainLoop::Task task,
                      MainLoop::TimerPhase phase) {
  Stop();
  MainLoop* loop = loop_ != nullptr ? loop_ : MainLoop::Instance();
  if (loop == nullptr) return false;
  handle_ = loop->StartTimer(period, std::move(task), phase);
  running_on_ = loop;
  return true;
}

void Timer::Stop() {
  if (handle_ == 0) return;
  // Cleared before the loop lets go of the task, whose captures may reach back to the owner.
  const unsigned handle = std::exchange(handle_, 0);
  std::exchange(running_on_, nullptr)->StopTimer(handle);
}

}  // namespace quillo::loop
