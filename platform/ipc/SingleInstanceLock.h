#pragma once
// The single-instance lock: an exclusive flock on a lock file. The kernel drops the lock when
// the process ends in any way, so a crashed instance never blocks the next start. The file
// itself stays (removing it would let two starts lock two different files).
#include <string>

#include "platform/ipc/UniqueFd.h"

namespace quillo::ipc {

class SingleInstanceLock {
 public:
  enum class State {
    kAcquired,       // this process is the first instance
    kHeldElsewhere,  // another process holds the lock
    kUnavailable,    // the lock file could not be opened; the caller runs as the first instance
  };

  // Tries to take the lock at once, without waiting. The lock is held while the object lives.
  explicit SingleInstanceLock(const std::string& path);

  State state() const { return state_; }

 private:
  UniqueFd fd_;
  State state_ = State::kUnavailable;
};

}  // namespace quillo::ipc
