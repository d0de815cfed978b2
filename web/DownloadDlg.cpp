#include "web/DownloadDlg.h"

#include <filesystem>
#include <system_error>

#include "service/transfer/SafeDownloader.h"
#include "service/transfer/TransferRecord.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::web {
namespace {

constexpr const char* kCaption = "Zelbo音乐播放器";
constexpr const char* kPage = "downloaddlg.html";

CXHTMLDialog::Options DownloadOptions(std::string title) {
  CXHTMLDialog::Options options;
  options.resizable = false;
  options.title = title.empty() ? kCaption : std::move(title);
  return options;
}

}  // namespace

DownloadDlg::DownloadDlg(store::DocumentStore& store, service::SafeDownloader& downloader,
                         std::string title, std::string url, std::string target_path)
    : CXHTMLDialog(store, DownloadOptions(std::move(title))),
      downloader_(downloader),
      url_(std::move(url)),
      target_path_(std::move(target_path)) {}

DownloadDlg::~DownloadDlg() {
  CancelDownload();
  Destroy();
}

bool DownloadDlg::Run(ui::LayerWnd* parent) {
  const gfx::Rect owner = parent ? parent->WindowRect() : gfx::Rect{0, 0, 0, 0};
  ui::RunModal(*this, ui::CenteredOn(owner, gfx::Size{kWidth, kHeight}), parent);
  return finished_;
}

bool DownloadDlg::Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
                         window::WindowKind kind) {
  if (!CXHTMLDialog::Create(screen_rect, parent, kind)) return false;
  NavigateBuiltIn(kPage);
  return true;
}

std::vector<std::string> DownloadDlg::ExternalMethodNames() const {
  std::vector<std::string> names = CXHTMLDialog::ExternalMethodNames();
  names.emplace_back("OnLoad");
  names.emplace_back("Cancel");
  return names;
}

BridgeValue DownloadDlg::OnExternalMethod(const std::string& method,
                                          const std::vector<std::string>& args, bool& handled) {
  if (method == "OnLoad") {
    handled = true;
    StartDownload();
    return BridgeValue::Void();
  }
  if (method == "Cancel") {
    handled = true;
    if (!finished_) CancelDownload();
    finished_ = false;
    PostClose();
    return BridgeValue::Void();
  }
  return CXHTMLDialog::OnExternalMethod(method, args, handled);
}

void DownloadDlg::StartDownload() {
  if (finished_) return;
  // A retry replaces the transfer that failed (or still runs): never two on one part file.
  CancelDownload();
  transfer_id_ = downloader_.Download(url_, target_path_ + ".part", this, false, 0, kMaximumBytes,
                                      kAttempts);
  if (transfer_id_.empty()) CallPageFunction("OnDownloadError", {kErrorText});
}

void DownloadDlg::CancelDownload() {
  if (transfer_id_.empty()) return;
  downloader_.Cancel(transfer_id_);
  transfer_id_.clear();
}

void DownloadDlg::OnClose() {
  CancelDownload();
  CXHTMLDialog::OnClose();
}

void DownloadDlg::OnStart(service::TransferRecord& record) {
  if (record.id() != transfer_id_) return;
  CallPageFunction("OnStartDownload");
}

void DownloadDlg::OnData(service::TransferRecord& record) {
  if (record.id() != transfer_id_) return;
  CallPageFunction("OnDownloadProgress", {std::to_string(record.received_size()),
                                          std::to_string(record.total_size())});
}

void DownloadDlg::OnFinish(service::TransferRecord& record) {
  if (record.id() != transfer_id_) return;
  transfer_id_.clear();
  if (record.status() != service::TransferStatus::kFinished || !PlaceFile()) {
    CallPageFunction("OnDownloadError", {kErrorText});
    return;
  }
  CallPageFunction("OnFinishDownload", {kFinishedText});
  finished_ = true;
  PostClose();
}

bool DownloadDlg::PlaceFile() {
  namespace fs = std::filesystem;
  const fs::path part = target_path_ + ".part";
  std::error_code error;
  fs::rename(part, target_path_, error);
  if (!error) return true;
  // Another file system, or a target in use: a copy over it, then the part goes.
  if (!fs::copy_file(part, target_path_, fs::copy_options::overwrite_existing, error)) return false;
  fs::remove(part, error);
  return true;
}

}  // namespace quillo::web
