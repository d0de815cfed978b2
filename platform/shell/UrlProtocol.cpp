#include "platform/shell/UrlProtocol.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <system_error>
#include <vector>

#include "platform/fs/FileSystem.h"
#include "platform/fs/XdgFolders.h"
#include "platform/shell/DesktopEntry.h"
#include "platform/shell/KeyTree.h"
#include "platform/shell/MimeAppsList.h"

namespace quillo::shell {
namespace {

constexpr std::string_view kEntryFileName = "url-handler.desktop";

std::string MimeTypeFor(std::string_view scheme) {
  return "x-scheme-handler/" + std::string(scheme);
}

std::string MimeAppsPath() {
  std::string path = fs::XdgConfigHome() + "mimeapps.list";
  // Many users keep their configuration as links into a dotfiles folder: replace the file the
  // link points to, not the link.
  std::error_code error;
  std::filesystem::path target = std::filesystem::canonical(path, error);
  return error ? path : target.string();
}

bool UpdateMimeApps(const std::function<bool(MimeAppsList&)>& change) {
  std::string path = MimeAppsPath();
  std::string old_text = fs::ReadWholeFile(path).value_or(std::string());
  MimeAppsList list(old_text);
  if (!change(list)) return true;
  if (!fs::CreateFolders(fs::ParentFolder(path))) return false;
  return fs::WriteFileAtomic(path, list.Text());
}

}  // namespace

std::string UrlSchemeForProtocol(std::string_view name) {
  if (name.empty()) return {};
  std::string scheme;
  for (std::size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && (i == 0 || !other)) return {};
    scheme += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return scheme;
}

std::string UrlProtocolFolder(std::string_view name) {
  std::string scheme = UrlSchemeForProtocol(name);
  if (scheme.empty()) return {};
  return fs::XdgDataHome() + "applications/" + scheme + "/";
}

std::string UrlProtocolDesktopId(std::string_view name) {
  std::string scheme = UrlSchemeForProtocol(name);
  if (scheme.empty()) return {};
  // A desktop entry in a sub-folder of "applications" is known by the folder, '-' and its name.
  return scheme + "-" + std::string(kEntryFileName);
}

std::string UrlProtocolEntryText(std::string_view name, std::string_view executable_path,
                                 std::string_view display_name) {
  DesktopEntry entry;
  entry.Set("Type", "Application");
  entry.Set("Name",
            display_name.empty() ? std::string(name) + "Protocol" : std::string(display_name));
  entry.Set("Exec", DesktopEntry::ExecLine(executable_path, "%u"));
  // The program the protocol points to; the desktop hides the entry when it is gone.
  entry.Set("TryExec", executable_path);
  entry.Set("MimeType", MimeTypeFor(UrlSchemeForProtocol(name)) + ";");
  entry.Set("NoDisplay", "true");
  entry.Set("Terminal", "false");
  return entry.Text();
}

int RegisterUrlProtocol(std::string_view name, std::string_view executable_path, int icon_index,
                        std::string_view display_name) {
  (void)icon_index;
  std::string folder = UrlProtocolFolder(name);
  if (folder.empty() || executable_path.empty()) return kUrlProtocolFailed;
  std::error_code error;
  if (std::filesystem::exists(std::filesystem::symlink_status(folder, error))) {
    return kUrlProtocolAlreadyPresent;
  }
  if (!fs::CreateFolders(folder)) return kUrlProtocolFailed;
  if (!fs::WriteFileAtomic(folder + std::string(kEntryFileName),
                           UrlProtocolEntryText(name, executable_path, display_name))) {
    return kUrlProtocolFailed;
  }
  std::string mime_type = MimeTypeFor(UrlSchemeForProtocol(name));
  std::string id = UrlProtocolDesktopId(name);
  bool written = UpdateMimeApps([&](MimeAppsList& list) {
    if (!list.DefaultsFor(mime_type).empty() && list.DefaultsFor(mime_type).front() == id) {
      return false;
    }
    list.SetDefault(mime_type, id);
    return true;
  });
  return written ? kUrlProtocolRegistered : kUrlProtocolFailed;
}

bool UrlProtocolIsRegistered(std::string_view name, std::string_view executable_path,
                             std::string_view display_name) {
  const std::string folder = UrlProtocolFolder(name);
  if (folder.empty() || executable_path.empty()) return false;
  const std::optional<std::string> entry = fs::ReadWholeFile(folder + std::string(kEntryFileName));
  if (!entry || *entry != UrlProtocolEntryText(name, executable_path, display_name)) return false;
  const MimeAppsList list(fs::ReadWholeFile(MimeAppsPath()).value_or(std::string()));
  const std::vector<std::string> defaults =
      list.DefaultsFor(MimeTypeFor(UrlSchemeForProtocol(name)));
  return !defaults.empty() && defaults.front() == UrlProtocolDesktopId(name);
}

bool UnregisterUrlProtocol(std::string_view name) {
  std::string folder = UrlProtocolFolder(name);
  if (folder.empty()) return false;
  bool deleted = DeleteKeyTree(folder);
  std::string mime_type = MimeTypeFor(UrlSchemeForProtocol(name));
  std::string id = UrlProtocolDesktopId(name);
  bool written =
      UpdateMimeApps([&](MimeAppsList& list) { return list.RemoveDefault(mime_type, id); });
  return deleted && written;
}

}  // namespace quillo::shell
