#pragma once
// The start-up's phases with the milliseconds since the process began them, on the run's error
// output when QUILLO_STARTUP_TIMELINE is set ("startup: store opened 41 ms"): where the time to
// the window goes, measured on the real program. Nothing is printed otherwise. Main thread.
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quillo::app {

class StartupTimeline {
 public:
  StartupTimeline() : enabled_(std::getenv("QUILLO_STARTUP_TIMELINE") != nullptr) {}

  void Mark(const char* phase) const {
    if (!enabled_) return;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started_)
                        .count();
    std::fprintf(stderr, "startup: %s %lld ms\n", phase, static_cast<long long>(ms));
  }

 private:
  bool enabled_;
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace quillo::app
