#include "platform/shell/ProcessInfo.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/fs/FileSystem.h"

namespace quillo::shell {

long CurrentProcessId() {
  return static_cast<long>(::getpid());
}

std::string CurrentFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::current_path(error);
  return error ? std::string() : fs::WithTrailingSlash(folder.string());
}

}  // namespace quillo::shell
