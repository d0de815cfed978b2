#pragma once
// The running uploads by upload id. Each worker enters its job once the host has issued an id
// and removes it when the upload ends; the window thread may look at it meanwhile. One lock
// guards the map, so simultaneous uploads never corrupt it. The map keeps copies of the jobs:
// a reader never holds a reference into a worker's job.
//
// Any thread.
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "service/upload/UploadJob.h"

namespace quillo::service {

class UploadMap {
 public:
  // Enters the job under its upload id (replacing a job of the same id).
  void Enter(const UploadJob& job);
  // False when there was no job of the id.
  bool Remove(const std::string& upload_id);
  std::optional<UploadJob> Find(const std::string& upload_id) const;
  std::vector<std::string> Ids() const;
  std::size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, UploadJob> jobs_;
};

}  // namespace quillo::service
