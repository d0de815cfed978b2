#include "service/transfer/TransferFile.h"

#include <mutex>

#include "platform/fs/FileSystem.h"
#include "service/transfer/TransferRecord.h"

namespace quillo::service {

bool TransferFile::Open(const std::string& path) {
  std::lock_guard lock(record_.mutex_);
  if (record_.cancelled_) return false;
  file_.reset(std::fopen(path.c_str(), "wb"));
  if (file_ == nullptr) return false;
  record_.opened_path_ = path;
  // The worker writes whole batches: a stdio buffer would only copy every byte once more.
  std::setvbuf(file_.get(), nullptr, _IONBF, 0);
  return true;
}

std::size_t TransferFile::Write(std::string_view bytes) {
  std::size_t taken = 0;
  while (file_ != nullptr && taken < bytes.size()) {
    const std::size_t written =
        std::fwrite(bytes.data() + taken, 1, bytes.size() - taken, file_.get());
    if (written == 0) break;
    taken += written;
  }
  return taken;
}

bool TransferFile::Close() {
  if (file_ == nullptr) return true;
  return std::fclose(file_.release()) == 0;
}

void TransferFile::Delete() {
  file_.reset();
  std::lock_guard lock(record_.mutex_);
  if (!record_.opened_path_.empty()) fs::RemoveFile(record_.opened_path_);
  record_.opened_path_.clear();
}

}  // namespace quillo::service
