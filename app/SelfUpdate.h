#pragma once
// Installing a pending update package: a small POSIX shell script, "update.sh" in the program
// folder, waits for the running program (by its process id) to end, moves "kv.ex_" over the
// executable, makes it executable, deletes the package, starts the new program and removes
// itself. Every path in the script is quoted, so folders with spaces or quotes work.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo::app {

// Starts argv detached from this process (the update script must outlive it).
using ProgramLauncher = std::function<bool(const std::vector<std::string>& argv)>;

// program_folder ends with '/'.
std::string UpdatePackagePath(std::string_view program_folder);
std::string UpdateScriptPath(std::string_view program_folder);
bool HasPendingUpdate(std::string_view program_folder);

// The script's text. It waits at most about a minute for the old process; then the move runs
// anyway (on this system replacing a running executable's file is allowed).
std::string UpdateScriptText(std::string_view program_folder, std::string_view executable_path,
                             long old_process_id);

// Writes the script (replacing an older one) and starts it with /bin/sh. A script that cannot be
// written is started all the same, which does nothing, and the package stays for the next start.
// Answers whether the launcher started the script. The caller ends the start-up afterwards.
bool InstallPendingUpdate(std::string_view program_folder, std::string_view executable_path,
                          long old_process_id, const ProgramLauncher& launch);

// Quotes a text for the POSIX shell: in single quotes, each single quote written as '\''.
std::string ShellQuote(std::string_view text);

}  // namespace quillo::app
