#pragma once
// The companion program's pending copy: when program folder + "QuilloExt.exe" is missing,
// program folder + "quillo_ext.ex_" takes its name. A copy that cannot be renamed (usually
// because there is none) is left as it is.
#include <string_view>

namespace quillo::app {

// Answers whether a pending copy was renamed.
bool InstallPendingCompanion(std::string_view program_folder);

}  // namespace quillo::app
