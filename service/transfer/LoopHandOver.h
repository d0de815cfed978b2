#pragma once
// The hand-over of the safe downloader over the window-thread loop: the step is queued to the
// window thread and the worker waits until it has run. Unlike a plain loop Send, the wait also
// ends when the transfer is cancelled before its step started, so that Cancel and Shutdown on the
// window thread never wait for a worker that waits for the window thread.
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
  loop::LoopTarget target_;
};

}  // namespace quillo::service
