#pragma once
// The process-wide objects that talk to the service: the HTTP transport with the data folder's
// cookie jar, the safe downloader, the fire-and-forget sender and the usage statistics. Made
// once the store is open; Shutdown ends every transfer before the store closes.
//
// Window thread only.
#include <memory>
#include <string>

#include "service/api/SharedEndpoints.h"

namespace quillo::loop {
class LoopTarget;
class MainLoop;
}  // namespace quillo::loop
namespace quillo::http {
class CurlHttpTransport;
}
namespace quillo::store {
class DocumentStore;
}

namespace quillo::service {
class CStatBtnClick;
class JSRequestHandler;
class SafeDownloader;
class SafeDownloaderSender;
class ServiceRequests;
}  // namespace quillo::service

namespace quillo::app {

class ServiceRuntime {
 public:
  // The cookie jar is "<data folder>cookies.txt", shared with the hosted pages. Both arguments
  // outlive this object.
  ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store);
  ~ServiceRuntime();
  ServiceRuntime(const ServiceRuntime&) = delete;
  ServiceRuntime& operator=(const ServiceRuntime&) = delete;

  // The service's addresses for the whole run; until they are known, service calls fail as to
  // a service that is down. Everything that builds an address reads them at each request.
  service::SharedEndpoints& endpoints() { return endpoints_; }

  service::SafeDownloader& downloader() { return *downloader_; }
  service::JSRequestHandler& sender() { return *sender_; }
  // The fire-and-forget sender under it (the playlist commands' answered requests).
  service::SafeDownloaderSender& request_sender() { return *request_sender_; }
  service::CStatBtnClick& statistics() { return *statistics_; }

  // Counts the skinned windows' clicks and sends the report at the first tick of the main
  // window's hourly timer. `timers` is the main window's and ends before this object.
  void StartStatistics(loop::LoopTarget& timers);

  // Stops counting clicks, cancels every transfer and joins its worker; no transfer callback
  // runs afterwards. Safe to call twice.
  void Shutdown();

 private:
  service::SharedEndpoints endpoints_;
  std::unique_ptr<http::CurlHttpTransport> transport_;
  std::unique_ptr<service::SafeDownloader> downloader_;
  std::unique_ptr<service::SafeDownloaderSender> request_sender_;
  std::unique_ptr<service::JSRequestHandler> sender_;
  std::unique_ptr<service::ServiceRequests> requests_;
  std::unique_ptr<service::CStatBtnClick> statistics_;
  loop::LoopTarget* report_timers_ = nullptr;  // the main window's, while statistics run
};

}  // namespace quillo::app
