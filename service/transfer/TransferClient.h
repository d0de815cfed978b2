#pragma once
// How the safe downloader's worker sends one attempt. The production implementation drives the
// Dravik client library (DravikTransferClient); tests give scripted answers. Send is called by
// every transfer's worker, possibly at the same time; each answer belongs to its worker.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "service/transfer/TransferRecord.h"
#include "service/transfer/TransferResponse.h"

namespace quillo::service {

class TransferClient {
 public:
  struct Result {
    std::unique_ptr<TransferResponse> response;  // null: no answer
    bool failed = false;                         // the client raised: the attempt failed
  };

  virtual ~TransferClient() = default;
  // Sends a GET (form == null) or an url-encoded POST of `form`, with the program's user agent
  // and, when resume_from is not 0, the header RANGE "bytes=N-". Every call starts from fresh
  // client settings, so nothing of an earlier attempt (a range, parameters) carries over.
  // Setting `abort` ends a blocking send or a later read within about 100 ms.
  virtual Result Send(const std::string& url, std::uint64_t resume_from, const FormParams* form,
                      std::shared_ptr<const std::atomic<bool>> abort) = 0;
};

}  // namespace quillo::service
