#include "ui/lyricviews/LyricViews.h"

#include "lyrics/LyricAnalyzer.h"
#include "platform/window/WindowSystem.h"
#include "playback/Player.h"
#include "ui/dialogs/Lyricerroreport.h"
#include "ui/lyricviews/CLyricBar.h"
#include "ui/lyricviews/LyricDlg.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {
namespace {

constexpr const char* kLockNoticeTitle = "Zelbo音乐提示您";
constexpr const char* kLockNoticeText = "右键单击此图标选择解锁";

}  // namespace

LyricViews::LyricViews(loop::MainLoop& loop, SorvelMainDlg& window, Sources sources, Links links)
    : target_(loop),
      window_(window),
      parts_{sources.store,  sources.playlists, sources.analyzer, sources.player,
             sources.play,   *this,             sources.chooser},
      links_(std::move(links)) {}

LyricViews::~LyricViews() {
  if (dialog_) dialog_->Shut();
  if (bar_) bar_->Shut();
}

void LyricViews::ReloadLooks() {
  if (dialog_) dialog_->ReloadLook();
  if (bar_) bar_->ReloadLook();
}

void LyricViews::ShowView(bool dialog) {
  if (dialog) {
    ShowLyricBar(false);
    ShowLyricWindow(true);
  } else {
    ShowLyricWindow(false);
    ShowLyricBar(true);
  }
}

void LyricViews::HideViews() {
  ShowLyricWindow(false);
  ShowLyricBar(false);
}

void LyricViews::ToggleBarLock() {
  if (bar_) bar_->ToggleBarLock();
}

bool LyricViews::BarLocked() const {
  return bar_ && bar_->locked();
}

std::optional<std::string> LyricViews::CurrentLine() {
  if (parts_.analyzer.GetState() != 0) return std::nullopt;
  const int position_ms = parts_.player.GetPositionMs();
  if (position_ms <= 0) return std::nullopt;
  const lyrics::LyricLine* line = parts_.analyzer.FindLine(position_ms);
  if (!line) return std::nullopt;
  return line->text;
}

LayerWnd* LyricViews::MainWindow() {
  return window_.IsCreated() ? &window_ : nullptr;
}

void LyricViews::AttachWindow(AttachableWindow& window) {
  window_.attached().AttachWindow(window, window_.WindowRect());
}

void LyricViews::DetachWindow(AttachableWindow& window) {
  window_.attached().DetachWindow(window);
}

void LyricViews::NoteMoveStart(AttachableWindow& window, gfx::Point grab) {
  window_.attached().NoteMoveStart(window, grab);
}

gfx::Rect LyricViews::OnAttachedMoving(AttachableWindow& window, const gfx::Rect& proposed) {
  window::WindowSystem* system = window::WindowSystem::Instance();
  const gfx::Point cursor = system ? system->CursorPosition() : gfx::Point{};
  return window_.attached().OnAttachedMoving(window, window_.WindowRect(), proposed, cursor);
}

void LyricViews::CloseLyricViews() {
  // The main window writes the remembered state, shows its open button and hides the views.
  window_.CloseLyricView(true);
}

void LyricViews::ShowLyricWindow(bool show) {
  if (show) {
    if (dialog_) return;
    // The window registers with the main window's attached windows itself, and leaves them
    // when it is shut.
    auto dialog = std::make_unique<LyricDlg>(parts_);
    if (!dialog->Open()) return;
    dialog_ = std::move(dialog);
    return;
  }
  if (!dialog_) return;
  dialog_->Shut();
  Retire(std::move(dialog_));
}

void LyricViews::ShowLyricBar(bool show) {
  if (show) {
    if (bar_) return;
    auto bar = std::make_unique<CLyricBar>(parts_);
    if (!bar->Open()) return;
    bar_ = std::move(bar);
    return;
  }
  if (!bar_) return;
  bar_->Shut();
  Retire(std::move(bar_));
}

void LyricViews::Retire(std::unique_ptr<LayerWnd> view) {
  retired_.push_back(std::move(view));
  if (retired_.size() == 1) target_.Post([this] { retired_.clear(); });
}

void LyricViews::OnBarLockChanged(bool locked) {
  if (locked && links_.notify) links_.notify(kLockNoticeTitle, kLockNoticeText);
}

void LyricViews::OpenLyricErrorReport(LayerWnd& over) {
  ShowLyricErrorReport(parts_.analyzer, &over);
}

void LyricViews::ShowSettingsPage(int page) {
  if (links_.show_settings_page) links_.show_settings_page(page);
}

void LyricViews::ShowUploadWindow(const std::string& music_id, const std::string& display_text) {
  if (links_.show_upload) links_.show_upload(music_id, display_text);
}

std::string LyricViews::ServiceBaseUrl() {
  return links_.service_base_url ? links_.service_base_url() : std::string();
}

void LyricViews::OpenInBrowser(const std::string& url) {
  window_.OpenInBrowser(url);
}

}  // namespace quillo::ui
