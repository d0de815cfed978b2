#include "media/LocalImport.h"

#include "store/MusicLibrary.h"

namespace quillo::media {

LocalImport::LocalImport(store::MusicLibrary& library, StatusCallback on_status)
    : library_(library), on_status_(std::move(on_status)) {}

void LocalImport::Report(const std::string& status) {
  if (on_status_) on_status_(status);
}

void LocalImport::Started() { Report("开始导入"); }

void LocalImport::Searching(const std::string& folder) { Report("正在搜索:" + folder); }

bool LocalImport::Take(const std::string& path) {
  bool is_new = false;
  if (!library_.AddLocalFile(path, &is_new)) return false;
  ++found_;
  if (is_new) ++added_;
  Report("正在导入:" + path);
  return true;
}

void LocalImport::FileFound(const std::string& path) { Take(path); }

void LocalImport::Finished() {
  if (!cancelled_) Report("导入完成");
}

int LocalImport::AddFiles(const std::vector<std::string>& paths) {
  int added = 0;
  for (const std::string& path : paths) {
    if (Take(path)) ++added;
  }
  return added;
}

}  // namespace quillo::media
