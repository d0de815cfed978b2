// quillo-service started on a fresh data folder, as the program's first start does:
//  - start: from starting the service to its "listening on" line (the listing is ready then;
//    target: well under a second);
//  - first byte: from sending a stream request for a song that has not been rendered yet to the
//    answer's first byte (its audio is rendered meanwhile; target: about a second for songs of
//    typical length on this machine), and the whole answer;
//  - the same request again, now served from the rendered file.
// Usage: first_fetch_bench [SONGS_TO_FETCH] (default 3).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/ServiceProcess.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Timing {
  double first_byte_ms = -1;
  double whole_ms = -1;
  std::size_t bytes = 0;
};

double MsSince(Clock::time_point from) {
  return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// One GET with "Connection: close", timed to its first byte and to its end.
Timing TimedGet(int port, const std::string& target) {
  Timing timing;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return timing;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const auto started = Clock::now();
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request =
        "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";
    if (::send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
      char buffer[65536];
      for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
        if (timing.first_byte_ms < 0) timing.first_byte_ms = MsSince(started);
        timing.bytes += static_cast<std::size_t>(n);
      }
      timing.whole_ms = MsSince(started);
    }
  }
  ::close(fd);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  const int fetches = argc > 1 ? std::atoi(argv[1]) : 3;
  quillo::testing::ServiceProcess::Options options;
  options.reuse_catalogue = false;  // a first start: nothing rendered, nothing listed yet
  quillo::testing::ServiceProcess service(options);
  const auto started = Clock::now();
  if (!service.Start()) {
    std::fprintf(stderr, "first_fetch_bench: %s\n", service.error().c_str());
    return 1;
  }
  std::printf("fresh start to listening: %.0f ms (target well under 1000 ms)\n", MsSince(started));

  // The catalogue's first songs (the demo user's library): ids 7k²+k+1, that is 1, 9, 31, ...
  for (int k = 0; k < fetches; ++k) {
    const std::string id = std::to_string(7 * k * k + k + 1);
    const std::string target = "/music/download_shiting.php?id=" + id;
    const Timing first = TimedGet(service.port(), target);
    const Timing again = TimedGet(service.port(), target);
    std::printf(
        "song %s: first fetch: first byte %.0f ms, whole %.0f ms, %zu bytes; "
        "rendered: first byte %.1f ms, whole %.0f ms\n",
        id.c_str(), first.first_byte_ms, first.whole_ms, first.bytes, again.first_byte_ms,
        again.whole_ms);
  }
  service.Stop();
  return 0;
}
