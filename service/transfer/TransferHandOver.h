#pragma once
// How a transfer's worker gets its reports (callbacks and the record's view) to the window
// thread. Everything a worker hands over runs there in the order it was handed over.
#include <functional>
#include <memory>

namespace quillo::service {

class TransferRecord;

class TransferHandOver {
 public:
  virtual ~TransferHandOver() = default;
  // Worker thread. Runs `task` on the window thread and waits until it has run. False when it
  // did not run and never will: the transfer was cancelled or the downloader is shutting down
  // (the worker then stops). For the one report the worker must wait for (OnStart).
  virtual bool Send(const std::shared_ptr<TransferRecord>& record, std::function<void()> task) = 0;
  // Worker thread. Queues `task` for the window thread behind everything handed over before and
  // returns at once. False when the window thread takes no more tasks (the task is then dropped
  // and the worker stops).
  virtual bool Post(std::function<void()> task) = 0;
};

}  // namespace quillo::service
