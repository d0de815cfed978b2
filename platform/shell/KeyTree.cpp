#include "platform/shell/KeyTree.h"

#include <filesystem>
#include <system_error>

namespace quillo::shell {

bool DeleteKeyTree(const std::string& folder) {
  namespace stdfs = std::filesystem;
  std::error_code error;
  stdfs::path root(folder);
  if (root.has_relative_path() && !root.has_filename())
    root = root.parent_path();  // "a/b/" → "a/b"
  stdfs::file_status status = stdfs::symlink_status(root, error);
  if (error || !stdfs::is_directory(status)) return false;
  // Always take the first entry that is left, as the key walk takes subkey 0: what was deleted
  // no longer shows up, and an entry that could not be deleted stops the walk.
  while (true) {
    stdfs::directory_iterator entries(root, error);
    if (error) return false;
    if (entries == stdfs::directory_iterator()) break;
    const stdfs::directory_entry& entry = *entries;
    stdfs::file_status entry_status = entry.symlink_status(error);
    if (error) return false;
    stdfs::path child = entry.path();
    if (stdfs::is_directory(entry_status)) {
      if (!DeleteKeyTree(child.string())) return false;
    } else if (!stdfs::remove(child, error) || error) {
      return false;
    }
  }
  return stdfs::remove(root, error) && !error;
}

}  // namespace quillo::shell
