#include "platform/loop/MainLoop.h"

#include <glib.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <unordered_map>

namespace quillo::loop {
namespace {
MainLoop* g_instance = nullptr;

// What a worker blocked in Send waits on.
struct SendState {
  std::mutex mutex;
  std::condition_variable done_signal;
  bool finished = false;
  bool ran = false;
};
}  // namespace

class MainLoop::Impl {
 public:
  Impl() : context_(g_main_context_ref(g_main_context_default())) {
    loop_ = g_main_loop_new(context_, FALSE);
    source_ = g_source_new(&kQueueFuncs, sizeof(QueueSource));
    reinterpret_cast<QueueSource*>(source_)->impl = this;
    g_source_set_priority(source_, G_PRIORITY_DEFAULT);
    // A task may run a modal loop (a dialog shown from a transfer's callback); tasks posted
    // meanwhile, the transfers' hand-overs among them, must still run inside it. Drain takes
    // its batch out of the queue first, so a nested dispatch starts on a fresh one.
    g_source_set_can_recurse(source_, TRUE);
    g_source_attach(source_, context_);
  }

  ~Impl() {
    std::deque<Task> dropped;
    std::set<std::shared_ptr<SendState>> waiting;
    {
      std::lock_guard lock(mutex_);
      closed_ = true;
      dropped.swap(queue_);
      waiting.swap(waiting_);
    }
    for (auto& state : waiting) {
      std::lock_guard lock(state->mutex);
      state->finished = true;
      state->done_signal.notify_all();
    }
    for (auto& [handle, timer] : timers_) g_source_destroy(timer.source), g_source_unref(timer.source);
    g_source_destroy(source_);
    g_source_unref(source_);
    g_main_loop_unref(loop_);
    g_main_context_unref(context_);
  }

  bool Post(Task task) {
    {
      std::lock_guard lock(mutex_);
      if (closed_) return false;
      queue_.push_back(std::move(task));
    }
    g_main_context_wakeup(context_);
    return true;
  }

  bool Send(Task task) {
    auto state = std::make_shared<SendState>();
    {
      std::lock_guard lock(mutex_);
      if (closed_) return false;
      waiting_.insert(state);
      queue_.push_back([this, state, task = std::move(task)] {
        task();
        {
          std::lock_guard state_lock(state->mutex);
          state->ran = true;
          state->finished = true;
        }
        state->done_signal.notify_all();
        std::lock_guard lock(mutex_);
        waiting_.erase(state);
      });
    }
    g_main_context_wakeup(context_);
    std::unique_lock lock(state->mutex);
    state->done_signal.wait(lock, [&] { return state->finished; });
    return state->ran;
  }

  void Run() { g_main_loop_run(loop_); }
  void Quit() { g_main_loop_quit(loop_); }

  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    // A short ticker keeps the context waking up so that conditions changed by other threads
    // without an event of their own are seen promptly.
    GSource* ticker = g_timeout_source_new(5);
    g_source_set_callback(ticker, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr,
                          nullptr);
    g_source_attach(ticker, context_);
    bool satisfied = condition();
    while (!satisfied && std::chrono::steady_clock::now() < deadline) {
      g_main_context_iteration(context_, TRUE);
      satisfied = condition();
    }
    g_source_destroy(ticker);
    g_source_unref(ticker);
    return satisfied;
  }

  void PumpPending() {
    while (g_main_context_iteration(context_, FALSE)) {
    }
  }

  unsigned StartTimer(std::chrono::milliseconds period, Task task, TimerPhase phase) {
    unsigned handle = ++last_timer_;
    auto* callback = new TimerCallback{this, handle};
    const long long period_ms = std::max<long long>(1, period.count());
    GSource* source = phase == TimerPhase::kOnGrid
                          ? NewGridSource(period_ms)
                          : g_timeout_source_new(static_cast<guint>(period_ms));
    g_source_set_callback(source, &Impl::OnTimer, callback,
                          [](gpointer data) { delete static_cast<TimerCallback*>(data); });
    timers_.emplace(handle, Timer{source, std::make_shared<Task>(std::move(task))});
    g_source_attach(source, context_);
    return handle;
  }

  void StopTimer(unsigned handle) {
    auto it = timers_.find(handle);
    if (it == timers_.end()) return;
    g_source_destroy(it->second.source);
    g_source_unref(it->second.source);
    timers_.erase(it);
  }

 private:
  struct QueueSource {
    GSource base;
    Impl* impl;
  };
  struct Timer {
    GSource* source;
    std::shared_ptr<Task> task;
  };
  struct TimerCallback {
    Impl* impl;
    unsigned handle;
  };

  // A source ready at the next multiple of its period of the monotonic clock, and again at the
  // next one after each dispatch (a late dispatch skips the multiples it missed).
  struct GridSource {
    GSource base;
    gint64 period_us;
  };
  static void ScheduleNextTick(GridSource* grid) {
    const gint64 now = g_get_monotonic_time();
    g_source_set_ready_time(&grid->base, (now / grid->period_us + 1) * grid->period_us);
  }
  static gboolean DispatchGrid(GSource* source, GSourceFunc callback, gpointer data) {
    ScheduleNextTick(reinterpret_cast<GridSource*>(source));
    return callback != nullptr ? callback(data) : G_SOURCE_REMOVE;
  }
  static inline GSourceFuncs kGridFuncs = {nullptr, nullptr, &Impl::DispatchGrid, nullptr,
                                           nullptr, nullptr};
  static GSource* NewGridSource(long long period_ms) {
    GSource* source = g_source_new(&kGridFuncs, sizeof(GridSource));
    auto* grid = reinterpret_cast<GridSource*>(source);
    grid->period_us = period_ms * 1000;
    ScheduleNextTick(grid);
    return source;
  }

  static gboolean OnTimer(gpointer data) {
    auto* callback = static_cast<TimerCallback*>(data);
    auto it = callback->impl->timers_.find(callback->handle);
    if (it == callback->impl->timers_.end()) return G_SOURCE_REMOVE;
    // Keep the task alive even if it stops its own timer while running.
    std::shared_ptr<Task> task = it->second.task;
    (*task)();
    return G_SOURCE_CONTINUE;
  }

  bool HasWork() {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
  }

  void Drain() {
    // Run only what was queued before this dispatch so that a task posting another cannot
    // starve the other sources of the context.
    std::deque<Task> batch;
    {
      std::lock_guard lock(mutex_);
      batch.swap(queue_);
    }
    for (Task& task : batch) task();
  }

  static gboolean Prepare(GSource* source, gint* timeout) {
    *timeout = -1;
    return reinterpret_cast<QueueSource*>(source)->impl->HasWork();
  }
  static gboolean Check(GSource* source) {
    return reinterpret_cast<QueueSource*>(source)->impl->HasWork();
  }
  static gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
    reinterpret_cast<QueueSource*>(source)->impl->Drain();
    return G_SOURCE_CONTINUE;
  }
  static inline GSourceFuncs kQueueFuncs = {&Impl::Prepare, &Impl::Check, &Impl::Dispatch, nullptr,
                                            nullptr, nullptr};

  GMainContext* context_;
  GMainLoop* loop_;
  GSource* source_;
  std::mutex mutex_;
  std::deque<Task> queue_;
  std::set<std::shared_ptr<SendState>> waiting_;
  bool closed_ = false;
  std::unordered_map<unsigned, Timer> timers_;
  unsigned last_timer_ = 0;
};

MainLoop::MainLoop() : impl_(std::make_unique<Impl>()), window_thread_(std::this_thread::get_id()) {
  g_instance = this;
}

MainLoop::~MainLoop() {
  if (g_instance == this) g_instance = nullptr;
}

MainLoop* MainLoop::Instance() { return g_instance; }

bool MainLoop::Post(Task task) { return impl_->Post(std::move(task)); }

bool MainLoop::Send(Task task) {
  if (IsWindowThread()) {
    task();
    return true;
  }
  return impl_->Send(std::move(task));
}

void MainLoop::Run() { impl_->Run(); }
void MainLoop::Quit() { impl_->Quit(); }

bool MainLoop::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  return impl_->PumpUntil(condition, timeout);
}

void MainLoop::PumpPending() { impl_->PumpPending(); }

unsigned MainLoop::StartTimer(std::chrono::milliseconds period, Task task, TimerPhase phase) {
  return impl_->StartTimer(period, std::move(task), phase);
}

void MainLoop::StopTimer(unsigned handle) { impl_->StopTimer(handle); }

}  // namespace quillo::loop
