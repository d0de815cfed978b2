#pragma once
// The hand-over of the safe downloader over the window-thread loop: the step is queued to the
// window thread and the worker waits until it has run. Unlike a plain loop Send, the wait also
// ends when the transfer is cancelled before its step started, so that Cancel and Shutdown on the
// window thread never wait for a worker that waits for the window thread.
//
// A download hands over one step per 16 KB chunk. Waking a sleeping thread twice per chunk would
// cost more than the write itself, so both sides wait briefly (yielding the processor) before
// they sleep: the worker for its step to finish, the window thread for the next step of any
// worker, which it then runs at once — at most a few dozen in a row before the loop gets its
// turn again, so the window stays responsive.
#include <atomic>
#include <functional>
#include <mutex>

#include "platform/loop/LoopTarget.h"
#include "service/transfer/TransferHandOver.h"

namespace quillo::service {

class LoopHandOver : public TransferHandOver {
 public:
  // Destroy on the window thread after every worker using it has ended; steps still queued are
  // then dropped.
  explicit LoopHandOver(loop::MainLoop& loop) : target_(loop) {}

  bool Send(const std::shared_ptr<TransferRecord>& record, TransferStep step,
            const std::function<void()>& task) override;

 private:
  enum DirectState : int { kIdle, kLingering, kDeposited };

  // Window thread, after a queued step: runs steps that workers hand over meanwhile.
  void Linger();

  loop::LoopTarget target_;
  std::mutex direct_mutex_;
  std::atomic<int> direct_state_{kIdle};  // changed under direct_mutex_
  std::function<void()> direct_step_;     // guarded by direct_mutex_
};

}  // namespace quillo::service
