#include "playback/CacheManager.h"

#include "platform/desktop/DesktopNotifier.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "service/transfer/SafeDownloader.h"
#include "service/transfer/TransferRecord.h"

namespace quillo::playback {

CacheManager::CacheManager(service::SafeDownloader& downloader, desktop::DesktopNotifier* notifier)
    : downloader_(downloader), notifier_(notifier) {}

std::string CacheManager::Fetch(const std::string& url, const std::string& target) {
  return downloader_.Download(url, target + std::string(kPartSuffix), this,
                              /*append_extension=*/false, /*min_size=*/0, /*max_size=*/0,
                              kAttempts);
}

void CacheManager::OnFinish(service::TransferRecord& record) {
  Complete(record.status(), record.target_path(), record.total_size());
}

void CacheManager::Complete(service::TransferStatus status, const std::string& downloaded_path,
                            std::uint64_t total_bytes) {
  // A failed download's file has already been deleted by the downloader.
  if (status != service::TransferStatus::kFinished) return;
  if (!text::EndsWith(downloaded_path, kPartSuffix)) return;
  std::string final_path = downloaded_path.substr(0, downloaded_path.size() - kPartSuffix.size());

  if (!text::EndsWith(final_path, kUpdatePackageName)) {
    MoveIntoPlace(downloaded_path, final_path);
    return;
  }
  if (!fs::FileExists(downloaded_path)) return;
  if (total_bytes < kSmallestUpdatePackageBytes) {
    // A short answer means there is no newer program.
    fs::RemoveFile(downloaded_path);
    return;
  }
  MoveIntoPlace(downloaded_path, final_path);
  if (notifier_ != nullptr) {
    notifier_->Notify(std::string(kUpdateNoticeTitle), std::string(kUpdateNoticeText));
  }
}

void CacheManager::MoveIntoPlace(const std::string& from, const std::string& to) {
  // Best effort: a final name that is in the way (a folder, a file that cannot be replaced) is
  // removed and the move tried once more; nothing is reported.
  if (fs::RenamePath(from, to)) return;
  if (!fs::RemoveFile(to)) fs::RemoveEmptyFolder(to);
  fs::RenamePath(from, to);
}

}  // namespace quillo::playback
