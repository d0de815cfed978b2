#include "service/upload/UploadWorker.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "platform/fs/FileSystem.h"
#include "service/upload/UploadRequests.h"

namespace quillo::service {
namespace {

// The whole file, or nothing when it cannot be opened or gives fewer bytes than its size.
std::optional<std::string> ReadUploadFile(const std::string& path) {
  const auto size = fs::FileSize(path);
  if (!size) return std::nullopt;
  auto bytes = fs::ReadWholeFile(path);
  if (!bytes || bytes->size() < *size) return std::nullopt;
  // A file that grew meanwhile is sent as it was when its size was taken.
  bytes->resize(static_cast<std::size_t>(*size));
  return bytes;
}

void SendChunks(const std::string& bytes, const std::string& upload_id, UploadHost& host,
                int& attempts_left, const std::atomic<bool>& stop, UploadOutcome& outcome) {
  const std::uint64_t size = bytes.size();
  const std::string_view all(bytes);
  std::uint64_t offset = 0;
  while (offset < size) {
    if (stop.load()) {
      outcome.cancelled = true;
      return;
    }
    const std::uint64_t length = std::min<std::uint64_t>(size - offset, kUploadChunkBytes);
    const std::string answer = host.HostPost(
        UploadSendPath(upload_id, offset),
        all.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)));
    std::uint64_t next = offset;
    if (const auto held = FileLengthFromAnswer(answer); held && *held <= size) {
      next = *held;
      outcome.acknowledged_bytes = next;
    }
    const bool progressed = next > offset;
    offset = next;
    if (!progressed) {
      if (attempts_left < 1) return;
      --attempts_left;
    }
  }
}

}  // namespace

UploadOutcome RunUpload(UploadJob job, UploadHost& host, UploadMap& map,
                        const std::atomic<bool>& stop) {
  UploadOutcome outcome;
  int attempts_left = kUploadAttempts;
  std::string upload_id = UploadIdFromAnswer(host.HostGet(UploadStartPath()));
  while (upload_id.empty() && attempts_left >= 1 && !stop.load()) {
    --attempts_left;
    upload_id = UploadIdFromAnswer(host.HostGet(UploadStartPath()));
  }
  if (upload_id.empty()) {
    outcome.cancelled = stop.load();
    return outcome;
  }
  job.upload_id = upload_id;
  outcome.upload_id = upload_id;
  map.Enter(job);

  if (auto bytes = ReadUploadFile(job.file_path)) {
    outcome.file_read = true;
    outcome.file_size_bytes = bytes->size();
    SendChunks(*bytes, upload_id, host, attempts_left, stop, outcome);
  }
  // The buffer is gone here; the host hears the end even of a failed upload.
  host.HostGet(UploadEndPath(upload_id));
  map.Remove(upload_id);
  return outcome;
}

}  // namespace quillo::service
