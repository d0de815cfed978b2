#pragma once
// The work of one transfer, run on its own thread: attempts, resumption by byte range, size
// limits, mirror lists and the read loop. Touches files and callbacks only through steps it
// hands to the window thread, waiting for each.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "service/transfer/TransferClient.h"
#include "service/transfer/TransferHandOver.h"
#include "service/transfer/TransferRecord.h"
#include "service/transfer/TransferSteps.h"

namespace quillo::service {

class TransferWorker {
 public:
  static constexpr std::size_t kReadSize = 16384;
  // Reads that need no waiting travel to the window thread together (at most kBatchChunks of
  // them, gathered within kBatchWindow); each is still written and reported as its own chunk.
  static constexpr std::size_t kBatchChunks = 64;
  static constexpr std::chrono::milliseconds kBatchWindow{20};
  static constexpr std::chrono::milliseconds kReceiveTimeout{60000};
  // A mirror list longer than this is not a mirror list.
  static constexpr std::size_t kMirrorListLimit = 1 << 20;

  // Everything must outlive Run. `steps` is used only inside tasks run on the window thread.
  TransferWorker(std::shared_ptr<TransferRecord> record, TransferClient& client,
                 TransferHandOver& hand_over, TransferSteps& steps,
                 std::chrono::milliseconds receive_timeout = kReceiveTimeout);

  // The whole transfer, ending with the finish step. Worker thread.
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
  Next ReadBody(TransferResponse& response);
  bool HandOver(TransferStep step, const std::function<void()>& task);
  void SetStatus(TransferStatus status) { record_->status_ = status; }
  std::uint64_t Received() const { return record_->received_size_; }

  std::shared_ptr<TransferRecord> record_;
  TransferClient& client_;
  TransferHandOver& hand_over_;
  TransferSteps& steps_;
  const std::chrono::milliseconds receive_timeout_;

  std::vector<std::string> mirrors_;
  bool following_mirrors_ = false;
  bool xor_bytes_ = false;
  std::string mirror_extension_;
  std::vector<char> buffer_;
};

}  // namespace quillo::service
