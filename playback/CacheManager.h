#pragma once
// The download finisher (the design's `Quillo::CacheManager`): fetches a file into the target
// name + ".part" and, on success, gives it its final name. The start-up version check uses it
// for the update package "kv.ex_", which is kept only when the answer announced at least
// 200000 bytes, and then announced to the user with a desktop notice.
//
// Window thread only (the downloader delivers OnFinish there). One instance per process, owned
// by the main window; it must outlive the transfers it started (or the downloader's Shutdown).
#include <cstdint>
#include <string>
#include <string_view>

#include "service/transfer/SafeDownloaderCallback.h"
#include "service/transfer/TransferStatus.h"

namespace quillo::service {
class SafeDownloader;
}
namespace quillo::desktop {
class DesktopNotifier;
}

namespace quillo::playback {

class CacheManager : public service::SafeDownloaderCallback {
 public:
  static constexpr std::string_view kPartSuffix = ".part";
  static constexpr std::string_view kUpdatePackageName = "kv.ex_";
  static constexpr std::uint64_t kSmallestUpdatePackageBytes = 200000;
  static constexpr int kAttempts = 8;
  static constexpr std::string_view kUpdateNoticeTitle = "Zelbo音乐提示您";
  static constexpr std::string_view kUpdateNoticeText =
      "升级程序已下载完，您下次打开\nZelbo音乐时系统将自动完成更新";

  // Both must outlive this object; `notifier` may be null (no notice is shown).
  CacheManager(service::SafeDownloader& downloader, desktop::DesktopNotifier* notifier);

  // Starts the download of `url` into target + ".part": the extension is kept, no size limits,
  // 8 attempts. Answers the transfer id (empty when the downloader starts nothing).
  std::string Fetch(const std::string& url, const std::string& target);

  void OnFinish(service::TransferRecord& record) override;

  // The completion rules over a finished download's outcome: only kFinished counts; a file
  // not ending in ".part" is left alone; the update package is kept when total_bytes (the
  // length the answer announced) is at least 200000, else deleted; any other file is moved to
  // its final name. Moves that fail delete the final name and try once more.
  void Complete(service::TransferStatus status, const std::string& downloaded_path,
                std::uint64_t total_bytes);

 private:
  static void MoveIntoPlace(const std::string& from, const std::string& to);

  service::SafeDownloader& downloader_;
  desktop::DesktopNotifier* notifier_;
};

}  // namespace quillo::playback
