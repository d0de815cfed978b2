#include "app/SelfUpdate.h"

#include "platform/fs/FileSystem.h"

namespace quillo::app {

std::string UpdatePackagePath(std::string_view program_folder) {
  return std::string(program_folder) + "kv.ex_";
}

std::string UpdateScriptPath(std::string_view program_folder) {
  return std::string(program_folder) + "update.sh";
}

bool HasPendingUpdate(std::string_view program_folder) {
  return fs::FileExists(UpdatePackagePath(program_folder));
}

std::string ShellQuote(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

std::string UpdateScriptText(std::string_view program_folder, std::string_view executable_path,
                             long old_process_id) {
  std::string package = ShellQuote(UpdatePackagePath(program_folder));
  std::string executable = ShellQuote(executable_path);
  std::string script = ShellQuote(UpdateScriptPath(program_folder));
  std::string text;
  text += "#!/bin/sh\n";
  text += "# Installs the pending update of Zelbo音乐 once the old program has ended.\n";
  text += "old_pid=" + std::to_string(old_process_id) + "\n";
  text += "tries=0\n";
  text += "while kill -0 \"$old_pid\" 2>/dev/null && [ \"$tries\" -lt 600 ]; do\n";
  text += "  sleep 0.1 2>/dev/null || sleep 1\n";
  text += "  tries=$((tries + 1))\n";
  text += "done\n";
  text += "mv -f " + package + " " + executable + "\n";
  // A downloaded package has no execute permission of its own.
  text += "chmod a+x " + executable + "\n";
  text += "rm -f " + package + "\n";
  text += executable + " &\n";
  text += "rm -f " + script + "\n";
  text += "exit 0\n";
  return text;
}

bool InstallPendingUpdate(std::string_view program_folder, std::string_view executable_path,
                          long old_process_id, const ProgramLauncher& launch) {
  std::string script_path = UpdateScriptPath(program_folder);
  fs::WriteFile(script_path, UpdateScriptText(program_folder, executable_path, old_process_id));
  return launch({"/bin/sh", script_path});
}

}  // namespace quillo::app
