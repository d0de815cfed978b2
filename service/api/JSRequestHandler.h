#pragma once
// Sends the fire-and-forget service calls (library, playlist, lyric-error, event and statistics
// rows): the path is put after the service base URL and the call goes out as a form POST with
// no callback, so its answer is read and dropped and a failure changes nothing here.
//
// It is a SafeDownloaderCallback only by kind: its transfers carry no callback, so its own
// operations are never called.
//
// Window thread.
#include <optional>
#include <string>

#include "service/api/RequestSender.h"
#include "service/api/ServiceCall.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {

class JSRequestHandler : public SafeDownloaderCallback {
 public:
  // The sender must outlive the handler. base_url ends in '/'.
  JSRequestHandler(RequestSender& sender, std::string base_url)
      : sender_(sender), base_url_(std::move(base_url)) {}

  // Sends the call; answers its transfer id.
  std::string Send(const ServiceCall& call);
  // Sends the call when there is one (a playlist row for a service playlist); answers its
  // transfer id, or empty when nothing was sent.
  std::string Send(const std::optional<ServiceCall>& call);

  const std::string& base_url() const { return base_url_; }
  // The program learns the embedded service's address after it started; calls sent before
  // then fail like calls to a service that is down.
  void set_base_url(std::string base_url) { base_url_ = std::move(base_url); }

 private:
  RequestSender& sender_;
  std::string base_url_;
};

}  // namespace quillo::service
