#pragma once
// The status of a transfer of the safe downloader, as its callbacks and ids report it.
namespace quillo::service {

enum class TransferStatus : int {
  kStarting = 0,
  kReceiving = 1,
  kFinished = 2,
  kFailed = 3,
  kCancelled = 4,
};

}  // namespace quillo::service
