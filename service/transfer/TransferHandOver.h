#pragma once
// How a transfer's worker has the window thread run a step and waits for it.
#include <functional>
#include <memory>

namespace quillo::service {

class TransferRecord;

// The hand-over message of the window procedure this replaces (WM_USER + 7), kept for
// cross-reference; steps travel as typed values.
inline constexpr int kTransferStepMessage = 1031;

enum class TransferStep : int {
  kOpen = 0,     // OnStart when no file is open, then open the target for writing
  kWrite = 1,    // write the current chunk, then OnData
  kDiscard = 2,  // close and delete the partial file before a mirror is tried
  kFinish = 3,   // close, delete unless finished, leave the table, then OnFinish
};

class TransferHandOver {
 public:
  virtual ~TransferHandOver() = default;
  // Called on the worker thread. Runs `task` on the window thread and waits until it has run.
  // False when it did not run and never will: the transfer was cancelled or the downloader is
  // shutting down (the worker then stops).
  virtual bool Send(const std::shared_ptr<TransferRecord>& record, TransferStep step,
                    const std::function<void()>& task) = 0;
};

}  // namespace quillo::service
