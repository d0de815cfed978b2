#pragma once
// The safe downloader's attempts over the Dravik client library: one fresh client per attempt,
// with the program's user agent, UTF-8 parameters and, when resuming, the RANGE header.
#include "service/transfer/TransferClient.h"

namespace quillo::http {
class HttpTransport;
}

namespace quillo::service {

class DravikTransferClient : public TransferClient {
 public:
  // The transport must outlive this object and every answer it gave.
  explicit DravikTransferClient(http::HttpTransport& transport) : transport_(transport) {}

  Result Send(const std::string& url, std::uint64_t resume_from, const FormParams* form,
              std::shared_ptr<const std::atomic<bool>> abort) override;

 private:
  http::HttpTransport& transport_;
};

}  // namespace quillo::service
