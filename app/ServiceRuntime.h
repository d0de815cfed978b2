#pragma once
// The program's service client: the service layer's runtime (service/runtime/ServiceRuntime.h)
// with the one part that belongs to the program, the skinned windows' click counter feeding
// the statistics. Made once the store is open; Shutdown ends every transfer before the store
// closes.
//
// Window thread only.
#include "service/runtime/ServiceRuntime.h"

namespace quillo::app {

class ServiceRuntime {
 public:
  // A new browsing session over the data folder's cookie jar. Both arguments outlive this
  // object.
  ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store);
  ~ServiceRuntime();
  ServiceRuntime(const ServiceRuntime&) = delete;
  ServiceRuntime& operator=(const ServiceRuntime&) = delete;

  // See service::ServiceRuntime.
  service::SharedEndpoints& endpoints() { return service_.endpoints(); }
  service::SafeDownloader& downloader() { return service_.downloader(); }
  http::HttpTransport& transport() { return service_.transport(); }
  std::vector<std::string> CookieLines() { return service_.CookieLines(); }
  void AddCookieLines(const std::vector<std::string>& lines) { service_.AddCookieLines(lines); }
  service::JSRequestHandler& sender() { return service_.sender(); }
  service::SafeDownloaderSender& request_sender() { return service_.request_sender(); }
  service::CStatBtnClick& statistics() { return service_.statistics(); }

  // Counts the skinned windows' clicks and sends the report at the first tick of the hourly
  // report timer, which Shutdown stops.
  void StartStatistics();

  // Stops counting clicks and the report timer, cancels every transfer and joins its worker; no
  // transfer callback runs afterwards. Safe to call twice.
  void Shutdown();

 private:
  service::ServiceRuntime service_;
};

}  // namespace quillo::app
