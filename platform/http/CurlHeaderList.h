#pragma once
// Owns a curl_slist of header lines; curl_slist_free_all when it goes away.
#include <curl/curl.h>

#include <memory>
#include <string>

namespace quillo::http {

class CurlHeaderList {
 public:
  // False when curl could not allocate the entry (the list is unchanged).
  bool Append(const std::string& line) {
    curl_slist* grown = curl_slist_append(list_.get(), line.c_str());
    if (grown == nullptr) return false;
    list_.release();
    list_.reset(grown);
    return true;
  }
  curl_slist* get() const { return list_.get(); }

 private:
  struct Deleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };
  std::unique_ptr<curl_slist, Deleter> list_;
};

}  // namespace quillo::http
