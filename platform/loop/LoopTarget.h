#pragma once
// An owner's handle on the window-thread loop: what it posts, sends or times runs only while the
// owner lives. Destroying the target (on the window thread) drops its queued tasks and stops its
// timers, so no callback ever reaches a destroyed owner.
#include <atomic>
#include <chrono>
#include <map>
#include <memory>

#include "platform/loop/MainLoop.h"

namespace quillo::loop {

class LoopTarget {
 public:
  explicit LoopTarget(MainLoop& loop);
  ~LoopTarget();
  LoopTarget(const LoopTarget&) = delete;
  LoopTarget& operator=(const LoopTarget&) = delete;

  // Any thread. False when the target or the loop is already gone.
  bool Post(MainLoop::Task task);
  // Any thread; a worker waits until the task ran. False when it did not run (owner or loop gone).
  bool Send(MainLoop::Task task);

  // Timers by id, as window timers are: setting an id again replaces its timer. Window thread.
  void SetTimer(int id, std::chrono::milliseconds period, MainLoop::Task task,
                MainLoop::TimerPhase phase = MainLoop::TimerPhase::kFromStart);
  void KillTimer(int id);
  bool HasTimer(int id) const { return timers_.count(id) != 0; }

  MainLoop& loop() const { return loop_; }

 private:
  MainLoop& loop_;
  // Shared with every queued task; cleared on the window thread when the target goes away.
  std::shared_ptr<std::atomic<bool>> alive_;
  std::map<int, unsigned> timers_;
};

}  // namespace quillo::loop
