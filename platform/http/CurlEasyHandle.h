#pragma once
// Owns one CURL handle; curl_easy_cleanup when it goes away.
#include <curl/curl.h>

#include <memory>

namespace quillo::http {

struct CurlEasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyDeleter>;

}  // namespace quillo::http
