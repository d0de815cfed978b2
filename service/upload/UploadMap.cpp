#include "service/upload/UploadMap.h"

namespace quillo::service {

void UploadMap::Enter(const UploadJob& job) {
  std::lock_guard lock(mutex_);
  jobs_.insert_or_assign(job.upload_id, job);
}

bool UploadMap::Remove(const std::string& upload_id) {
  std::lock_guard lock(mutex_);
  return jobs_.erase(upload_id) != 0;
}

std::optional<UploadJob> UploadMap::Find(const std::string& upload_id) const {
  std::lock_guard lock(mutex_);
  auto it = jobs_.find(upload_id);
  if (it == jobs_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> UploadMap::Ids() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> ids;
  ids.reserve(jobs_.size());
  for (const auto& [id, job] : jobs_) ids.push_back(id);
  return ids;
}

std::size_t UploadMap::size() const {
  std::lock_guard lock(mutex_);
  return jobs_.size();
}

}  // namespace quillo::service
