#pragma once
// Owns one CURLSH handle; curl_share_cleanup when it goes away.
#include <curl/curl.h>

#include <memory>

namespace quillo::http {

struct CurlShareDeleter {
  void operator()(CURLSH* handle) const { curl_share_cleanup(handle); }
};
using CurlShareHandle = std::unique_ptr<CURLSH, CurlShareDeleter>;

}  // namespace quillo::http
