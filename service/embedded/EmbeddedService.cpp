#include "service/embedded/EmbeddedService.h"

#include <algorithm>

#include "platform/process/ChildProcess.h"

namespace quillo::service {
namespace {

// A decimal port from 1 to 65535 at the start of `text`; `used` is set to its length.
std::optional<int> LeadingPort(std::string_view text, std::size_t& used) {
  used = 0;
  int port = 0;
  while (used < text.size() && used < 6 && text[used] >= '0' && text[used] <= '9') {
    port = port * 10 + (text[used] - '0');
    ++used;
  }
  if (used == 0 || used > 5 || port < 1 || port > 65535) return std::nullopt;
  return port;
}

}  // namespace

std::optional<ServiceEndpoints> EndpointsFromListeningLine(std::string_view line) {
  constexpr std::string_view kPrefix = "listening on http://127.0.0.1:";
  constexpr std::string_view kMiddle = "/ upload 127.0.0.1:";
  if (line.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  line.remove_prefix(kPrefix.size());
  std::size_t used = 0;
  const auto port = LeadingPort(line, used);
  if (!port) return std::nullopt;
  line.remove_prefix(used);
  if (line.substr(0, kMiddle.size()) != kMiddle) return std::nullopt;
  line.remove_prefix(kMiddle.size());
  const auto upload_port = LeadingPort(line, used);
  if (!upload_port) return std::nullopt;
  line.remove_prefix(used);
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  if (!line.empty()) return std::nullopt;
  ServiceEndpoints endpoints;
  endpoints.base_url = "http://127.0.0.1:" + std::to_string(*port) + "/";
  endpoints.web_site = endpoints.base_url;
  endpoints.upload_host = "127.0.0.1:" + std::to_string(*upload_port);
  return endpoints;
}

EmbeddedService::EmbeddedService() = default;

EmbeddedService::~EmbeddedService() {
  Stop();
}

bool EmbeddedService::Start(const EmbeddedServiceOptions& options, ReadyCallback on_ready) {
  if (child_ || stopping_.load()) {
    std::lock_guard lock(mutex_);
    error_ = "already started";
    return false;
  }
  options_ = options;
  std::string error;
  std::vector<std::string> argv{options_.executable, "--port", "0", "--upload-port", "0", "--data",
                                options_.data_folder};
  argv.insert(argv.end(), options_.extra_args.begin(), options_.extra_args.end());
  child_ = process::ChildProcess::Spawn(argv, &error);
  if (!child_) {
    std::lock_guard lock(mutex_);
    error_ = error;
    done_ = true;
    return false;
  }
  pid_ = child_->pid();
  reader_ = std::thread(&EmbeddedService::ReadListeningLine, this, options_.ready_timeout,
                        std::move(on_ready));
  return true;
}

void EmbeddedService::ReadListeningLine(std::chrono::milliseconds timeout, ReadyCallback on_ready) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + timeout;
  std::optional<ServiceEndpoints> endpoints;
  std::string error;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    std::string line;
    const auto status =
        child_->ReadLine(line, std::max(left, std::chrono::milliseconds(0)), &stopping_);
    if (status == process::ChildProcess::ReadStatus::kLine) {
      endpoints = EndpointsFromListeningLine(line);
      if (endpoints) break;
      continue;  // not the line we wait for
    }
    if (status == process::ChildProcess::ReadStatus::kTimedOut) {
      error = "the service did not get ready within " + std::to_string(timeout.count()) + " ms";
    } else if (status == process::ChildProcess::ReadStatus::kEnded) {
      error = "the service ended before it was ready";
    } else {
      error = "stopped before the service was ready";
    }
    break;
  }
  if (endpoints) ready_.store(true);
  {
    std::lock_guard lock(mutex_);
    error_ = error;
  }
  // The callback runs before waiters are released, so whoever waited has seen it run. Stop
  // waits for this thread, so it never runs after Stop has returned; once Stop has begun it is
  // not called at all.
  if (on_ready && !stopping_.load()) on_ready(endpoints);
  {
    std::lock_guard lock(mutex_);
    endpoints_ = endpoints;
    done_ = true;
  }
  settled_.notify_all();
}

std::optional<ServiceEndpoints> EmbeddedService::WaitForEndpoints(
    std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  settled_.wait_for(lock, timeout, [this] { return done_; });
  return endpoints_;
}

void EmbeddedService::Stop() {
  stopping_.store(true);
  if (child_) {
    // Before its listening line the service is still making its catalogue: it takes SIGTERM
    // only once it serves, and has nothing to lose before (an unfinished catalogue is made
    // again at the next start), so it is killed at once instead of after the grace time.
    child_->Terminate(ready_.load() ? options_.stop_grace : std::chrono::milliseconds(0));
  }
  if (reader_.joinable()) reader_.join();
  child_.reset();
  pid_ = 0;
  std::lock_guard lock(mutex_);
  done_ = true;
  endpoints_.reset();
  settled_.notify_all();
}

std::string EmbeddedService::error() const {
  std::lock_guard lock(mutex_);
  return error_;
}

}  // namespace quillo::service
