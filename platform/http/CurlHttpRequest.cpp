#include "platform/http/CurlHttpRequest.h"

#include <algorithm>
#include <cstring>

#include "platform/text/TextUtil.h"

namespace quillo::http {
namespace {

constexpr std::size_t kWindowBytes = 64 * 1024;
constexpr long kConnectTimeoutMs = 30000;
constexpr long kMaxRedirects = 10;
constexpr std::chrono::milliseconds kPollStep{100};

bool IsRedirect(unsigned status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

bool IsTokenChar(char c) {
  return c > ' ' && c < 127 && std::strchr("()<>@,;:\\\"/[]?={}", c) == nullptr;
}

// A WinInet-style bypass list ("a.com;*.b.com <local>") as curl's comma-separated one.
std::string NoProxyList(std::string_view bypass) {
  std::string list;
  std::size_t start = 0;
  while (start < bypass.size()) {
    std::size_t end = bypass.find_first_of("; ,\t", start);
    if (end == std::string_view::npos) end = bypass.size();
    std::string_view entry = bypass.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) continue;
    if (entry == "<local>") entry = "localhost,127.0.0.1,::1";
    if (text::StartsWith(entry, "*.")) entry.remove_prefix(1);
    if (!list.empty()) list += ',';
    list += entry;
  }
  return list;
}

}  // namespace

CurlHttpRequest::CurlHttpRequest(std::shared_ptr<CurlCookieShare> share,
                                 CurlRequestSettings settings)
    : share_(std::move(share)), settings_(std::move(settings)) {}

CurlHttpRequest::~CurlHttpRequest() {
  if (easy_added_) curl_multi_remove_handle(multi_.get(), easy_.get());
}

bool CurlHttpRequest::AddHeaders(std::string_view lines) {
  if (phase_ != Phase::kPrepared) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
  std::vector<std::pair<std::string, std::string>> parsed;
  while (!lines.empty()) {
    const std::size_t end = lines.find("\r\n");
    std::string_view line = lines.substr(0, end);
    lines = end == std::string_view::npos ? std::string_view() : lines.substr(end + 2);
    if (line.empty()) continue;
    // A bare CR or LF inside a value would start a header of the caller's choosing.
    if (line.find_first_of("\r\n") != std::string_view::npos) {
      return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
    }
    const std::size_t colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos ||
        !std::all_of(line.begin(), line.begin() + colon, IsTokenChar)) {
      return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
    }
    parsed.emplace_back(line.substr(0, colon), text::Trim(line.substr(colon + 1)));
  }
  for (auto& header : parsed) {
    auto same = std::find_if(request_headers_.begin(), request_headers_.end(), [&](const auto& h) {
      return text::EqualsIgnoreCaseAscii(h.first, header.first);
    });
    if (same != request_headers_.end()) {
      same->second = std::move(header.second);
    } else {
      request_headers_.push_back(std::move(header));
    }
  }
  return true;
}

bool CurlHttpRequest::Send() {
  // A POST without a body still says so: "Content-Length: 0".
  const auto body_length =
      settings_.verb == "POST" ? std::optional<std::uint64_t>(0) : std::nullopt;
  return Start(body_length) && WaitForHeaders();
}

bool CurlHttpRequest::BeginSend(std::uint64_t length) {
  upload_announced_ = length;
  return Start(length);
}

bool CurlHttpRequest::WriteBody(std::string_view bytes) {
  if (phase_ != Phase::kSending || upload_announced_ - upload_written_ < bytes.size()) {
    return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
  }
  upload_pending_ = bytes;
  Resume();
  if (!RunUntil([&] { return upload_pending_.empty(); })) return false;
  if (!upload_pending_.empty() && headers_complete_) {
    // The peer answered before taking the whole body: the rest is dropped, and EndRequest
    // hands over that answer.
    upload_written_ += upload_pending_.size();
    upload_pending_ = {};
  }
  if (!upload_pending_.empty()) {
    upload_pending_ = {};
    return Fail(result_ != CURLE_OK ? result_ : CURLE_SEND_ERROR);
  }
  return true;
}

bool CurlHttpRequest::EndRequest() {
  if (phase_ != Phase::kSending || upload_written_ != upload_announced_) {
    return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
  }
  return WaitForHeaders();
}

std::optional<std::string> CurlHttpRequest::Header(std::string_view name, std::size_t index) const {
  return head_.Header(name, index);
}

std::ptrdiff_t CurlHttpRequest::Read(char* buffer, std::size_t size) {
  if (phase_ != Phase::kAnswered) {
    Fail(CURLE_BAD_FUNCTION_ARGUMENT);
    return -1;
  }
  if (size == 0) return 0;
  if (Buffered() == 0 && !done_) {
    Resume();
    if (!RunUntil([&] { return Buffered() > 0; })) return -1;
  }
  if (Buffered() == 0) {
    if (result_ == CURLE_OK) return 0;
    Fail(result_);
    return -1;
  }
  const std::size_t count = std::min(size, Buffered());
  std::memcpy(buffer, body_.data() + body_read_, count);
  body_read_ += count;
  if (body_read_ == body_.size()) {
    body_.clear();
    body_read_ = 0;
  }
  if (receive_paused_ && Buffered() <= kWindowBytes / 2) Resume();
  return static_cast<std::ptrdiff_t>(count);
}

std::size_t CurlHttpRequest::Available() {
  if (phase_ != Phase::kAnswered) return 0;
  if (Buffered() == 0 && !done_) {
    // Take in what the socket holds, without waiting for more.
    Resume();
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) == CURLM_OK) CollectDone();
  }
  return Buffered();
}

bool CurlHttpRequest::Start(std::optional<std::uint64_t> body_length) {
  if (phase_ != Phase::kPrepared) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
  multi_.reset(curl_multi_init());
  easy_.reset(curl_easy_init());
  if (!multi_ || !easy_) return Fail(CURLE_OUT_OF_MEMORY);
  if (!Configure(body_length)) return false;
  if (curl_multi_add_handle(multi_.get(), easy_.get()) != CURLM_OK) {
    return Fail(CURLE_OUT_OF_MEMORY);
  }
  easy_added_ = true;
  phase_ = Phase::kSending;
  return true;
}

bool CurlHttpRequest::Configure(std::optional<std::uint64_t> body_length) {
  CURL* easy = easy_.get();
  const SessionOptions& session = settings_.session;
  CURLcode code = CURLE_OK;
  auto set = [&](CURLoption option, auto value) {
    if (code == CURLE_OK) code = curl_easy_setopt(easy, option, value);
  };
  set(CURLOPT_URL, settings_.url.c_str());
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  if (!session.user_agent.empty()) set(CURLOPT_USERAGENT, session.user_agent.c_str());
  if (session.access_type == 1) set(CURLOPT_PROXY, "");
  if (session.access_type == 3) {
    set(CURLOPT_PROXY, session.proxy.c_str());
    const std::string no_proxy = NoProxyList(session.proxy_bypass);
    set(CURLOPT_NOPROXY, no_proxy.c_str());  // curl copies string options
  }
  if (settings_.proxy_credentials) {
    set(CURLOPT_PROXYUSERNAME, settings_.proxy_credentials->first.c_str());
    set(CURLOPT_PROXYPASSWORD, settings_.proxy_credentials->second.c_str());
  }
  if ((settings_.flags & kRequestFlagNoCookies) == 0) {
    if (code == CURLE_OK && !share_->Attach(easy)) code = CURLE_FAILED_INIT;
    set(CURLOPT_COOKIEFILE, "");
  }
  set(CURLOPT_HEADERFUNCTION, &CurlHttpRequest::HeaderCallback);
  set(CURLOPT_HEADERDATA, this);
  set(CURLOPT_WRITEFUNCTION, &CurlHttpRequest::WriteCallback);
  set(CURLOPT_WRITEDATA, this);

  const std::string& verb = settings_.verb;
  if (body_length) {
    set(CURLOPT_POST, 1L);
    set(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(*body_length));
    set(CURLOPT_READFUNCTION, &CurlHttpRequest::ReadCallback);
    set(CURLOPT_READDATA, this);
    if (verb != "POST") set(CURLOPT_CUSTOMREQUEST, verb.c_str());
  } else if (verb == "GET") {
    set(CURLOPT_HTTPGET, 1L);
    // The system's HTTP service follows redirects of a GET unless told not to.
    if ((settings_.flags & kRequestFlagNoAutoRedirect) == 0) {
      set(CURLOPT_FOLLOWLOCATION, 1L);
      set(CURLOPT_MAXREDIRS, kMaxRedirects);
    }
  } else if (verb == "HEAD") {
    set(CURLOPT_NOBODY, 1L);
  } else {
    set(CURLOPT_CUSTOMREQUEST, verb.c_str());
  }

  for (const auto& [name, value] : request_headers_) {
    if (code == CURLE_OK && !header_list_.Append(name + ": " + value)) code = CURLE_OUT_OF_MEMORY;
  }
  // No "Expect: 100-continue" round trip before a body.
  if (body_length && code == CURLE_OK && !header_list_.Append("Expect:")) {
    code = CURLE_OUT_OF_MEMORY;
  }
  set(CURLOPT_HTTPHEADER, header_list_.get());
  return code == CURLE_OK || Fail(code);
}

bool CurlHttpRequest::WaitForHeaders() {
  if (phase_ != Phase::kSending) return Fail(CURLE_BAD_FUNCTION_ARGUMENT);
  if (!RunUntil([&] { return headers_complete_; })) return false;
  // A transfer that ended on a redirect it could not follow answers with that redirect.
  if (!headers_complete_ && done_ && result_ == CURLE_OK && head_.status() != 0) {
    headers_complete_ = true;
  }
  if (head_.cookies_changed()) share_->Save(easy_.get());
  if (!headers_complete_) return Fail(result_ != CURLE_OK ? result_ : CURLE_GOT_NOTHING);
  if (head_.status() == 0) return Fail(CURLE_WEIRD_SERVER_REPLY);
  phase_ = Phase::kAnswered;
  return true;
}

template <typename Ready>
bool CurlHttpRequest::RunUntil(Ready ready) {
  auto last_progress = std::chrono::steady_clock::now();
  std::uint64_t seen_bytes = progress_bytes_;
  while (!ready() && !done_) {
    if (Aborted()) return Fail(CURLE_ABORTED_BY_CALLBACK);
    int running = 0;
    if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) return Fail(CURLE_OUT_OF_MEMORY);
    CollectDone();
    if (ready() || done_) break;
    const auto now = std::chrono::steady_clock::now();
    if (progress_bytes_ != seen_bytes) {
      seen_bytes = progress_bytes_;
      last_progress = now;
    } else if (now - last_progress >= receive_timeout_) {
      return Fail(CURLE_OPERATION_TIMEDOUT);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(receive_timeout_ -
                                                                            (now - last_progress));
    const int wait_ms =
        static_cast<int>(std::clamp(left, std::chrono::milliseconds(1), kPollStep).count());
    if (curl_multi_poll(multi_.get(), nullptr, 0, wait_ms, nullptr) != CURLM_OK) {
      return Fail(CURLE_OUT_OF_MEMORY);
    }
  }
  return true;
}

void CurlHttpRequest::CollectDone() {
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
    if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
      done_ = true;
      result_ = message->data.result;
    }
  }
}

void CurlHttpRequest::Resume() {
  if (done_ || (!receive_paused_ && !send_paused_)) return;
  // The flags say what stays paused; a callback may pause again at once.
  const bool keep_receive = receive_paused_ && Buffered() > kWindowBytes / 2;
  const bool keep_send = send_paused_ && upload_pending_.empty();
  receive_paused_ = keep_receive;
  send_paused_ = keep_send;
  curl_easy_pause(easy_.get(),
                  (keep_receive ? CURLPAUSE_RECV : 0) | (keep_send ? CURLPAUSE_SEND : 0));
}

bool CurlHttpRequest::Fail(CURLcode code) {
  last_error_ = code;
  if (code == CURLE_ABORTED_BY_CALLBACK || code == CURLE_OPERATION_TIMEDOUT) {
    phase_ = Phase::kFailed;
  }
  return false;
}

bool CurlHttpRequest::Aborted() const {
  const auto& abort = settings_.session.abort;
  return abort && abort->load();
}

void CurlHttpRequest::OnHeaderLine(std::string_view line) {
  progress_bytes_ += line.size();
  if (head_.Take(line) != HttpResponseHead::Line::kEnd) return;
  const unsigned status = head_.status();
  if (status >= 100 && status < 200) return;
  const bool followed =
      IsRedirect(status) && head_.Header("Location", 0).has_value() && settings_.verb == "GET" &&
      (settings_.flags & kRequestFlagNoAutoRedirect) == 0 && redirects_ < kMaxRedirects;
  if (followed) {
    ++redirects_;
  } else {
    headers_complete_ = true;
  }
}

std::size_t CurlHttpRequest::OnBodyBytes(const char* data, std::size_t size) {
  if (Buffered() > 0 && Buffered() + size > kWindowBytes) {
    receive_paused_ = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  headers_complete_ = true;
  // Reads refill the window before it is empty: drop what was read so the buffer stays small.
  if (body_read_ >= kWindowBytes) {
    body_.erase(0, body_read_);
    body_read_ = 0;
  }
  body_.append(data, size);
  progress_bytes_ += size;
  return size;
}

std::size_t CurlHttpRequest::OnUploadWanted(char* buffer, std::size_t size) {
  if (upload_written_ == upload_announced_) return 0;
  if (upload_pending_.empty()) {
    send_paused_ = true;
    return CURL_READFUNC_PAUSE;
  }
  const std::size_t count = std::min(size, upload_pending_.size());
  std::memcpy(buffer, upload_pending_.data(), count);
  upload_pending_.remove_prefix(count);
  upload_written_ += count;
  progress_bytes_ += count;
  return count;
}

std::size_t CurlHttpRequest::HeaderCallback(char* data, std::size_t size, std::size_t count,
                                            void* self) {
  static_cast<CurlHttpRequest*>(self)->OnHeaderLine(std::string_view(data, size * count));
  return size * count;
}

std::size_t CurlHttpRequest::WriteCallback(char* data, std::size_t size, std::size_t count,
                                           void* self) {
  return static_cast<CurlHttpRequest*>(self)->OnBodyBytes(data, size * count);
}

std::size_t CurlHttpRequest::ReadCallback(char* buffer, std::size_t size, std::size_t count,
                                          void* self) {
  return static_cast<CurlHttpRequest*>(self)->OnUploadWanted(buffer, size * count);
}

}  // namespace quillo::http
