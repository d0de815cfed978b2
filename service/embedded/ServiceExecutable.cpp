#include "service/embedded/ServiceExecutable.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

// The build defines the installed layout; this default is that of a /usr install.
#ifndef QUILLO_INSTALLED_SERVICE_FOLDER
#define QUILLO_INSTALLED_SERVICE_FOLDER "../libexec/quillo/"
#endif

namespace quillo::service {
namespace {

bool IsExecutableFile(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) !=
         perms::none;
}

}  // namespace

std::string_view InstalledServiceFolder() { return QUILLO_INSTALLED_SERVICE_FOLDER; }

std::string FindServiceExecutable(std::string_view configured, const std::string& program_folder,
                                  std::string_view search_path,
                                  const std::function<bool(const std::string&)>& is_executable) {
  if (!configured.empty()) {
    const std::string path(configured);
    return is_executable(path) ? path : std::string();
  }
  const std::string name(kServiceExecutableName);
  if (!program_folder.empty()) {
    // An installed program finds the service in its libexec folder first, so that a service left
    // on $PATH or beside it by another build is never taken for its own.
    const std::string installed =
        std::filesystem::path(program_folder + std::string(InstalledServiceFolder()) + name)
            .lexically_normal()
            .string();
    if (is_executable(installed)) return installed;
    // Beside the program; in the build tree quillo lives in app/ and quillo-tool in
    // tools/quillo-tool/, the service in service-stub/.
    for (const std::string& relative :
         {name, "../service-stub/" + name, "../../service-stub/" + name}) {
      const std::string candidate = program_folder + relative;
      if (is_executable(candidate)) return candidate;
    }
  }
  std::size_t begin = 0;
  while (begin <= search_path.size()) {
    std::size_t end = search_path.find(':', begin);
    if (end == std::string_view::npos) end = search_path.size();
    const std::string_view folder = search_path.substr(begin, end - begin);
    // An empty entry means the current folder, which is no place to pick a service from.
    if (!folder.empty()) {
      std::string candidate(folder);
      if (candidate.back() != '/') candidate += '/';
      candidate += name;
      if (is_executable(candidate)) return candidate;
    }
    begin = end + 1;
  }
  return {};
}

std::string FindServiceExecutable(const std::string& program_folder) {
  const char* configured = std::getenv(std::string(kServiceExecutableVariable).c_str());
  const char* search_path = std::getenv("PATH");
  return FindServiceExecutable(configured ? configured : "", program_folder,
                               search_path ? search_path : "", IsExecutableFile);
}

}  // namespace quillo::service
