#include "service/http/CHttpClientT.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "service/http/CHttpUrlAnalyzerT.h"
#include "service/http/CheckedLength.h"
#include "service/http/httpclientexceptionW.h"

namespace Dravik {
namespace {

void CheckText(const char* where, const char* argument, const char* text) {
  if (text == nullptr) ThrowArgumentError(where, argument, "can not be NULL.");
  if (*text == '\0') ThrowArgumentError(where, argument, "can not be an empty string.");
}

}  // namespace

template <typename Tool, typename Encoder>
CHttpClientT<Tool, Encoder>::CHttpClientT(quillo::http::HttpTransport& transport)
    : transport_(transport) {
  session_options_.user_agent = kDefaultUserAgent;
}

template <typename Tool, typename Encoder>
CHttpClientT<Tool, Encoder>::~CHttpClientT() {
  AbortPost();
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::SetSessionOptions(const char* user_agent, int access_type,
                                                    const char* proxy, const char* proxy_bypass,
                                                    std::uint32_t flags) {
  session_options_.user_agent = user_agent != nullptr ? user_agent : kDefaultUserAgent;
  session_options_.access_type = access_type;
  session_options_.proxy = proxy != nullptr ? proxy : "";
  session_options_.proxy_bypass = proxy_bypass != nullptr ? proxy_bypass : "";
  session_options_.flags = flags;
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::SetProxyAccount(const char* user, const char* password) {
  proxy_user_ = user != nullptr ? user : "";
  proxy_password_ = password != nullptr ? password : "";
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::SetAbortFlag(std::shared_ptr<const std::atomic<bool>> abort) {
  session_options_.abort = std::move(abort);
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::RefuseWhilePosting(const char* where) const {
  if (IsPostActive()) {
    ThrowArgumentError(where, nullptr,
                       "It is not allowed to call this method if the POST context is active.");
  }
}

template <typename Tool, typename Encoder>
bool CHttpClientT<Tool, Encoder>::SetUseUtf8(bool use_utf8) {
  RefuseWhilePosting("CHttpClientT::SetUseUtf8");
  return std::exchange(use_utf8_, use_utf8);
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::SetAnsiCodePage(unsigned code_page) {
  constexpr const char* kWhere = "CHttpClientT::SetAnsiCodePage";
  RefuseWhilePosting(kWhere);
  if (code_page == 65001 || code_page == 65000) {
    ThrowArgumentError(kWhere, nullptr,
                       "CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
  }
  if (code_page != 0 && code_page != kSystemAnsiCodePage) {
    ThrowArgumentError(kWhere, nullptr, "Only the system ANSI code page (936) is supported.");
  }
  code_page_ = code_page;
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::SetHeader(const char* name, const char* value,
                                            std::size_t index) {
  constexpr const char* kWhere = "CHttpClientT::SetHeader";
  CheckText(kWhere, "szName", name);
  CheckText(kWhere, "szValue", value);
  // A line break would let the text add headers of its own.
  if (std::string_view(name).find_first_of("\r\n:") != std::string_view::npos) {
    ThrowArgumentError(kWhere, "szName", "can not contain CR, LF or ':'.");
  }
  if (std::string_view(value).find_first_of("\r\n") != std::string_view::npos) {
    ThrowArgumentError(kWhere, "szValue", "can not contain CR or LF.");
  }
  headers_.Set(name, value, 0, index);
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::AddParam(const char* name, const char* value, unsigned flags) {
  constexpr const char* kWhere = "CHttpClientT::AddParam";
  RefuseWhilePosting(kWhere);
  CheckText(kWhere, "szName", name);
  params_.Add(name, value, flags);
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::ClearParam() {
  RefuseWhilePosting("CHttpClientT::ClearParam");
  params_.Clear();
}

template <typename Tool, typename Encoder>
std::string CHttpClientT<Tool, Encoder>::EncodeParamName(
    const CHttpClientMapT::Entry& entry) const {
  return Encoder::Encode(entry.name, use_utf8_, (entry.flags & CHttpClientMapT::kNameEncoded) != 0);
}

template <typename Tool, typename Encoder>
std::string CHttpClientT<Tool, Encoder>::EncodeParamValue(
    const CHttpClientMapT::Entry& entry) const {
  if (!entry.value) return {};
  return Encoder::Encode(*entry.value, use_utf8_,
                         (entry.flags & CHttpClientMapT::kValueEncoded) != 0);
}

template <typename Tool, typename Encoder>
typename CHttpClientT<Tool, Encoder>::Handles CHttpClientT<Tool, Encoder>::OpenRequest(
    const char* url, const char* verb, bool use_cache) {
  const CHttpUrlAnalyzerT target(url);
  Handles handles;
  handles.session = Tool::OpenSession(transport_, session_options_);
  handles.connection =
      Tool::Connect(handles.session.get(), target.Host(), target.Port(), target.Secure());
  if (!proxy_user_.empty() && !proxy_password_.empty()) {
    Tool::SetProxyCredentials(handles.connection.get(), proxy_user_, proxy_password_);
  }
  const std::uint32_t flags =
      (use_cache ? kRequestFlagsCache : kRequestFlagsNoCache) | target.RequestFlags();
  handles.request = Tool::OpenRequest(handles.connection.get(), verb, target.Object(), flags);
  if ((flags & kPragmaNoCache) != 0) {
    Tool::AddRequestHeaders(handles.request.get(), "Cache-Control: no-cache\r\n");
  }
  for (const auto& header : headers_) {
    Tool::AddRequestHeaders(handles.request.get(), Encoder::Convert(header.name, false) + ": " +
                                                       Encoder::Convert(*header.value, false) +
                                                       "\r\n");
  }
  return handles;
}

template <typename Tool, typename Encoder>
std::unique_ptr<typename CHttpClientT<Tool, Encoder>::Response>
CHttpClientT<Tool, Encoder>::SendGet(const char* url, bool use_cache) {
  CheckText("CHttpClientT::SendGet", "szUrl", url);
  if (IsPostActive()) throw httpclientexceptionW(kPostNotFinished);
  std::string target = url;
  if (!params_.Empty()) {
    target += target.find('?') == std::string::npos ? '?' : '&';
    bool first = true;
    for (const auto& entry : params_) {
      if (!std::exchange(first, false)) target += '&';
      target += EncodeParamName(entry) + '=' + EncodeParamValue(entry);
    }
  }
  Handles handles = OpenRequest(target.c_str(), "GET", use_cache);
  Tool::SendRequest(handles.request.get());
  return std::make_unique<Response>(std::move(handles.session), std::move(handles.connection),
                                    std::move(handles.request));
}

template <typename Tool, typename Encoder>
std::unique_ptr<typename CHttpClientT<Tool, Encoder>::Response>
CHttpClientT<Tool, Encoder>::SendPost(const char* url, bool use_cache) {
  StartPost(url, use_cache);
  for (;;) {
    if (auto response = ContinuePost(std::numeric_limits<int>::max())) return response;
  }
}

template <typename Tool, typename Encoder>
std::unique_ptr<typename CHttpClientT<Tool, Encoder>::Response>
CHttpClientT<Tool, Encoder>::StartPost(const char* url, bool use_cache) {
  CheckText("CHttpClientT::StartPost", "szUrl", url);
  if (IsPostActive()) throw httpclientexceptionW(kPostNotFinished);
  std::uint64_t total_bytes = 0;
  for (auto entry = params_.begin(); entry != params_.end(); ++entry) {
    if (entry != params_.begin()) total_bytes = CheckedAdd(total_bytes, 1);  // '&'
    const bool name_encoded = (entry->flags & CHttpClientMapT::kNameEncoded) != 0;
    total_bytes =
        CheckedAdd(total_bytes, Encoder::EncodedLength(entry->name, use_utf8_, name_encoded));
    total_bytes = CheckedAdd(total_bytes, 1);  // '='
    if (entry->value) {
      const bool value_encoded = (entry->flags & CHttpClientMapT::kValueEncoded) != 0;
      total_bytes =
          CheckedAdd(total_bytes, Encoder::EncodedLength(*entry->value, use_utf8_, value_encoded));
    }
  }
  Handles handles = OpenRequest(url, "POST", use_cache);
  Tool::AddRequestHeaders(handles.request.get(),
                          "Content-Type: application/x-www-form-urlencoded\r\n");
  Tool::SendRequestEx(handles.request.get(), total_bytes);
  post_ = std::move(handles);
  post_request_ = post_.request.get();
  post_next_ = params_.begin();
  post_stat_.Start(total_bytes, params_.Count());
  return nullptr;
}

template <typename Tool, typename Encoder>
std::unique_ptr<typename CHttpClientT<Tool, Encoder>::Response>
CHttpClientT<Tool, Encoder>::ContinuePost(std::size_t desired) {
  if (desired == 0) {
    ThrowArgumentError("CHttpClientT::_ProceedPostContext", "nDesired", "can not be zero.");
  }
  if (!IsPostActive()) throw httpclientexceptionW(kPostNotStarted);
  try {
    return Step(desired);
  } catch (...) {
    AbortPost();
    throw;
  }
}

template <typename Tool, typename Encoder>
std::unique_ptr<typename CHttpClientT<Tool, Encoder>::Response> CHttpClientT<Tool, Encoder>::Step(
    std::size_t desired) {
  if (!post_stat_.ParamComplete()) {
    const std::size_t count = std::min(desired, post_value_.size() - post_value_offset_);
    Write(std::string_view(post_value_).substr(post_value_offset_, count), true);
    post_value_offset_ += count;
    if (post_stat_.ParamComplete()) std::string().swap(post_value_);
    return nullptr;
  }
  if (post_next_ == params_.end()) {
    if (post_stat_.PostedBytes() != post_stat_.TotalBytes()) {
      throw httpclientexceptionW(kUnexpectedError);
    }
    Tool::EndRequest(post_request_);
    auto response = std::make_unique<Response>(
        std::move(post_.session), std::move(post_.connection), std::move(post_.request));
    AbortPost();
    return response;
  }
  const CHttpClientMapT::Entry& entry = *post_next_++;
  if (post_stat_.PostedCount() > 0) Write("&", false);
  Write(EncodeParamName(entry), false);
  Write("=", false);
  post_value_ = EncodeParamValue(entry);
  post_value_offset_ = 0;
  post_stat_.StartParam(post_value_.size());
  return nullptr;
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::Write(std::string_view bytes, bool of_value) {
  if (bytes.size() > post_stat_.TotalBytes() - post_stat_.PostedBytes()) {
    throw httpclientexceptionW(kUnexpectedError);
  }
  Tool::WriteBody(post_request_, bytes);
  post_stat_.AddPosted(bytes.size(), of_value);
}

template <typename Tool, typename Encoder>
void CHttpClientT<Tool, Encoder>::AbortPost() {
  post_request_ = nullptr;
  post_.request.reset();
  post_.connection.reset();
  post_.session.reset();
  std::string().swap(post_value_);
  post_value_offset_ = 0;
  post_stat_.Stop();
}

template class CHttpClientT<CHttpToolW, CHttpEncoderW>;

}  // namespace Dravik
