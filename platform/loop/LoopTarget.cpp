#include "platform/loop/LoopTarget.h"

#include <atomic>

namespace quillo::loop {

LoopTarget::LoopTarget(MainLoop& loop)
    : loop_(loop), alive_(std::make_shared<std::atomic<bool>>(true)) {}

LoopTarget::~LoopTarget() {
  alive_->store(false);
  for (auto& [id, handle] : timers_) loop_.StopTimer(handle);
}

bool LoopTarget::Post(MainLoop::Task task) {
  if (!alive_->load()) return false;
  return loop_.Post([alive = alive_, task = std::move(task)] {
    if (alive->load()) task();
  });
}

bool LoopTarget::Send(MainLoop::Task task) {
  if (!alive_->load()) return false;
  bool ran = false;
  bool delivered = loop_.Send([&ran, alive = alive_, &task] {
    if (alive->load()) {
      task();
      ran = true;
    }
  });
  return delivered && ran;
}

void LoopTarget::SetTimer(int id, std::chrono::milliseconds period, MainLoop::Task task,
                          MainLoop::TimerPhase phase) {
  KillTimer(id);
  timers_[id] = loop_.StartTimer(period, std::move(task), phase);
}

void LoopTarget::KillTimer(int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  loop_.StopTimer(it->second);
  timers_.erase(it);
}

}  // namespace quillo::loop
