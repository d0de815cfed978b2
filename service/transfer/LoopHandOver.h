#pragma once
// The hand-over of the safe downloader over the window-thread loop. Posted reports queue behind
// each other on one target, so a transfer's reports run in the order its worker made them. A
// sent report also ends the worker's wait when the transfer is cancelled before the report
// started, so that Cancel and Shutdown on the window thread never wait for a worker that waits
// for the window thread.
#include <functional>
#include <memory>

#include "platform/loop/LoopTarget.h"
#include "service/transfer/TransferHandOver.h"

namespace quillo::service {

class LoopHandOver : public TransferHandOver {
 public:
  // Destroy on the window thread after every worker using it has ended; reports still queued
  // are then dropped without running.
  explicit LoopHandOver(loop::MainLoop& loop) : target_(loop) {}

  bool Send(const std::shared_ptr<TransferRecord>& record, std::function<void()> task) override;
  bool Post(std::function<void()> task) override { return target_.Post(std::move(task)); }

 private:
  loop::LoopTarget target_;
};

}  // namespace quillo::service
