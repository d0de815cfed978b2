#pragma once
// A small HTTP server for tests that is not quillo-service: it listens on 127.0.0.1 (a free
// port), reads each request (one per connection), records it with its headers, and hands it to
// the test's handler, which writes whatever bytes it likes: proper answers, junk, truncated
// bodies, huge headers, or nothing at all (Stall). The connection closes when the handler
// returns. The destructor releases stalled handlers, closes every connection and joins.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace quillo::testing {

class ScriptedHttpServer {
 public:
  struct Request {
    std::string method;
    std::string target;  // "/path?query"
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    // The first header of the name (compared without case), or empty.
    std::string Header(std::string_view name) const;
  };

  class Exchange {
   public:
    // Writes bytes as they are; false once the peer has gone or the server stops.
    bool Send(std::string_view bytes);
    // Blocks until the server stops or the peer closes the connection.
    void Stall();
    bool stopping() const;

   private:
    friend class ScriptedHttpServer;
    Exchange(ScriptedHttpServer& server, int fd) : server_(server), fd_(fd) {}
    ScriptedHttpServer& server_;
    int fd_;
  };

  using Handler = std::function<void(const Request& request, Exchange& exchange)>;

  // Starts listening at once; handlers run on the server's own threads.
  explicit ScriptedHttpServer(Handler handler);
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT" + path.
  std::string Url(std::string_view path) const;
  // Every request read so far, in arrival order.
  std::vector<Request> requests() const;

  // A complete answer with Content-Length and "Connection: close".
  static std::string Answer(int status, const std::string& body,
                            const std::vector<std::pair<std::string, std::string>>& headers = {});
  // Only the status line and the headers (the body follows separately).
  static std::string Head(int status,
                          const std::vector<std::pair<std::string, std::string>>& headers);

 private:
  void AcceptLoop();
  void Serve(int fd);

  Handler handler_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::condition_variable stop_signal_;
  std::vector<Request> requests_;
  std::vector<int> open_fds_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace quillo::testing
