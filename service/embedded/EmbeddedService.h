#pragma once
// The stand-in service as the client's default when no service base URL is configured: a child
// quillo-service on free loopback ports with its data in a folder of the client's, stopped when
// the client ends.
//
// Start spawns the child and returns at once; a reader thread of this object waits for the
// service's "listening on http://127.0.0.1:PORT/ upload 127.0.0.1:UPLOADPORT" line (a fraction
// of a second, also at a first start, when the service writes its catalogue's listing first) and
// then hands the endpoints over: to the ready callback and to WaitForEndpoints. Until then
// requests of the client simply fail.
//
// Start, Stop and the destructor are for the owner's thread (the window thread or the tool's
// main thread; the child is tied to that thread's life). The ready callback runs on the reader
// thread before WaitForEndpoints returns, never after Stop has begun; post from it to the
// window thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "service/api/ServiceEndpoints.h"

namespace quillo::process {
class ChildProcess;
}

namespace quillo::service {

// The endpoints that the service's listening line names: base URL and web site
// "http://127.0.0.1:PORT/", upload host "127.0.0.1:UPLOADPORT". Nothing for any other line.
std::optional<ServiceEndpoints> EndpointsFromListeningLine(std::string_view line);

struct EmbeddedServiceOptions {
  std::string executable;   // the service's program (see ServiceExecutable.h)
  std::string data_folder;  // its own data folder, ending with '/'; made by the service
  // How long the reader waits for the listening line: a bound for a machine under heavy load.
  std::chrono::milliseconds ready_timeout = std::chrono::minutes(5);
  // How long Stop waits after SIGTERM before SIGKILL (once the service is ready).
  std::chrono::milliseconds stop_grace = std::chrono::seconds(5);
  // More options for the service (tests ask for a small catalogue).
  std::vector<std::string> extra_args;
};

class EmbeddedService {
 public:
  // The endpoints, or nothing when the service ended or did not get ready in time.
  using ReadyCallback = std::function<void(const std::optional<ServiceEndpoints>& endpoints)>;

  EmbeddedService();
  ~EmbeddedService();
  EmbeddedService(const EmbeddedService&) = delete;
  EmbeddedService& operator=(const EmbeddedService&) = delete;

  // False when the child could not be started (the reason in error()); the callback is then
  // not called. At most one start per object.
  bool Start(const EmbeddedServiceOptions& options, ReadyCallback on_ready = {});
  // Blocks until the service is ready or has failed, at most `timeout`. Any thread.
  std::optional<ServiceEndpoints> WaitForEndpoints(std::chrono::milliseconds timeout);
  // SIGTERM, a bounded wait, SIGKILL (at once while the service is not ready yet); joins the
  // reader. Safe to call more than once.
  void Stop();

  // The child's process id while it has one (0 before Start and after Stop).
  long pid() const { return pid_; }
  std::string error() const;

 private:
  void ReadListeningLine(std::chrono::milliseconds timeout, ReadyCallback on_ready);

  EmbeddedServiceOptions options_;
  std::unique_ptr<process::ChildProcess> child_;
  std::thread reader_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> ready_{false};  // the listening line has come
  long pid_ = 0;

  mutable std::mutex mutex_;
  std::condition_variable settled_;
  bool done_ = false;  // the reader has an answer (endpoints or failure)
  std::optional<ServiceEndpoints> endpoints_;
  std::string error_;
};

}  // namespace quillo::service
