#include "service/transfer/DravikTransferClient.h"

#include <exception>
#include <string>

#include "service/UserAgent.h"
#include "service/http/CHttpClientT.h"
#include "service/http/CHttpResponseT.h"
#include "service/http/httpclientexceptionW.h"

namespace quillo::service {
namespace {

// Keeps the client beside its answer; the answer goes first.
class DravikResponse : public TransferResponse {
 public:
  DravikResponse(std::unique_ptr<Dravik::CHttpClient> client,
                 std::unique_ptr<Dravik::CHttpResponse> response)
      : client_(std::move(client)), response_(std::move(response)) {}

  unsigned Status() override {
    try {
      return response_->GetStatus();
    } catch (const std::exception&) {
      return 0;
    }
  }

  std::vector<std::string> HeaderValues(const char* name) override {
    std::vector<std::string> values;
    try {
      for (std::size_t index = 0;; ++index) {
        const char* value = response_->GetHeader(name, index);
        if (value == nullptr) break;
        values.emplace_back(value);
      }
    } catch (const std::exception&) {
    }
    return values;
  }

  std::ptrdiff_t Read(char* buffer, std::size_t size) override {
    try {
      return static_cast<std::ptrdiff_t>(response_->ReadBody(buffer, size));
    } catch (const std::exception&) {
      return -1;
    }
  }

  void SetReceiveTimeout(std::chrono::milliseconds timeout) override {
    try {
      response_->SetReceiveTimeout(timeout);
    } catch (const std::exception&) {
      // Reads then keep the transport's default time-out.
    }
  }

 private:
  std::unique_ptr<Dravik::CHttpClient> client_;
  std::unique_ptr<Dravik::CHttpResponse> response_;
};

}  // namespace

TransferClient::Result DravikTransferClient::Send(const std::string& url, std::uint64_t resume_from,
                                                  const FormParams* form,
                                                  std::shared_ptr<const std::atomic<bool>> abort) {
  Result result;
  try {
    auto client = std::make_unique<Dravik::CHttpClient>(transport_);
    client->SetSessionOptions(UserAgent().c_str(), 0, nullptr, nullptr, 0);
    client->SetAbortFlag(std::move(abort));
    client->SetUseUtf8(true);
    if (resume_from != 0) {
      client->SetHeader("RANGE", ("bytes=" + std::to_string(resume_from) + "-").c_str());
    }
    std::unique_ptr<Dravik::CHttpResponse> response;
    if (form != nullptr) {
      for (const auto& [name, value] : *form) client->AddParam(name.c_str(), value.c_str());
      response = client->SendPost(url.c_str(), false);
    } else {
      response = client->SendGet(url.c_str(), false);
    }
    if (response)
      result.response = std::make_unique<DravikResponse>(std::move(client), std::move(response));
  } catch (const std::exception&) {
    // Every failure of the client library is a failed attempt; nothing reaches the user.
    result.failed = true;
  }
  return result;
}

}  // namespace quillo::service
