#include "playback/VersionCheck.h"

#include "playback/CacheManager.h"
#include "store/ProgramVersion.h"

namespace quillo::playback {

std::string VersionCheckUrl(std::string_view base_url) {
  return std::string(base_url) +
         "api/checkversion.php?version=" + std::string(store::kProgramVersion);
}

std::string UpdatePackagePath(std::string_view program_folder) {
  return std::string(program_folder) + std::string(CacheManager::kUpdatePackageName);
}

std::string StartVersionCheck(CacheManager& cache_manager, std::string_view base_url,
                              std::string_view program_folder) {
  if (base_url.empty() || program_folder.empty()) return {};
  return cache_manager.Fetch(VersionCheckUrl(base_url), UpdatePackagePath(program_folder));
}

}  // namespace quillo::playback
