#pragma once
// One answer: owns the session, connection and request the client opened for it (closed when
// the response goes away), caches the status and the response headers asked for. Used by one
// thread, the one that sent the request.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "service/http/CHttpClientMapT.h"
#include "service/http/CHttpToolW.h"

namespace Dravik {

template <typename Tool>
class CHttpResponseT {
 public:
  CHttpResponseT(std::unique_ptr<typename Tool::Session> session,
                 std::unique_ptr<typename Tool::Connection> connection,
                 std::unique_ptr<typename Tool::Request> request);

  unsigned GetStatus();
  // True with the length when the answer carries a Content-Length; throws (400) on a value
  // that is not a decimal number, overflows or differs between occurrences.
  bool GetContentLength(std::uint64_t& length);
  // The index-th value of a header, null when absent. Valid while the response lives.
  const char* GetHeader(const char* name, std::size_t index = 0);
  // Body bytes read, 0 at the end; throws (401) when the read fails.
  std::size_t ReadBody(char* buffer, std::size_t size);
  // How long ReadBody waits for a byte; throws (410) on failure.
  void SetReceiveTimeout(std::chrono::milliseconds timeout);

  typename Tool::Request* Request() const { return request_.get(); }

 private:
  typename Tool::Request* CheckedRequest(const char* where) const;

  // Destroyed request first, session last.
  std::unique_ptr<typename Tool::Session> session_;
  std::unique_ptr<typename Tool::Connection> connection_;
  std::unique_ptr<typename Tool::Request> request_;
  unsigned status_ = 0;
  CHttpClientMapT header_cache_;
  std::vector<std::string> cached_names_;
};

using CHttpResponse = CHttpResponseT<CHttpToolW>;

extern template class CHttpResponseT<CHttpToolW>;

}  // namespace Dravik
