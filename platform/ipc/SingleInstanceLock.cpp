#include "platform/ipc/SingleInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

namespace quillo::ipc {

SingleInstanceLock::SingleInstanceLock(const std::string& path) {
  // Close-on-exec: programs started later (the update script, a restarted copy) must not
  // inherit the lock.
  fd_ = UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (!fd_.valid()) return;
  int result;
  do {
    result = ::flock(fd_.get(), LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::kAcquired;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::kHeldElsewhere;
  }
}

}  // namespace quillo::ipc
