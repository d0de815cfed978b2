#pragma once
// A repeating timer on the window thread's loop, owned by what it serves: only its owner can
// stop or restart it, and it stops when the owner destroys it, so no tick reaches an owner that
// is gone. Declare it after the members its task uses, so that it goes first.
//
// Window thread only: construction aside, every operation and every tick run there. The loop
// must outlive the timer (as it must outlive every LoopTarget).
#include <chrono>

#include "platform/loop/MainLoop.h"

namespace quillo::loop {

class Timer {
 public:
  // A timer on the process's loop (MainLoop::Instance() at each start), for owners made before
  // the loop is known, as windows are.
  Timer() = default;
  explicit Timer(MainLoop& loop) : loop_(&loop) {}
  ~Timer() { Stop(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // Runs `task` every `period` until Stop; starting a running timer replaces its period and task
  // and counts the period from now. The task may stop or restart its own timer. Answers false
  // (and leaves the timer stopped) only when there is no loop to run it on.
  bool Start(std::chrono::milliseconds period, MainLoop::Task task);
  // Like Start, with the ticks on the loop's grid (MainLoop::TimerPhase::kOnGrid): for steady
  // ticks that should share their wake-ups with the process's other steady ticks.
  bool StartOnGrid(std::chrono::milliseconds period, MainLoop::Task task);
  // No tick runs after this returns; stopping a stopped timer does nothing.
  void Stop();
  bool IsRunning() const { return handle_ != 0; }

 private:
  bool StartWith(std::chrono::milliseconds period, MainLoop::Task task,
                 MainLoop::TimerPhase phase);

  MainLoop* loop_ = nullptr;        // given at construction, or none: the process's loop
  MainLoop* running_on_ = nullptr;  // while running
  unsigned handle_ = 0;
};

}  // namespace quillo::loop
