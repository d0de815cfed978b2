#pragma once
// One request over libcurl's multi interface, driven in pull mode on the calling thread: every
// blocking operation runs the transfer (curl_multi_perform, then curl_multi_poll for at most
// 100 ms) until what it waits for holds. Received body bytes wait in a window of 64 KB; when it
// is full the transfer is paused and resumes as Read drains it. A request body is taken from
// the caller's WriteBody piece by piece and handed to curl without a copy.
//
// LastError() answers a CURLcode: curl's own for transfer failures, and
//   CURLE_BAD_FUNCTION_ARGUMENT  a header line with a bare CR/LF or no name, a call out of order,
//                                more body than announced, the body ended short at EndRequest;
//   CURLE_OPERATION_TIMEDOUT     the receive time-out passed without a byte;
//   CURLE_ABORTED_BY_CALLBACK    the session's abort flag was set;
//   CURLE_WEIRD_SERVER_REPLY     an answer without a usable status code;
//   CURLE_SEND_ERROR             the transfer ended without an answer before the body was sent.
// A peer that answers before it has taken the whole body gets no more of it; EndRequest then
// hands over that answer.
#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/http/CurlCookieShare.h"
#include "platform/http/CurlEasyHandle.h"
#include "platform/http/CurlHeaderList.h"
#include "platform/http/CurlMultiHandle.h"
#include "platform/http/HttpResponseHead.h"
#include "platform/http/HttpTransport.h"

namespace quillo::http {

// Request flags the transport honours (the values of the client library's request flags).
inline constexpr std::uint32_t kRequestFlagNoAutoRedirect = 0x00200000;
inline constexpr std::uint32_t kRequestFlagNoCookies = 0x00080000;

struct CurlRequestSettings {
  std::string url;  // scheme://host:port/object
  std::string verb;
  std::uint32_t flags = 0;
  SessionOptions session;
  std::optional<std::pair<std::string, std::string>> proxy_credentials;
};

class CurlHttpRequest final : public HttpRequest {
 public:
  CurlHttpRequest(std::shared_ptr<CurlCookieShare> share, CurlRequestSettings settings);
  ~CurlHttpRequest() override;

  bool AddHeaders(std::string_view lines) override;
  bool Send() override;
  bool BeginSend(std::uint64_t length) override;
  bool WriteBody(std::string_view bytes) override;
  bool EndRequest() override;
  unsigned Status() const override { return head_.status(); }
  std::optional<std::string> Header(std::string_view name, std::size_t index) const override;
  std::ptrdiff_t Read(char* buffer, std::size_t size) override;
  std::size_t Available() override;
  void SetReceiveTimeout(std::chrono::milliseconds timeout) override { receive_timeout_ = timeout; }
  PlatformError LastError() const override { return last_error_; }

  // Body bytes held in memory (read or not); stays near the window whatever the body's size.
  std::size_t HeldBodyBytes() const { return body_.capacity(); }

 private:
  enum class Phase { kPrepared, kSending, kAnswered, kFailed };

  bool Start(std::optional<std::uint64_t> body_length);
  bool Configure(std::optional<std::uint64_t> body_length);
  bool WaitForHeaders();
  // Runs the transfer until ready() holds or the transfer has ended. False (after Fail) on
  // abort, receive time-out or a failure of the multi handle.
  template <typename Ready>
  bool RunUntil(Ready ready);
  void CollectDone();
  void Resume();
  bool Fail(CURLcode code);
  bool Aborted() const;
  std::size_t Buffered() const { return body_.size() - body_read_; }

  void OnHeaderLine(std::string_view line);
  std::size_t OnBodyBytes(const char* data, std::size_t size);
  std::size_t OnUploadWanted(char* buffer, std::size_t size);
  static std::size_t HeaderCallback(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t WriteCallback(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t ReadCallback(char* buffer, std::size_t size, std::size_t count, void* self);

  std::shared_ptr<CurlCookieShare> share_;
  CurlRequestSettings settings_;
  std::vector<std::pair<std::string, std::string>> request_headers_;
  CurlHeaderList header_list_;
  CurlMultiHandle multi_;
  CurlEasyHandle easy_;
  bool easy_added_ = false;

  Phase phase_ = Phase::kPrepared;
  bool done_ = false;
  CURLcode result_ = CURLE_OK;
  PlatformError last_error_ = 0;
  std::chrono::milliseconds receive_timeout_{60000};
  std::uint64_t progress_bytes_ = 0;  // every byte in either direction; drives the time-out

  // The answer being received; a new status line (interim answer, redirect) starts over.
  HttpResponseHead head_;
  bool headers_complete_ = false;
  int redirects_ = 0;

  std::string body_;
  std::size_t body_read_ = 0;
  bool receive_paused_ = false;

  std::uint64_t upload_announced_ = 0;
  std::uint64_t upload_written_ = 0;
  std::string_view upload_pending_;
  bool send_paused_ = false;
};

}  // namespace quillo::http
