#pragma once
// A scripted TransferClient for tests of the safe downloader: a handler decides each answer
// from the attempt (URL, resume offset, form); every attempt and every body read is recorded.
// Stalled answers block until the transfer's abort flag is set, as the real client does.
#include <strings.h>
#include <atomic>
#include <chrono>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "service/transfer/TransferClient.h"

namespace quillo::testing {

struct FakeAnswer {
  bool fail_send = false;    // the client raises
  bool no_response = false;  // no answer at all
  bool stall_send = false;   // the send blocks until aborted, then fails
  unsigned status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  std::size_t fail_after = std::string::npos;  // reads fail once this many bytes were given
  bool stall_after_body = false;               // after the body, reads block until aborted
  std::size_t piece = 16384;                   // the most one read gives
  // When set, reads give no byte at or past this many until the test raises it (or the
  // transfer is aborted): the test decides how far the download has come.
  std::shared_ptr<std::atomic<std::size_t>> released;
  // Whether the response tells how much it could give at once (as the real transport does);
  // otherwise it answers 0 and every read is handed over on its own.
  bool tells_available = false;
};

struct FakeAttempt {
  std::string url;
  std::uint64_t resume_from = 0;
  bool post = false;
  service::FormParams form;
};

class FakeTransferClient : public service::TransferClient {
 public:
  using Handler = std::function<FakeAnswer(const FakeAttempt& attempt, int index)>;
  explicit FakeTransferClient(Handler handler) : handler_(std::move(handler)) {}

  Result Send(const std::string& url, std::uint64_t resume_from, const service::FormParams* form,
              std::shared_ptr<const std::atomic<bool>> abort,
              std::chrono::milliseconds /*answer_timeout*/) override {
    FakeAttempt attempt{url, resume_from, form != nullptr, form ? *form : service::FormParams{}};
    int index = 0;
    {
      std::lock_guard lock(mutex_);
      index = static_cast<int>(attempts_.size());
      attempts_.push_back(attempt);
    }
    FakeAnswer answer = handler_(attempt, index);
    Result result;
    if (answer.stall_send) {
      WaitForAbort(*abort);
      result.failed = true;
      return result;
    }
    if (answer.fail_send) {
      result.failed = true;
      return result;
    }
    if (answer.no_response) return result;
    result.response = std::make_unique<Response>(std::move(answer), std::move(abort), this);
    return result;
  }

  std::vector<FakeAttempt> attempts() const {
    std::lock_guard lock(mutex_);
    return attempts_;
  }
  // Body reads that gave bytes, over every attempt.
  int reads() const { return reads_.load(); }

 private:
  static void WaitForAbort(const std::atomic<bool>& abort) {
    while (!abort.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  class Response : public service::TransferResponse {
   public:
    Response(FakeAnswer answer, std::shared_ptr<const std::atomic<bool>> abort,
             FakeTransferClient* owner)
        : answer_(std::move(answer)), abort_(std::move(abort)), owner_(owner) {}
    unsigned Status() override { return answer_.status; }
    std::vector<std::string> HeaderValues(const char* name) override {
      std::vector<std::string> values;
      for (const auto& [key, value] : answer_.headers) {
        if (strcasecmp(key.c_str(), name) == 0) values.push_back(value);
      }
      return values;
    }
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
      if (abort_->load()) return -1;
      const std::size_t limit = std::min(answer_.body.size(), answer_.fail_after);
      if (offset_ >= limit) {
        if (answer_.fail_after < answer_.body.size()) return -1;
        if (answer_.stall_after_body) {
          WaitForAbort(*abort_);
          return -1;
        }
        return 0;
      }
      if (answer_.released) {
        while (offset_ >= answer_.released->load()) {
          if (abort_->load()) return -1;
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      }
      std::size_t count = std::min({size, answer_.piece, limit - offset_});
      if (answer_.released) count = std::min(count, answer_.released->load() - offset_);
      std::memcpy(buffer, answer_.body.data() + offset_, count);
      offset_ += count;
      ++owner_->reads_;
      return static_cast<std::ptrdiff_t>(count);
    }
    std::size_t Available() override {
      if (!answer_.tells_available || abort_->load()) return 0;
      std::size_t limit = std::min(answer_.body.size(), answer_.fail_after);
      if (answer_.released) limit = std::min(limit, answer_.released->load());
      return offset_ < limit ? limit - offset_ : 0;
    }
    void SetReceiveTimeout(std::chrono::milliseconds timeout) override { timeout_ = timeout; }

   private:
    FakeAnswer answer_;
    std::shared_ptr<const std::atomic<bool>> abort_;
    FakeTransferClient* owner_;
    std::size_t offset_ = 0;
    std::chrono::milliseconds timeout_{0};
  };

  Handler handler_;
  mutable std::mutex mutex_;
  std::vector<FakeAttempt> attempts_;
  std::atomic<int> reads_{0};
};

}  // namespace quillo::testing
