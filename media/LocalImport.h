#pragma once
// The store side of a local import: every file the folder walk finds, and every file picked or
// dropped, goes to MusicLibrary::AddLocalFile. Counts the files that are in the library
// afterwards (found) and, of those, the ones that were not in it before (added), and reports each step as a status text ("开始导入", "正在搜索:…", "正在导入:…",
// "导入完成").
//
// As a listener it runs on the scanner's thread; AddFiles runs on the caller's thread. The
// library takes the store's lock once per file, never across the walk.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "media/ImportListener.h"

namespace quillo::store {
class MusicLibrary;
}

namespace quillo::media {

class LocalImport : public ImportListener {
 public:
  using StatusCallback = std::function<void(const std::string& status)>;

  explicit LocalImport(store::MusicLibrary& library, StatusCallback on_status = {});

  void Started() override;
  void Searching(const std::string& folder) override;
  void FileFound(const std::string& path) override;
  void Finished() override;

  // The file import: each path straight to AddLocalFile (no size rule). Answers how many are
  // in the library afterwards.
  int AddFiles(const std::vector<std::string>& paths);

  // Music files taken up so far (in the library afterwards), and those new to the library.
  int found() const { return found_.load(); }
  int added() const { return added_.load(); }
  // Set before Finished arrives to keep "导入完成" from being reported (a cancelled import).
  void SetCancelled() { cancelled_ = true; }

 private:
  void Report(const std::string& status);
  // One file to the library; false when it is not taken (not music, not there).
  bool Take(const std::string& path);

  store::MusicLibrary& library_;
  StatusCallback on_status_;
  std::atomic<int> found_{0};
  std::atomic<int> added_{0};
  std::atomic<bool> cancelled_{false};
};

}  // namespace quillo::media
