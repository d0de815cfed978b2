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
#include "service/api/SharedEndpoints.h"
#include "service/transfer/SafeDownloaderCallback.h"

namespace quillo::service {

class MirrorRequests;

class JSRequestHandler : public SafeDownloaderCallback {
 public:
  // The sender must outlive the handler. base_url ends in '/'.
  JSRequestHandler(RequestSender& sender, std::string base_url)
      : sender_(sender), base_url_(std::move(base_url)) {}
  // Reads the run's base URL at every call; both must outlive the handler.
  JSRequestHandler(RequestSender& sender, const SharedEndpoints& shared)
      : sender_(sender), shared_(&shared) {}

  // Sends the call; answers its transfer id.
  std::string Send(const ServiceCall& call);
  // Sends the call when there is one (a playlist row for a service playlist); answers its
  // transfer id, or empty when nothing was sent.
  std::string Send(const std::optional<ServiceCall>& call);

  // The mirror requests' own sender (it keeps them until they reached the service), when the
  // process has one; the playlist commands send their changes through it. Not owned; it must
  // outlive its registration (set nullptr before it goes).
  void SetMirror(MirrorRequests* mirror) { mirror_ = mirror; }
  MirrorRequests* mirror() const { return mirror_; }

  // Calls sent before the service's address is known fail like calls to a service that is down.
  const std::string& base_url() const { return shared_ ? shared_->Get().base_url : base_url_; }

 private:
  RequestSender& sender_;
  const SharedEndpoints* shared_ = nullptr;
  std::string base_url_;
  MirrorRequests* mirror_ = nullptr;
};

}  // namespace quillo::service
