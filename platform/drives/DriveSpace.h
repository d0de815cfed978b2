#pragma once
// Total and free bytes of the file system a path lives on. Any thread.
#include <cstdint>
#include <optional>
#include <string>

namespace quillo::drives {

struct DriveSpace {
  std::uint64_t total_bytes = 0;
  // What an unprivileged user may still write.
  std::uint64_t free_bytes = 0;
};

// No value when the path does not exist or the file system does not answer.
std::optional<DriveSpace> QueryDriveSpace(const std::string& path);

}  // namespace quillo::drives
