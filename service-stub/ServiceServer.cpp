#include "service-stub/ServiceServer.h"

#include <sys/socket.h>

#include <chrono>

#include "platform/text/TextUtil.h"
#include "service-stub/Answers.h"
#include "service-stub/ApiHandlers.h"
#include "service-stub/BridgeProbe.h"
#include "service-stub/ControlHandlers.h"
#include "service-stub/FileHandlers.h"
#include "service-stub/UploadHost.h"
#include "service-stub/UploadPage.h"
#include "service-stub/WebPages.h"
#include "service-stub/WorkerPool.h"

namespace quillo::stub {
namespace {

constexpr char kHost[] = "127.0.0.1";
constexpr std::size_t kMaxPathBytes = 2048;
constexpr std::size_t kMainBodyBytes = 8 * 1024 * 1024;
constexpr std::size_t kUploadBodyBytes = 2 * 1024 * 1024;
// Every connection holds a worker thread while it lives. The client alone opens several at once
// (parallel downloads, the stream, lyric and picture fetches, hosted pages), so threads are
// started as connections arrive, up to these limits, and idle ones end again.
constexpr std::size_t kMinThreads = 4;
constexpr std::size_t kMainMaxThreads = 256;
constexpr std::size_t kUploadMaxThreads = 64;
constexpr auto kIdleThreadLimit = std::chrono::seconds(2);
// A peer that sends nothing for this long within a request is dropped, and so is a kept-alive
// connection without a next request. Writes may wait longer: a client that reads slowly still
// progresses, and each write call has its own limit (a throttled answer writes small pieces).
constexpr time_t kReadTimeoutSeconds = 3;
constexpr time_t kKeepAliveSeconds = 2;
constexpr time_t kWriteTimeoutSeconds = 10;
// The library listens with a backlog of 5: a burst of connections overflows it, and the peers
// whose handshakes are dropped wait a second or more to try again.
constexpr int kListenBacklog = 256;

bool IsControlPath(const std::string& path) {
  return path == "/_control" || path == "/_log";
}

}  // namespace

ServiceServer::ServiceServer(ServiceContext& context, bool omit_content_length)
    : context_(context), writer_(omit_content_length) {
  RegisterAccountApi(main_router_);
  RegisterLibraryApi(main_router_);
  RegisterListApi(main_router_);
  RegisterReportApi(main_router_);
  RegisterFileHandlers(main_router_);
  RegisterWebPages(main_router_);
  RegisterUploadPage(main_router_);
  RegisterBridgeProbeReport(main_router_);
  RegisterUploadHost(upload_router_);
  RegisterBridgeProbePage(upload_router_);
  Configure(main_, "main", main_router_, kMainBodyBytes, kMainMaxThreads, &main_socket_);
  Configure(upload_, "upload", upload_router_, kUploadBodyBytes, kUploadMaxThreads, &upload_socket_);
}

ServiceServer::~ServiceServer() { Stop(); }

void ServiceServer::Configure(httplib::Server& server, const std::string& name,
                              const Router& router, std::size_t max_body_bytes,
                              std::size_t max_threads, int* listening_socket) {
  // The library takes ownership of the queue it asks for.
  server.new_task_queue = [max_threads] {
    return new WorkerPool(kMinThreads, max_threads, kIdleThreadLimit);
  };
  // The last socket the library prepares is the one it binds (one address: 127.0.0.1).
  server.set_socket_options([listening_socket](socket_t fd) {
    httplib::default_socket_options(fd);
    *listening_socket = fd;
  });
  server.set_payload_max_length(max_body_bytes);
  server.set_keep_alive_max_count(100);
  server.set_keep_alive_timeout(kKeepAliveSeconds);
  server.set_read_timeout(kReadTimeoutSeconds, 0);
  server.set_write_timeout(kWriteTimeoutSeconds, 0);
  // Long paths are refused before the library matches its route patterns against them.
  server.set_pre_routing_handler([](const httplib::Request& request, httplib::Response& response) {
    if (request.path.size() <= kMaxPathBytes) return httplib::Server::HandlerResponse::Unhandled;
    response.status = 414;
    response.set_content("<html><body>请求地址太长</body></html>", "text/html; charset=utf-8");
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
    response.status = 500;
    response.set_content("<html><body>服务器内部错误</body></html>", "text/html; charset=utf-8");
  });
  auto handler = [this, name, &router](const httplib::Request& request, httplib::Response& response) {
    Handle(name, router, request, response, request.body);
  };
  // Bodies are read here rather than by the library, whose form reading refuses url-encoded
  // bodies above 8 KB (a long statistics report or a playlist of many songs).
  auto reading_handler = [this, name, &router, max_body_bytes](const httplib::Request& request,
                                                               httplib::Response& response,
                                                               const httplib::ContentReader& reader) {
    std::string body;
    // Without Content-Length and Transfer-Encoding a request has no body (HTTP/1.1 message
    // rules); the library would wait for the connection to end instead.
    if (!request.has_header("Content-Length") && !request.has_header("Transfer-Encoding")) {
      Handle(name, router, request, response, std::move(body));
      return;
    }
    bool too_large = false;
    auto append = [&](const char* data, std::size_t length) {
      if (body.size() + length > max_body_bytes) {
        too_large = true;
        return false;
      }
      body.append(data, length);
      return true;
    };
    const bool read = request.is_multipart_form_data()
                          ? reader([](const httplib::MultipartFormData&) { return true; }, append)
                          : reader(append);
    // The library refuses a declared length above the limit itself and says so in the status.
    too_large = too_large || (!read && response.status == 413);
    if (too_large || !read) {
      response.status = too_large ? 413 : 400;
      response.set_header("Connection", "close");
      response.set_content("<html><body>请求内容无法读取</body></html>", "text/html; charset=utf-8");
      return;
    }
    Handle(name, router, request, response, std::move(body));
  };
  server.Get(".*", handler);
  server.Post(".*", reading_handler);
  server.Put(".*", reading_handler);
  server.Delete(".*", handler);
  server.Patch(".*", reading_handler);
  server.Options(".*", handler);
}

void ServiceServer::Handle(const std::string& name, const Router& router,
                           const httplib::Request& request, httplib::Response& response,
                           std::string body) {
  const Call call(request, std::move(body));
  if (name == "main" && IsControlPath(request.path)) {
    const JsonAnswer answer = request.path == "/_log" ? HandleLog(context_, call)
                                                      : HandleControl(context_, call);
    response.status = answer.status;
    response.set_content(answer.body, "application/json; charset=utf-8");
    return;
  }

  LoggedRequest entry;
  entry.server = name;
  entry.method = request.method;
  entry.path = request.path;
  entry.query = call.query();
  entry.form = call.form();
  for (const auto& [header, value] : request.headers) entry.headers.emplace_back(header, value);
  entry.body_bytes = call.body().size();
  const std::int64_t seq = context_.log.Append(std::move(entry));

  Reply reply;
  try {
    reply = router.Dispatch(context_, call);
  } catch (const std::exception&) {
    reply = ErrorPage(500, "服务器内部错误");
  }
  AnswerTraits traits;
  traits.partial = reply.status == 206;
  traits.document = reply.is_document;
  traits.scrambled = reply.scramble;
  const FaultPlan plan = context_.faults.Take(request.path, request.target, traits);
  context_.log.SetStatus(seq, plan.status ? *plan.status : reply.status);
  writer_.Write(request, response, std::move(reply), plan);
}

bool ServiceServer::Start(int port, int upload_port, std::string* error) {
  auto bind = [&](httplib::Server& server, int wanted, int* bound) {
    if (wanted == 0) {
      *bound = server.bind_to_any_port(kHost);
      return *bound > 0;
    }
    *bound = wanted;
    return server.bind_to_port(kHost, wanted);
  };
  if (!bind(main_, port, &port_)) {
    if (error) *error = "cannot listen on 127.0.0.1:" + std::to_string(port);
    return false;
  }
  if (!bind(upload_, upload_port, &upload_port_)) {
    if (error) *error = "cannot listen on 127.0.0.1:" + std::to_string(upload_port);
    main_.stop();
    return false;
  }
  // Listening again on a listening socket only changes its backlog.
  for (const int fd : {main_socket_, upload_socket_}) {
    if (fd >= 0) ::listen(fd, kListenBacklog);
  }
  context_.base_url = "http://127.0.0.1:" + std::to_string(port_) + "/";
  context_.upload_url = "http://127.0.0.1:" + std::to_string(upload_port_) + "/";
  main_thread_ = std::thread([this] { main_.listen_after_bind(); });
  upload_thread_ = std::thread([this] { upload_.listen_after_bind(); });
  // Stop() can only end a loop that has started, so wait until both run.
  for (int i = 0; i < 500 && !(main_.is_running() && upload_.is_running()); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void ServiceServer::Stop() {
  main_.stop();
  upload_.stop();
  if (main_thread_.joinable()) main_thread_.join();
  if (upload_thread_.joinable()) upload_thread_.join();
}

}  // namespace quillo::stub
