#pragma once
// The work of one transfer, run on its own thread: attempts, resumption by byte range, size
// limits, mirror lists, the read loop and the target file (opened, written, discarded and closed
// here). The window thread gets reports only: OnStart, which the worker waits for, and the
// data, discard and finish reports, which it queues and does not wait for (in lockstep it waits
// for each data report before it writes the next chunk). The reports run there in the order the
// worker made them.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "service/transfer/TransferClient.h"
#include "service/transfer/TransferFile.h"
#include "service/transfer/TransferHandOver.h"
#include "service/transfer/TransferRecord.h"
#include "service/transfer/TransferReports.h"

namespace quillo::service {

class TransferWorker {
 public:
  static constexpr std::size_t kReadSize = 16384;
  // Reads that need no waiting are gathered (at most kBatchChunks of them, within kBatchWindow),
  // written to the file in one go and reported together; each is still reported (OnData) as its
  // own chunk.
  static constexpr std::size_t kBatchChunks = 64;
  static constexpr std::size_t kBatchBytes = kReadSize * kBatchChunks;
  static constexpr std::chrono::milliseconds kBatchWindow{20};
  // How much memory the batches on their way to OnData may hold before the worker waits for the
  // window thread to catch up.
  static constexpr std::size_t kReportBudget = 4 * kBatchBytes;
  static constexpr std::chrono::milliseconds kReceiveTimeout{60000};
  // A mirror list longer than this is not a mirror list.
  static constexpr std::size_t kMirrorListLimit = 1 << 20;

  // Everything must outlive Run. `reports` is used only inside tasks run on the window thread.
  TransferWorker(std::shared_ptr<TransferRecord> record, TransferClient& client,
                 TransferHandOver& hand_over, TransferReports& reports,
                 std::chrono::milliseconds receive_timeout = kReceiveTimeout);

  // The whole transfer, ending with the finish report. Worker thread.
  void Run();

 private:
  // What one attempt leads to.
  enum class Next {
    kRetry,    // the same URL again, resuming at the received size
    kNextUrl,  // give up this URL: the next mirror, if any
    kMirrors,  // a mirror list arrived: start on its first entry
    kEnd,      // the transfer is over; the status says how
  };

  Next Attempt();
  Next ReadMirrorList(TransferResponse& response);
  std::optional<Next> CheckLength(TransferResponse& response);
  // OnStart (waited for), then the target file. False when the transfer ended (status set).
  bool StartFile();
  Next ReadBody(TransferResponse& response);
  // How storing the chunks of a batch went.
  enum class Stored { kAll, kShort, kCancelled };
  // Writes the first `count` chunks of the batch buffer (`bytes` in all) at once and queues
  // their reports.
  Stored StoreBatch(const std::vector<std::size_t>& chunk_sizes, std::size_t count,
                    std::size_t bytes);
  // Lockstep: writes each of the first `count` chunks and waits for its OnData before the next.
  Stored StoreInStep(const std::vector<std::size_t>& chunk_sizes, std::size_t count);
  // Waits while the batches not yet reported hold the whole budget. False when cancelled.
  bool WaitForReportRoom();
  // Queues OnData for the first `count` chunks of the batch buffer. False when the window
  // thread takes no more reports.
  bool ReportChunks(const std::vector<std::size_t>& chunk_sizes, std::size_t count,
                    std::size_t bytes, std::uint64_t received_before);
  // Closes or deletes the file as the status says and queues the finish report.
  void Finish();
  TransferRecord::View CurrentView() const;

  std::shared_ptr<TransferRecord> record_;
  TransferClient& client_;
  TransferHandOver& hand_over_;
  TransferReports& reports_;
  const std::chrono::milliseconds receive_timeout_;

  // The worker's own view of the transfer; the record's is the window thread's.
  std::string url_;
  std::string target_path_;
  TransferStatus status_ = TransferStatus::kStarting;
  std::uint64_t total_size_ = 0;
  std::uint64_t received_size_ = 0;
  unsigned http_status_ = 0;
  TransferFile file_;

  std::vector<std::string> mirrors_;
  bool following_mirrors_ = false;
  bool xor_bytes_ = false;
  std::string mirror_extension_;
  // The batch being read; handed to the window thread whole when it is large.
  std::vector<char> buffer_;
};

}  // namespace quillo::service
