#include "app/CompanionProgram.h"

#include <string>

#include "app/AppConstants.h"
#include "platform/fs/FileSystem.h"

namespace quillo::app {

bool InstallPendingCompanion(std::string_view program_folder) {
  std::string installed = std::string(program_folder) + std::string(kCompanionProgram);
  if (fs::PathExists(installed)) return false;
  std::string pending = std::string(program_folder) + std::string(kCompanionPendingCopy);
  return fs::RenamePath(pending, installed);
}

}  // namespace quillo::app
