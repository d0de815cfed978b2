#pragma once
// Owns one CURLM handle; curl_multi_cleanup when it goes away.
#include <curl/curl.h>

#include <memory>

namespace quillo::http {

struct CurlMultiDeleter {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
using CurlMultiHandle = std::unique_ptr<CURLM, CurlMultiDeleter>;

}  // namespace quillo::http
