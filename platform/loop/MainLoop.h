#pragma once
// The window thread's loop, on a GLib main context (GTK's default context when windows exist,
// a plain GMainLoop in headless runs and tests).
//
// The thread that constructs the MainLoop is the window thread for its whole life. Workers reach
// it only through Post and Send; timers and the tasks of both run on the window thread. Owners
// normally go through a LoopTarget, which drops tasks and timers once the owner is gone.
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

namespace quillo::loop {

class MainLoop {
 public:
  using Task = std::function<void()>;

  // Attaches to the process's default GLib context and makes the calling thread the window
  // thread. At most one MainLoop exists at a time.
  MainLoop();
  // Drops every task still queued and releases every worker blocked in Send (which then answers
  // false). Must run on the window thread, after every LoopTarget of this loop is gone.
  ~MainLoop();
  MainLoop(const MainLoop&) = delete;
  MainLoop& operator=(const MainLoop&) = delete;

  // The loop of this process, or nullptr when none exists.
  static MainLoop* Instance();

  bool IsWindowThread() const { return std::this_thread::get_id() == window_thread_; }

  // Queues the task to run on the window thread. Any thread. False after shutdown began.
  bool Post(Task task);

  // Runs the task on the window thread and waits until it has run. On the window thread it runs
  // at once. False when the task could not run because the loop shut down (never blocks then).
  bool Send(Task task);

  // Runs until Quit. Window thread only.
  void Run();
  // Makes Run return. Any thread.
  void Quit();

  // Handles events until the condition holds or the time-out passes; answers the condition's
  // last value. For tests and for short modal waits on the window thread. May run inside a task
  // (a modal loop): tasks posted or sent meanwhile run in it.
  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
  // Handles every event that is ready now, without waiting.
  void PumpPending();

  // How a repeating timer's ticks are placed. kFromStart: every period counted from the start
  // (the first tick one period after it). kOnGrid: on the multiples of the period of the
  // monotonic clock, so that timers whose periods divide one another (50 ms, 100 ms, 250 ms,
  // 1 s) tick in the same wake-up instead of one each; the first tick comes within one period.
  // For steady ticks (animation, polling), not for delays.
  enum class TimerPhase { kFromStart, kOnGrid };
  // A repeating timer; answers a handle for StopTimer (never 0). Window thread only.
  unsigned StartTimer(std::chrono::milliseconds period, Task task,
                      TimerPhase phase = TimerPhase::kFromStart);
  void StopTimer(unsigned handle);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
  std::thread::id window_thread_;
};

}  // namespace quillo::loop
