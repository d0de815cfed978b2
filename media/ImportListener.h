#pragma once
// What a folder walk reports. Every operation runs on the scanner's thread, in this order:
// Started once, then per folder Searching, FileFound for each large file, FolderDone, and
// Finished once at the end (also after a cancel). All have empty defaults.
#include <string>

namespace quillo::media {

class ImportListener {
 public:
  virtual ~ImportListener() = default;
  virtual void Started() {}
  virtual void Searching(const std::string& folder) { (void)folder; }
  virtual void FolderDone(const std::string& folder) { (void)folder; }
  virtual void FileFound(const std::string& path) { (void)path; }
  virtual void Finished() {}
};

}  // namespace quillo::media
