#pragma once
// The window-thread side of the safe downloader: the file steps a worker hands over, and the
// ending of a transfer by Cancel or Shutdown. Every operation runs on the window thread; the
// table of live transfers is touched only here and by SafeDownloader on that thread.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "service/transfer/TransferRecord.h"

namespace quillo::service {

class TransferSteps {
 public:
  // Live transfers by id. Owned by the caller, which outlives this object.
  using Table = std::map<std::string, std::shared_ptr<TransferRecord>>;
  explicit TransferSteps(Table& table) : table_(table) {}

  // Step 0: takes the (possibly re-extended) target path; calls OnStart when no file is open,
  // then, unless cancelled, creates the target (truncated, binary) when the path is not empty.
  void Open(TransferRecord& record, const std::string& target_path);
  // Step 1: writes the chunk (downloads) and counts it; OnData unless cancelled or the write
  // fell short. Answers how many bytes were taken.
  std::size_t Write(TransferRecord& record, std::string_view chunk);
  // Step 2: closes and deletes the partial file and switches the record to the next URL.
  void Discard(TransferRecord& record, const std::string& next_url);
  // Step 3: closes the file, deletes it unless the transfer finished, removes the record from
  // the table, and calls OnFinish unless cancelled.
  void Finish(TransferRecord& record);

  // Ends a transfer from the window thread: sets its cancel and abort flags (waking a worker
  // that waits for a step), closes and deletes its partial file and removes it from the table.
  // No callback follows.
  void Cancel(TransferRecord& record);

  static bool HasOpenFile(const TransferRecord& record) { return record.file_ != nullptr; }

 private:
  static void CloseAndDelete(TransferRecord& record);

  Table& table_;
};

}  // namespace quillo::service
