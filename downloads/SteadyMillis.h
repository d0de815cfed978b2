#pragma once
// Milliseconds of the steady clock: the entries' tick counts. Any thread.
#include <chrono>
#include <cstdint>

namespace quillo::downloads {

inline std::int64_t SteadyMillis() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace quillo::downloads
