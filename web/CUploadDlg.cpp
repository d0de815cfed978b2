#include "web/CUploadDlg.h"

#include "platform/loop/LoopTarget.h"
#include "platform/loop/MainLoop.h"
#include "platform/window/FileChooser.h"
#include "service/upload/UploadManager.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::web {
namespace {

constexpr const char* kPage = "upload.html";
constexpr const char* kTitle = "上传";

CXHTMLDialog::Options UploadOptions() {
  CXHTMLDialog::Options options;
  options.resizable = false;
  options.title = kTitle;
  return options;
}

}  // namespace

CUploadDlg::CUploadDlg(store::DocumentStore& store, service::UploadManager& uploads,
                       window::FileChooser* chooser, std::string music_id,
                       std::string display_text)
    : CXHTMLDialog(store, UploadOptions()),
      uploads_(uploads),
      chooser_(chooser),
      music_id_(std::move(music_id)),
      self_(std::make_shared<CUploadDlg*>(this)) {
  std::tie(music_name_, artist_name_) = SplitDisplayText(display_text);
}

CUploadDlg::~CUploadDlg() {
  *self_ = nullptr;
  Destroy();
}

std::pair<std::string, std::string> CUploadDlg::SplitDisplayText(const std::string& text) {
  const std::size_t at = text.rfind(" - ");
  if (at == std::string::npos) return {text, std::string()};
  return {text.substr(0, at), text.substr(at + 3)};
}

void CUploadDlg::Run(ui::LayerWnd* parent) {
  const gfx::Rect owner = parent ? parent->WindowRect() : gfx::Rect{0, 0, 0, 0};
  ui::RunModal(*this, ui::CenteredOn(owner, gfx::Size{kWidth, kHeight}), parent);
}

bool CUploadDlg::Create(const gfx::Rect& screen_rect, ui::LayerWnd* parent,
                        window::WindowKind kind) {
  if (!CXHTMLDialog::Create(screen_rect, parent, kind)) return false;
  NavigateBuiltIn(kPage);
  return true;
}

void CUploadDlg::OnLoadFinished(const std::string& /*url*/) {
  if (report_) report_("upload page loaded");
}

std::vector<std::string> CUploadDlg::ExternalMethodNames() const {
  std::vector<std::string> names = CXHTMLDialog::ExternalMethodNames();
  for (const char* name : {"OpenMusicFile", "OpenLyricFile", "GetMusicName", "GetArtistName",
                           "UploadMusic", "UploadLyric"}) {
    names.emplace_back(name);
  }
  return names;
}

BridgeValue CUploadDlg::OnExternalMethod(const std::string& method,
                                         const std::vector<std::string>& args, bool& handled) {
  handled = true;
  const std::string first = args.empty() ? std::string() : args.front();
  if (method == "GetMusicName") return BridgeValue::String(music_name_);
  if (method == "GetArtistName") return BridgeValue::String(artist_name_);
  if (method == "OpenMusicFile" || method == "OpenLyricFile") {
    // The chooser runs a loop of its own: not while the page waits for this call.
    const bool music = method == "OpenMusicFile";
    if (loop::LoopTarget* target = loop_target()) {
      target->Post([self = self_, music] {
        if (*self) (*self)->Choose(music);
      });
    }
    return BridgeValue::Void();
  }
  if (method == "UploadMusic") {
    StartUpload(first, service::kUploadKindMusic);
    return BridgeValue::Void();
  }
  if (method == "UploadLyric") {
    StartUpload(first, service::kUploadKindLyric);
    return BridgeValue::Void();
  }
  handled = false;
  return CXHTMLDialog::OnExternalMethod(method, args, handled);
}

void CUploadDlg::Choose(bool music) {
  if (chooser_ == nullptr || !IsCreated()) return;
  const std::vector<std::string> chosen =
      music ? chooser_->ChooseFiles("打开", "音乐文件 (*.mp3;*.wma)", {"*.mp3", "*.wma"},
                                    presenter())
            : chooser_->ChooseFiles("打开", "歌词文件 (*.lrc;*.ksc)", {"*.lrc", "*.ksc"},
                                    presenter());
  if (chosen.empty() || *self_ == nullptr) return;
  CallPageFunction(music ? "setMusicPath" : "setLyricPath", {chosen.front()});
}

void CUploadDlg::StartUpload(const std::string& path, std::string_view kind) {
  if (path.empty()) {
    CallPageFunction("OnUploadFinished", {"0", kFailedText});
    return;
  }
  service::UploadJob job;
  job.music_id = music_id_;
  job.music_name = music_name_;
  job.artist_name = artist_name_;
  job.file_path = path;
  job.kind = std::string(kind);
  // The loop outlives the window; the window may be gone when the upload ends.
  loop::MainLoop* loop = loop_target() ? &loop_target()->loop() : nullptr;
  CallPageFunction("OnUploadProgress", {"0", "0"});
  const bool started = uploads_.StartUpload(
      std::move(job), [loop, self = self_](const service::UploadOutcome& outcome) {
        // The worker's thread: the window hears of it on its own.
        if (loop == nullptr) return;
        loop->Post([self, outcome] {
          if (*self) (*self)->OnFinished(outcome);
        });
      });
  if (!started) CallPageFunction("OnUploadFinished", {"0", kFailedText});
}

void CUploadDlg::OnFinished(const service::UploadOutcome& outcome) {
  const bool ok = outcome.complete();
  if (report_) {
    report_(ok ? "upload finished: ok, " + std::to_string(outcome.file_size_bytes) + " bytes"
               : std::string("upload finished: failed"));
  }
  CallPageFunction("OnUploadProgress", {std::to_string(outcome.acknowledged_bytes),
                                        std::to_string(outcome.file_size_bytes)});
  CallPageFunction("OnUploadFinished", {ok ? "1" : "0", ok ? kDoneText : kFailedText});
}

}  // namespace quillo::web
