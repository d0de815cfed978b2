#pragma once
// An HttpTransport for tests: records every session, connection and request (settings, header
// lines, the body as written piece by piece, reads) and answers each request from a script.
//
// Each OpenRequest takes its answer, in order, from Script(); when the script is empty, from the
// handler given to SetHandler (which sees the request's record: host, port, verb, object ...);
// else 200 with an empty body. A scripted answer that fails OpenSession or Connect is taken by
// that step when it is first in the script. An answer can
// fail any step, deliver its body in small reads, drop after some bytes, or stall (a blocked Send
// or Read that ends only when the session's abort flag is set or the receive time-out passes).
//
// Thread-safe: many workers may use one fake; records are answered as copies.
#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/http/HttpTransport.h"

namespace quillo::testing {

struct FakeHttpAnswer {
  enum class FailAt {
    kNothing,
    kOpenSession,
    kConnect,
    kOpenRequest,
    kAddHeaders,
    kSend,
    kWriteBody,
    kEndRequest
  };
  unsigned status = 200;
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  FailAt fail_at = FailAt::kNothing;
  int error = 7;                           // what LastError() answers after the failure
  std::size_t read_chunk = SIZE_MAX;       // at most this many bytes per Read
  std::optional<std::size_t> drop_after;   // Read fails once this many body bytes were read
  std::optional<std::size_t> stall_after;  // Read blocks once this many body bytes were read
  bool stall_send = false;                 // Send / EndRequest block (a server that never answers)
};

struct FakeHttpRequestRecord {
  quillo::http::SessionOptions session;  // abort flag included
  std::string host;
  unsigned port = 0;
  bool secure = false;
  std::optional<std::pair<std::string, std::string>> proxy_credentials;
  std::string verb;
  std::string object;
  std::uint32_t flags = 0;
  std::vector<std::string> header_lines;          // each AddHeaders call's text
  std::optional<std::uint64_t> announced_length;  // BeginSend's
  std::vector<std::string> body_pieces;           // WriteBody's, in order
  bool sent = false;                              // Send or EndRequest succeeded
  std::chrono::milliseconds receive_timeout{60000};
  std::size_t bytes_read = 0;

  std::string Body() const {
    std::string body;
    for (const auto& piece : body_pieces) body += piece;
    return body;
  }
  // The value of the last "Name: value" line of that name (exact case), or nothing.
  std::optional<std::string> HeaderValue(const std::string& name) const {
    std::optional<std::string> value;
    for (const auto& lines : header_lines) {
      std::size_t start = 0;
      while (start < lines.size()) {
        std::size_t end = lines.find("\r\n", start);
        if (end == std::string::npos) end = lines.size();
        const std::string line = lines.substr(start, end - start);
        if (line.rfind(name + ": ", 0) == 0) value = line.substr(name.size() + 2);
        start = end + 2;
      }
    }
    return value;
  }
};

class FakeHttpTransport final : public quillo::http::HttpTransport {
 public:
  using Handler = std::function<FakeHttpAnswer(const FakeHttpRequestRecord&)>;
  using FailAt = FakeHttpAnswer::FailAt;

  void Script(FakeHttpAnswer answer) {
    std::lock_guard lock(state_->mutex);
    state_->script.push_back(std::move(answer));
  }
  void SetHandler(Handler handler) {
    std::lock_guard lock(state_->mutex);
    state_->handler = std::move(handler);
  }
  std::vector<FakeHttpRequestRecord> Requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
  }
  // Sessions, connections and requests not yet destroyed.
  int OpenObjects() const { return state_->open_objects.load(); }

  std::unique_ptr<quillo::http::HttpSession> OpenSession(
      const quillo::http::SessionOptions& options) override {
    if (TakeFailure(state_, FailAt::kOpenSession)) return nullptr;
    FakeHttpRequestRecord record;
    record.session = options;
    return std::make_unique<Session>(state_, std::move(record));
  }

 private:
  struct State {
    std::mutex mutex;
    std::deque<FakeHttpAnswer> script;
    Handler handler;
    std::vector<FakeHttpRequestRecord> requests;
    std::atomic<int> open_objects{0};
  };
  using StatePtr = std::shared_ptr<State>;
  using AnswerPtr = std::shared_ptr<FakeHttpAnswer>;

  // Counts a live object for OpenObjects().
  struct Counted {
    explicit Counted(StatePtr state) : state_(std::move(state)) { ++state_->open_objects; }
    ~Counted() { --state_->open_objects; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
    StatePtr state_;
  };

  class Request final : public quillo::http::HttpRequest, Counted {
   public:
    Request(StatePtr state, std::size_t index, AnswerPtr answer)
        : Counted(state), state_(std::move(state)), index_(index), answer_(std::move(answer)) {}

    bool AddHeaders(std::string_view lines) override {
      Update([&](auto& r) { r.header_lines.emplace_back(lines); });
      return !FailsAt(FailAt::kAddHeaders);
    }
    bool Send() override { return Finish(); }
    bool BeginSend(std::uint64_t length) override {
      announced_ = length;
      Update([&](auto& r) { r.announced_length = length; });
      return true;
    }
    bool WriteBody(std::string_view bytes) override {
      if (!announced_ || written_ + bytes.size() > *announced_ || FailsAt(FailAt::kWriteBody)) {
        return false;
      }
      written_ += bytes.size();
      Update([&](auto& r) { r.body_pieces.emplace_back(bytes); });
      return true;
    }
    bool EndRequest() override {
      if (!announced_ || written_ != *announced_) {
        error_ = answer_->error;
        return false;
      }
      return Finish();
    }
    unsigned Status() const override { return sent_ ? answer_->status : 0; }
    std::optional<std::string> Header(std::string_view name, std::size_t index) const override {
      if (!sent_) return std::nullopt;
      for (const auto& [header, value] : answer_->headers) {
        if (EqualsNoCase(header, name) && index-- == 0) return value;
      }
      return std::nullopt;
    }
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
      if (!sent_) return -1;
      if (answer_->drop_after && position_ >= *answer_->drop_after) {
        error_ = answer_->error;
        return -1;
      }
      if (answer_->stall_after && position_ >= *answer_->stall_after) return Stall() ? 0 : -1;
      std::size_t limit = answer_->body.size();
      if (answer_->drop_after) limit = std::min(limit, *answer_->drop_after);
      if (answer_->stall_after) limit = std::min(limit, *answer_->stall_after);
      const std::size_t count = std::min({size, answer_->read_chunk, limit - position_});
      std::copy_n(answer_->body.data() + position_, count, buffer);
      position_ += count;
      Update([&](auto& r) { r.bytes_read = position_; });
      return static_cast<std::ptrdiff_t>(count);
    }
    void SetReceiveTimeout(std::chrono::milliseconds timeout) override {
      timeout_ = timeout;
      Update([&](auto& r) { r.receive_timeout = timeout; });
    }
    quillo::http::PlatformError LastError() const override { return error_; }

   private:
    template <typename Change>
    void Update(Change change) {
      std::lock_guard lock(state_->mutex);
      change(state_->requests[index_]);
    }
    bool FailsAt(FailAt step) {
      if (answer_->fail_at != step) return false;
      error_ = answer_->error;
      return true;
    }
    bool Finish() {
      if (FailsAt(FailAt::kSend) || FailsAt(FailAt::kEndRequest)) return false;
      if (answer_->stall_send) {
        Stall();
        return false;
      }
      sent_ = true;
      Update([&](auto& r) { r.sent = true; });
      return true;
    }
    // Blocks until abort or time-out; always a failure. Answers false.
    bool Stall() {
      const auto start = std::chrono::steady_clock::now();
      std::shared_ptr<const std::atomic<bool>> abort;
      {
        std::lock_guard lock(state_->mutex);
        abort = state_->requests[index_].session.abort;
      }
      while (!(abort && abort->load()) && std::chrono::steady_clock::now() - start < timeout_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
      error_ = abort && abort->load() ? 42 : 28;
      return false;
    }
    static bool EqualsNoCase(std::string_view a, std::string_view b) {
      return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
             });
    }

    StatePtr state_;
    std::size_t index_;
    AnswerPtr answer_;
    std::optional<std::uint64_t> announced_;
    std::uint64_t written_ = 0;
    bool sent_ = false;
    std::size_t position_ = 0;
    std::chrono::milliseconds timeout_{60000};
    quillo::http::PlatformError error_ = 0;
  };

  class Connection final : public quillo::http::HttpConnection, Counted {
   public:
    Connection(StatePtr state, FakeHttpRequestRecord record)
        : Counted(state), state_(std::move(state)), record_(std::move(record)) {}
    std::unique_ptr<quillo::http::HttpRequest> OpenRequest(std::string_view verb,
                                                           std::string_view object,
                                                           std::uint32_t flags) override {
      FakeHttpRequestRecord record = record_;
      record.verb = verb;
      record.object = object;
      record.flags = flags;
      auto answer = std::make_shared<FakeHttpAnswer>(Next(state_, record));
      if (answer->fail_at == FailAt::kOpenRequest) {
        error_ = answer->error;
        return nullptr;
      }
      std::size_t index = 0;
      {
        std::lock_guard lock(state_->mutex);
        index = state_->requests.size();
        state_->requests.push_back(std::move(record));
      }
      return std::make_unique<Request>(state_, index, std::move(answer));
    }
    bool SetProxyCredentials(std::string_view user, std::string_view password) override {
      record_.proxy_credentials.emplace(user, password);
      return true;
    }
    quillo::http::PlatformError LastError() const override { return error_; }

   private:
    StatePtr state_;
    FakeHttpRequestRecord record_;
    quillo::http::PlatformError error_ = 0;
  };

  class Session final : public quillo::http::HttpSession, Counted {
   public:
    Session(StatePtr state, FakeHttpRequestRecord record)
        : Counted(state), state_(std::move(state)), record_(std::move(record)) {}
    std::unique_ptr<quillo::http::HttpConnection> Connect(std::string_view host, unsigned port,
                                                          bool secure) override {
      if (const auto error = TakeFailure(state_, FailAt::kConnect)) {
        error_ = *error;
        return nullptr;
      }
      FakeHttpRequestRecord record = record_;
      record.host = host;
      record.port = port;
      record.secure = secure;
      return std::make_unique<Connection>(state_, std::move(record));
    }
    quillo::http::PlatformError LastError() const override { return error_; }

   private:
    StatePtr state_;
    FakeHttpRequestRecord record_;
    quillo::http::PlatformError error_ = 0;
  };

  static FakeHttpAnswer Next(const StatePtr& state, const FakeHttpRequestRecord& record) {
    Handler handler;
    {
      std::lock_guard lock(state->mutex);
      if (!state->script.empty()) {
        FakeHttpAnswer answer = std::move(state->script.front());
        state->script.pop_front();
        return answer;
      }
      handler = state->handler;
    }
    return handler ? handler(record) : FakeHttpAnswer{};
  }
  // The error of a scripted failure of `step` at the front of the script, which it takes.
  static std::optional<int> TakeFailure(const StatePtr& state, FailAt step) {
    std::lock_guard lock(state->mutex);
    if (state->script.empty() || state->script.front().fail_at != step) return std::nullopt;
    const int error = state->script.front().error;
    state->script.pop_front();
    return error;
  }

  StatePtr state_ = std::make_shared<State>();
};

}  // namespace quillo::testing
