#include "platform/drives/DriveSpace.h"

#include <sys/statvfs.h>

namespace quillo::drives {

std::optional<DriveSpace> QueryDriveSpace(const std::string& path) {
  struct statvfs info {};
  if (statvfs(path.c_str(), &info) != 0) return std::nullopt;
  const std::uint64_t unit = info.f_frsize ? info.f_frsize : info.f_bsize;
  return DriveSpace{static_cast<std::uint64_t>(info.f_blocks) * unit,
                    static_cast<std::uint64_t>(info.f_bavail) * unit};
}

}  // namespace quillo::drives
