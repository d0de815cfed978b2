#pragma once
// The window-thread side of the safe downloader: the reports its workers hand over (each brings
// the record's view up to date and makes one kind of callback), and the ending of a transfer by
// Cancel or Shutdown. Every operation runs on the window thread; the table of live transfers is
// touched only here and by SafeDownloader on that thread. A report for a cancelled transfer does
// nothing: Cancel already did the bookkeeping, and no callback follows it.
#include <map>
#include <memory>
#include <string>

#include "service/transfer/TransferRecord.h"

namespace quillo::service {

class TransferBatch;

class TransferReports {
 public:
  // Live transfers by id. Owned by the caller, which outlives this object.
  using Table = std::map<std::string, std::shared_ptr<TransferRecord>>;
  explicit TransferReports(Table& table) : table_(table) {}

  // The first answer with data was accepted and no file is open yet (the worker waits for this
  // one): takes the view (the target path may have been re-extended) and calls OnStart.
  void Start(TransferRecord& record, const TransferRecord::View& view);
  // The batch's chunks, each already in the file: for each in order, the received size counts
  // it and OnData sees it. Stops when a callback cancels the transfer.
  void Data(TransferRecord& record, const TransferBatch& batch);
  // The worker deleted its partial file to try the next mirror: takes the view.
  void Discard(TransferRecord& record, const TransferRecord::View& view);
  // The worker has ended: takes the view; a finished file becomes the caller's (nothing deletes
  // it any more); the transfer leaves the table; OnFinish.
  void Finish(TransferRecord& record, const TransferRecord::View& view);

  // Ends a transfer: sets its cancel and abort flags (waking a worker that waits), deletes the
  // file it created — at once, even while the worker still writes to it — and removes it from
  // the table. No callback follows.
  void Cancel(TransferRecord& record);

 private:
  void Leave(TransferRecord& record);

  Table& table_;
};

}  // namespace quillo::service
