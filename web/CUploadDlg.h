#pragma once
// The upload window, opened from the lyric window for the song being played: its page lets the
// user choose a music or lyric file and send it to the service's upload host. The window
// answers the page's GetMusicName / GetArtistName from the song's display text (before and
// after its last " - "), opens the file choosers (then calls the page's setMusicPath or
// setLyricPath), starts uploads, and tells the page how each went through its functions
// OnUploadProgress(sent, total) and OnUploadFinished(ok, text).
//
// Window thread only; modal, 417 × 300, fixed.
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/loop/Subscription.h"
#include "service/upload/UploadJob.h"
#include "web/CXHTMLDialog.h"

namespace quillo::window {
class FileChooser;
}
namespace quillo::service {
class UploadManager;
}

namespace quillo::web {

class CUploadDlg : public CXHTMLDialog {
 public:
  static constexpr int kWidth = 417;
  static constexpr int kHeight = 300;
  // The texts OnUploadFinished gets.
  static constexpr const char* kDoneText = "上传完成";
  static constexpr const char* kFailedText = "上传失败";

  // `display_text` is the playing song's "title - artist" text.
  CUploadDlg(store::DocumentStore& store, service::UploadManager& uploads,
             window::FileChooser* chooser, std::string music_id, std::string display_text);
  ~CUploadDlg() override;

  // The text before and after the last " - " (all of it, and nothing, without one).
  static std::pair<std::string, std::string> SplitDisplayText(const std::string& text);

  void Run(ui::LayerWnd* parent);
  // Told how each upload ended ("upload finished: ok, N bytes" / "upload finished: failed").
  void SetReport(std::function<void(const std::string&)> report) { report_ = std::move(report); }

  bool Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
              window::WindowKind kind = window::WindowKind::kDialog) override;
  void OnLoadFinished(const std::string& url) override;

 protected:
  BridgeValue OnExternalMethod(const std::string& method, const std::vector<std::string>& args,
                               bool& handled) override;
  std::vector<std::string> ExternalMethodNames() const override;

 private:
  void Choose(bool music);
  void StartUpload(const std::string& path, std::string_view kind);
  void OnFinished(const service::UploadOutcome& outcome);

  service::UploadManager& uploads_;
  window::FileChooser* chooser_;
  std::string music_id_;
  std::string music_name_;
  std::string artist_name_;
  // Cleared when the window goes: a finish posted later finds it empty.
  std::shared_ptr<CUploadDlg*> self_;
  std::function<void(const std::string&)> report_;
};

}  // namespace quillo::web
