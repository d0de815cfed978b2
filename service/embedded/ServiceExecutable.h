#pragma once
// Where the stand-in service's program is: the file named by $QUILLO_SERVICE_EXECUTABLE when
// that is set, else where an installed program keeps it (InstalledServiceFolder() below the
// running program's folder, so that a staged or relocated install finds its own), else beside
// the running program (and, in a build tree, in the service's own build folder next to the
// program's), else the first "quillo-service" in $PATH. Any thread.
#include <functional>
#include <string>
#include <string_view>

namespace quillo::service {

inline constexpr std::string_view kServiceExecutableName = "quillo-service";
inline constexpr std::string_view kServiceExecutableVariable = "QUILLO_SERVICE_EXECUTABLE";

// The folder of an installed service relative to the installed programs' folder, ending with '/'
// ("../libexec/quillo/" for the usual layout); fixed when the build is configured.
std::string_view InstalledServiceFolder();

// The rule on given inputs: `configured` is the variable's value (empty: unset), `program_folder`
// ends with '/', `search_path` is a PATH text; `is_executable` tells whether a path is a program.
// Empty when nothing is found (a configured file that is no program is not replaced by another).
std::string FindServiceExecutable(std::string_view configured, const std::string& program_folder,
                                  std::string_view search_path,
                                  const std::function<bool(const std::string&)>& is_executable);

// The rule on this process's environment and file system.
std::string FindServiceExecutable(const std::string& program_folder);

}  // namespace quillo::service
