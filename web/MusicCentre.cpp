#include "web/MusicCentre.h"

#include "platform/window/WindowSystem.h"
#include "store/DocumentStore.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::web {

MusicCentre::MusicCentre(Parts parts) : parts_(std::move(parts)) {
  // A log-in the page reports counts once the program holds the page's session cookie.
  if (auto logged_in = parts_.links.page_logged_in) {
    parts_.links.page_logged_in = [this, logged_in] {
      const std::string base = parts_.links.base_url ? parts_.links.base_url() : std::string();
      WebCookies::Export(base, [this, logged_in](std::vector<std::string> lines) {
        if (parts_.add_program_cookies) parts_.add_program_cookies(lines);
        logged_in();
      });
    };
  }
  parts_.store.AddListener(this);
}

MusicCentre::~MusicCentre() {
  parts_.store.RemoveListener(this);
  frame_.reset();
}

void MusicCentre::CookiesToPages() {
  if (parts_.program_cookies) WebCookies::Import(parts_.program_cookies());
}

void MusicCentre::OnUserChanged(const std::string& /*user_id*/) {
  // A log-in or logout of the program shows on the pages at their next load.
  if (frame_) CookiesToPages();
}

void MusicCentre::Open(const std::string& url) {
  const bool first = frame_ == nullptr;
  if (first) {
    CookiesToPages();
    frame_ = std::make_unique<ExternalDlg>(*this, parts_.store, parts_.links, parts_.downloads_tab);
  }
  const std::string base = parts_.links.base_url ? parts_.links.base_url() : std::string();
  // The bare base address means "the panel", not a page: the first opening starts at the first
  // page, later ones keep what the user was reading.
  if (base.empty()) {
    // Until the service's address is known the main window's addresses are relative ones.
    if (!url.empty()) frame_->pages().OpenRelative(url);
  } else if (url != base) {
    frame_->pages().OpenAbsolute(url);
  }
  if (!frame_->Open()) return;
  frame_->SelectTab(ExternalDlg::Tab::kMusic);
}

void MusicCentre::OnServiceKnown() {
  if (!frame_) return;
  CookiesToPages();
  frame_->pages().OnServiceKnown();
}

void MusicCentre::Close() {
  if (frame_ && frame_->IsCreated()) frame_->Hide();
}

bool MusicCentre::IsOpen() const { return frame_ && frame_->IsVisible(); }

bool MusicCentre::ShowMusic(const std::string& music_id) {
  if (!IsOpen() || !frame_->pages().view() || !frame_->pages().view()->IsLoaded()) return false;
  frame_->SelectTab(ExternalDlg::Tab::kMusic);
  frame_->pages().ShowMusic(music_id);
  return true;
}

ui::LayerWnd* MusicCentre::MainWindow() { return &parts_.window; }

void MusicCentre::AttachWindow(ui::AttachableWindow& window) {
  parts_.window.attached().AttachWindow(window, parts_.window.WindowRect());
}

void MusicCentre::DetachWindow(ui::AttachableWindow& window) {
  parts_.window.attached().DetachWindow(window);
}

void MusicCentre::NoteMoveStart(ui::AttachableWindow& window, gfx::Point grab) {
  parts_.window.attached().NoteMoveStart(window, grab);
}

gfx::Rect MusicCentre::OnAttachedMoving(ui::AttachableWindow& window, const gfx::Rect& proposed) {
  window::WindowSystem* system = window::WindowSystem::Instance();
  const gfx::Point cursor = system ? system->CursorPosition() : gfx::Point{};
  return parts_.window.attached().OnAttachedMoving(window, parts_.window.WindowRect(), proposed,
                                                   cursor);
}

void MusicCentre::CloseRequested() { parts_.window.CloseExtPanel(); }

}  // namespace quillo::web
