#pragma once
// The two HTTP servers of the service, both bound to 127.0.0.1 only: the main one (service
// calls, file fetches, web pages, test controls) and the upload host. Each request is logged,
// routed, matched against the fault rules and written by the ReplyWriter. Start() binds both
// ports and runs their accept loops on threads of their own; Stop() ends them and waits.
#include <httplib.h>

#include <string>
#include <thread>

#include "service-stub/ReplyWriter.h"
#include "service-stub/Router.h"
#include "service-stub/ServiceContext.h"

namespace quillo::stub {

class ServiceServer {
 public:
  ServiceServer(ServiceContext& context, bool omit_content_length);
  ~ServiceServer();
  ServiceServer(const ServiceServer&) = delete;
  ServiceServer& operator=(const ServiceServer&) = delete;

  // Port 0 picks a free port. Sets the context's base URL. False with a reason on failure.
  bool Start(int port, int upload_port, std::string* error);
  void Stop();

  int port() const { return port_; }
  int upload_port() const { return upload_port_; }

 private:
  void Configure(httplib::Server& server, const std::string& name, const Router& router,
                 std::size_t max_body_bytes, std::size_t max_threads, int* listening_socket);
  void Handle(const std::string& name, const Router& router, const httplib::Request& request,
              httplib::Response& response, std::string body);

  ServiceContext& context_;
  ReplyWriter writer_;
  Router main_router_;
  Router upload_router_;
  httplib::Server main_;
  httplib::Server upload_;
  std::thread main_thread_;
  std::thread upload_thread_;
  int port_ = 0;
  int upload_port_ = 0;
  int main_socket_ = -1;  // the listening sockets, owned by the library's servers
  int upload_socket_ = -1;
};

}  // namespace quillo::stub
