#include "service/http/CHttpResponseT.h"

#include <algorithm>

#include "service/http/httpclientexceptionW.h"

namespace Dravik {

template <typename Tool>
CHttpResponseT<Tool>::CHttpResponseT(std::unique_ptr<typename Tool::Session> session,
                                     std::unique_ptr<typename Tool::Connection> connection,
                                     std::unique_ptr<typename Tool::Request> request)
    : session_(std::move(session)),
      connection_(std::move(connection)),
      request_(std::move(request)) {}

template <typename Tool>
typename Tool::Request* CHttpResponseT<Tool>::CheckedRequest(const char* where) const {
  if (!request_) ThrowArgumentError(where, "m_hRequest", "can not be NULL.");
  return request_.get();
}

template <typename Tool>
unsigned CHttpResponseT<Tool>::GetStatus() {
  auto* request = CheckedRequest("CHttpResponseT::GetStatus");
  if (status_ == 0) status_ = Tool::QueryStatus(request);
  return status_;
}

template <typename Tool>
bool CHttpResponseT<Tool>::GetContentLength(std::uint64_t& length) {
  CheckedRequest("CHttpResponseT::GetContentLength");
  const char* first = GetHeader("Content-Length");
  if (first == nullptr) return false;
  std::uint64_t value = 0;
  std::string_view text(first);
  if (text.empty() || text.size() > 19 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw httpclientexceptionW(kQueryInfoFailed);
  }
  for (char c : text) value = value * 10 + static_cast<std::uint64_t>(c - '0');
  for (std::size_t i = 1; const char* other = GetHeader("Content-Length", i); ++i) {
    if (text != other) throw httpclientexceptionW(kQueryInfoFailed);
  }
  length = value;
  return true;
}

template <typename Tool>
const char* CHttpResponseT<Tool>::GetHeader(const char* name, std::size_t index) {
  auto* request = CheckedRequest("CHttpResponseT::GetHeader");
  if (name == nullptr)
    ThrowArgumentError("CHttpResponseT::GetHeader", "szName", "can not be NULL.");
  if (*name == '\0') {
    ThrowArgumentError("CHttpResponseT::GetHeader", "szName", "can not be an empty string.");
  }
  const bool cached = std::any_of(cached_names_.begin(), cached_names_.end(), [&](const auto& n) {
    return CHttpClientMapT::CompareNames(n, name) == 0;
  });
  if (!cached) {
    for (std::size_t i = 0;; ++i) {
      const auto value = Tool::QueryHeader(request, name, i);
      if (!value) break;
      header_cache_.Add(name, value->c_str());
    }
    cached_names_.emplace_back(name);
  }
  return header_cache_.Get(name, index);
}

template <typename Tool>
std::size_t CHttpResponseT<Tool>::ReadBody(char* buffer, std::size_t size) {
  return Tool::ReadBody(CheckedRequest("CHttpResponseT::ReadBody"), buffer, size);
}

template <typename Tool>
void CHttpResponseT<Tool>::SetReceiveTimeout(std::chrono::milliseconds timeout) {
  Tool::SetReceiveTimeout(CheckedRequest("CHttpResponseT::SetReceiveTimeout"), timeout);
}

template class CHttpResponseT<CHttpToolW>;

}  // namespace Dravik
