#include "platform/fs/XdgFolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/fs/FileSystem.h"

namespace quillo::fs {
namespace {
// freedesktop.org base folders: a relative value is invalid and is ignored.
std::string AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || value[0] != '/') return {};
  return WithTrailingSlash(value);
}
}  // namespace

std::string HomeFolder() {
  std::string home = AbsoluteFromEnvironment("HOME");
  if (!home.empty()) return home;
  if (passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return WithTrailingSlash(entry->pw_dir);
  }
  return "/tmp/";
}

std::string XdgDataHome() {
  std::string folder = AbsoluteFromEnvironment("XDG_DATA_HOME");
  return folder.empty() ? HomeFolder() + ".local/share/" : folder;
}

std::string XdgConfigHome() {
  std::string folder = AbsoluteFromEnvironment("XDG_CONFIG_HOME");
  return folder.empty() ? HomeFolder() + ".config/" : folder;
}

std::string XdgRuntimeDir() {
  std::string folder = AbsoluteFromEnvironment("XDG_RUNTIME_DIR");
  if (!folder.empty()) return folder;
  folder = "/tmp/quillo-runtime-" + std::to_string(::getuid()) + "/";
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

}  // namespace quillo::fs
