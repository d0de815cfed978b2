#pragma once
// The start-up version check: asks the service for a newer program; the answer (the program
// itself, or a short "no update") goes through the download finisher into the program folder's
// pending update package, which the next start installs. Started once per run by the main window
// when it initialises, whatever the configuration says. Window thread only.
#include <string>
#include <string_view>

namespace quillo::playback {

class CacheManager;

// "%sapi/checkversion.php?version=%s" over the service base URL (ending in '/') and the
// program's version.
std::string VersionCheckUrl(std::string_view base_url);
// program_folder (ending in '/') + "kv.ex_".
std::string UpdatePackagePath(std::string_view program_folder);

// Starts the check; answers the transfer id (empty when nothing was started).
std::string StartVersionCheck(CacheManager& cache_manager, std::string_view base_url,
                              std::string_view program_folder);

}  // namespace quillo::playback
