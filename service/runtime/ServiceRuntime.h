#pragma once
// The objects through which a process talks to the service: the HTTP transport over the data
// folder's cookie jar, the safe downloader, the fire-and-forget sender, the usage statistics and
// the service's addresses. The program makes one for its run; each quillo-tool command that
// talks to the service makes one for the command, so both send exactly the same requests.
//
// Window thread only (the thread that runs `loop`). Shutdown, or the destructor, ends every
// transfer; it runs before the store closes.
#include <memory>
#include <string>
#include <vector>

#include "platform/http/CurlHttpTransport.h"
#include "service/api/SharedEndpoints.h"

namespace quillo::loop {
class MainLoop;
}
namespace quillo::store {
class DocumentStore;
class MirrorOutbox;
}

namespace quillo::service {

class CStatBtnClick;
class JSRequestHandler;
class MirrorRequests;
class SafeDownloader;
class SafeDownloaderSender;
class ServiceRequests;

class ServiceRuntime {
 public:
  // The cookie jar is "<data folder>cookies.txt", shared with the hosted pages. `sessions` says
  // whether the jar's session cookies are taken up: the program starts a new browsing session,
  // a quillo-tool command continues the login of the command before. The loop and the store
  // outlive this object. The addresses are empty until set.
  ServiceRuntime(loop::MainLoop& loop, store::DocumentStore& store,
                 http::CookieSessions sessions = http::CookieSessions::kNew);
  // Shuts down (see Shutdown).
  ~ServiceRuntime();
  ServiceRuntime(const ServiceRuntime&) = delete;
  ServiceRuntime& operator=(const ServiceRuntime&) = delete;

  // The service's addresses for the whole run; until they are known, service calls fail as to
  // a service that is down. Everything that builds an address reads them at each request, so a
  // value set after construction is what the next request uses.
  SharedEndpoints& endpoints() { return endpoints_; }

  // The one transport; uploads and anything else that speaks HTTP share its cookies.
  http::HttpTransport& transport() { return *transport_; }
  // The cookies of every request, as Netscape cookie-file lines (for the hosted pages, which
  // keep theirs apart), and cookies added from there. Any thread.
  std::vector<std::string> CookieLines() { return transport_->ExportCookieLines(); }
  void AddCookieLines(const std::vector<std::string>& lines) {
    transport_->ImportCookieLines(lines);
  }
  SafeDownloader& downloader() { return *downloader_; }
  // The fire-and-forget sender, reading the base URL from endpoints() at every call.
  JSRequestHandler& sender() { return *sender_; }
  // The playlist and library changes on their way to the service, kept in the data file's
  // outbox until they arrived; the sender hands them to it (JSRequestHandler::mirror).
  MirrorRequests& mirror() { return *mirror_; }
  // The request sender under it (the playlist commands' answered requests, Drain).
  SafeDownloaderSender& request_sender() { return *request_sender_; }
  // Made on first use: it needs the installation's client id, and reading that stores one when
  // the data folder has none, which a command that only downloads must not do.
  CStatBtnClick& statistics();

  // Sends the statistics report at the first tick of the hourly report timer, which Shutdown
  // stops.
  void StartStatistics();

  // Stops the report timer, cancels every transfer and joins its worker; no transfer callback
  // runs afterwards and later requests start nothing. Safe to call twice.
  void Shutdown();

 private:
  loop::MainLoop& loop_;
  store::DocumentStore& store_;
  SharedEndpoints endpoints_;
  std::unique_ptr<http::CurlHttpTransport> transport_;
  std::unique_ptr<SafeDownloader> downloader_;
  std::unique_ptr<SafeDownloaderSender> request_sender_;
  std::unique_ptr<JSRequestHandler> sender_;
  std::unique_ptr<store::MirrorOutbox> outbox_;
  std::unique_ptr<MirrorRequests> mirror_;
  std::unique_ptr<ServiceRequests> requests_;
  std::unique_ptr<CStatBtnClick> statistics_;
};

}  // namespace quillo::service
