#include "service/transfer/DravikTransferClient.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

#include "service/UserAgent.h"
#include "service/http/CHttpClientT.h"
#include "service/http/CHttpResponseT.h"
#include "service/http/httpclientexceptionW.h"

namespace quillo::service {
namespace {

// The client library sets a receive time-out only on an answer; until the answer begins the
// transport waits its own default. The watch gives the attempt an abort flag of its own that
// follows the transfer's and is also raised when no answer began within the time-out, so a peer
// that accepts and never answers costs one time-out per attempt.
class AttemptWatch {
 public:
  AttemptWatch(std::shared_ptr<const std::atomic<bool>> transfer_abort,
               std::chrono::milliseconds answer_timeout)
      : transfer_abort_(std::move(transfer_abort)) {
    const auto deadline = std::chrono::steady_clock::now() + answer_timeout;
    watcher_ = std::thread([this, deadline] {
      std::unique_lock lock(mutex_);
      while (!stop_) {
        if (transfer_abort_->load() || (!answered_ && std::chrono::steady_clock::now() >= deadline))
          flag_->store(true);
        stop_signal_.wait_for(lock, kPollPeriod);
      }
    });
  }
  ~AttemptWatch() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    stop_signal_.notify_all();
    watcher_.join();
  }
  AttemptWatch(const AttemptWatch&) = delete;
  AttemptWatch& operator=(const AttemptWatch&) = delete;

  std::shared_ptr<const std::atomic<bool>> flag() const { return flag_; }
  void Answered() {
    std::lock_guard lock(mutex_);
    answered_ = true;
  }

 private:
  static constexpr std::chrono::milliseconds kPollPeriod{20};

  std::shared_ptr<const std::atomic<bool>> transfer_abort_;
  std::shared_ptr<std::atomic<bool>> flag_ = std::make_shared<std::atomic<bool>>(false);
  std::mutex mutex_;
  std::condition_variable stop_signal_;
  bool answered_ = false;
  bool stop_ = false;
  std::thread watcher_;
};

// Keeps the client and the watch beside the answer; the answer goes first.
class DravikResponse : public TransferResponse {
 public:
  DravikResponse(std::unique_ptr<AttemptWatch> watch, std::unique_ptr<Dravik::CHttpClient> client,
                 std::unique_ptr<Dravik::CHttpResponse> response)
      : watch_(std::move(watch)), client_(std::move(client)), response_(std::move(response)) {}

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

  std::size_t Available() override {
    auto* request = response_->Request();
    return request ? request->Available() : 0;
  }

  void SetReceiveTimeout(std::chrono::milliseconds timeout) override {
    try {
      response_->SetReceiveTimeout(timeout);
    } catch (const std::exception&) {
      // Reads then keep the transport's default time-out.
    }
  }

 private:
  std::unique_ptr<AttemptWatch> watch_;
  std::unique_ptr<Dravik::CHttpClient> client_;
  std::unique_ptr<Dravik::CHttpResponse> response_;
};

}  // namespace

TransferClient::Result DravikTransferClient::Send(const std::string& url, std::uint64_t resume_from,
                                                  const FormParams* form,
                                                  std::shared_ptr<const std::atomic<bool>> abort,
                                                  std::chrono::milliseconds answer_timeout) {
  Result result;
  try {
    auto watch = std::make_unique<AttemptWatch>(std::move(abort), answer_timeout);
    auto client = std::make_unique<Dravik::CHttpClient>(transport_);
    client->SetSessionOptions(UserAgent().c_str(), 0, nullptr, nullptr, 0);
    client->SetAbortFlag(watch->flag());
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
    watch->Answered();
    if (response) {
      result.response = std::make_unique<DravikResponse>(std::move(watch), std::move(client),
                                                         std::move(response));
    }
  } catch (const std::exception&) {
    // Every failure of the client library is a failed attempt; nothing reaches the user.
    result.failed = true;
  }
  return result;
}

}  // namespace quillo::service
