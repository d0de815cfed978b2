#include "platform/ipc/InstanceNames.h"

#include <filesystem>
#include <system_error>

#include "platform/crypto/Crypto.h"
#include "platform/fs/FileSystem.h"
#include "platform/fs/XdgFolders.h"

namespace quillo::ipc {

std::string InstanceKey(std::string_view data_folder) {
  // The folder may not exist yet on a first run: resolve what exists, normalise the rest, so
  // that "dir", "dir/" and "./dir" name the same instance.
  std::error_code error;
  std::filesystem::path absolute =
      std::filesystem::absolute(std::filesystem::path(data_folder), error);
  std::filesystem::path normal = std::filesystem::weakly_canonical(absolute, error);
  std::string text = fs::WithTrailingSlash((error ? absolute : normal).lexically_normal().string());
  return crypto::Md5Hex(text).substr(0, 16);
}

std::string InstanceLockPath(std::string_view data_folder) {
  return fs::XdgRuntimeDir() + "Quillo.PreventSecondInstance-" + InstanceKey(data_folder) + ".lock";
}

std::string InstanceSocketPath(std::string_view data_folder) {
  return fs::XdgRuntimeDir() + "Quillo-" + InstanceKey(data_folder) + ".sock";
}

}  // namespace quillo::ipc
