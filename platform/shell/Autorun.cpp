#include "platform/shell/Autorun.h"

#include "platform/fs/FileSystem.h"
#include "platform/fs/XdgFolders.h"
#include "platform/shell/DesktopEntry.h"

namespace quillo::shell {
namespace {

std::string_view NameOrDefault(std::string_view value_name) {
  return value_name.empty() ? kAutorunApplicationName : value_name;
}

}  // namespace

std::string AutorunEntryPath(std::string_view value_name) {
  std::string file_name(NameOrDefault(value_name));
  // A value name is one name, never a path.
  for (char& c : file_name) {
    if (c == '/') c = '_';
  }
  if (file_name.front() == '.') file_name.front() = '_';
  return fs::XdgConfigHome() + "autostart/" + file_name + ".desktop";
}

std::string AutorunEntryText(std::string_view value_name, std::string_view arguments,
                             std::string_view executable_path) {
  DesktopEntry entry;
  entry.Set("Type", "Application");
  entry.Set("Name", NameOrDefault(value_name));
  entry.Set("Exec", DesktopEntry::ExecLine(executable_path, arguments));
  entry.Set("Terminal", "false");
  entry.Set("X-GNOME-Autostart-enabled", "true");
  return entry.Text();
}

bool RegisterAutorun(std::string_view value_name, std::string_view arguments,
                     std::string_view executable_path) {
  std::string program =
      executable_path.empty() ? fs::ExecutablePath() : std::string(executable_path);
  if (program.empty()) return false;
  std::string path = AutorunEntryPath(value_name);
  if (!fs::CreateFolders(fs::ParentFolder(path))) return false;
  return fs::WriteFileAtomic(path, AutorunEntryText(value_name, arguments, program));
}

bool UnregisterAutorun(std::string_view value_name) {
  return fs::RemoveFile(AutorunEntryPath(value_name));
}

bool IsAutorunRegistered(std::string_view value_name) {
  std::optional<std::string> text = fs::ReadWholeFile(AutorunEntryPath(value_name));
  if (!text) return false;
  DesktopEntry entry = DesktopEntry::Parse(*text);
  std::optional<std::string> exec = entry.Get("Exec");
  if (!exec || exec->empty()) return false;
  return !entry.GetBool("Hidden", false) && entry.GetBool("X-GNOME-Autostart-enabled", true);
}

}  // namespace quillo::shell
