#pragma once
// The component download window: one file fetched with a progress page built into the program.
// Its page calls OnLoad when it has loaded (and again to retry) and Cancel; the window calls the
// page's OnStartDownload, OnDownloadProgress(received, total), OnFinishDownload and
// OnDownloadError. The file arrives as target + ".part" and takes the target's name only when it
// is whole.
//
// Window thread only; modal.
#include <string>

#include "service/transfer/SafeDownloaderCallback.h"
#include "web/CXHTMLDialog.h"

namespace quillo::service {
class SafeDownloader;
}

namespace quillo::web {

class DownloadDlg : public CXHTMLDialog, public service::SafeDownloaderCallback {
 public:
  static constexpr int kWidth = 420;
  static constexpr int kHeight = 180;
  static constexpr std::int64_t kMaximumBytes = 10000000;
  static constexpr int kAttempts = 8;
  // The texts handed to the page's end functions; the page shows its own.
  static constexpr const char* kFinishedText = "下载完成";
  static constexpr const char* kErrorText = "无法下载文件";

  DownloadDlg(store::DocumentStore& store, service::SafeDownloader& downloader, std::string title,
              std::string url, std::string target_path);
  ~DownloadDlg() override;

  // Runs the window modally over `parent` (may be null); true when the file arrived whole.
  bool Run(ui::LayerWnd* parent);

  bool finished() const { return finished_; }
  const std::string& transfer_id() const { return transfer_id_; }

  // SafeDownloaderCallback
  void OnStart(service::TransferRecord& record) override;
  void OnData(service::TransferRecord& record) override;
  void OnFinish(service::TransferRecord& record) override;

  bool Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kDialog) override;

 protected:
  BridgeValue OnExternalMethod(const std::string& method, const std::vector<std::string>& args,
                               bool& handled) override;
  std::vector<std::string> ExternalMethodNames() const override;
  void OnClose() override;

 private:
  void StartDownload();
  void CancelDownload();
  // Moves the part file over the target (copies when the move fails); false when neither works.
  bool PlaceFile();

  service::SafeDownloader& downloader_;
  std::string url_;
  std::string target_path_;
  std::string transfer_id_;
  bool finished_ = false;
};

}  // namespace quillo::web
