#include "ui/dialogs/LoginDialogs.h"

#include <algorithm>

#include "platform/shell/DetachedLauncher.h"
#include "platform/window/WindowSystem.h"
#include "service/session/LoginSession.h"
#include "store/Playlists.h"
#include "ui/dialogs/LoginDlg.h"
#include "ui/dialogs/LoginLoadingDlg.h"
#include "ui/toolkit/LayerWindowRegistry.h"
#include "ui/toolkit/RunModal.h"

namespace quillo::ui {
namespace {
// Where a dialog of the size goes: centred on the owner when it is shown, else on the screen's
// work area; never left of or above the screen's top-left.
gfx::Rect PlaceDialog(LayerWnd*& owner, gfx::Size size) {
  if (!owner) owner = LayerWindowRegistry::MainWindow();
  gfx::Rect around;
  if (owner && owner->IsCreated()) {
    around = owner->WindowRect();
  } else {
    owner = nullptr;
    if (window::WindowSystem* system = window::WindowSystem::Instance())
      around = system->WorkArea();
  }
  return CenteredOn(around, size);
}
}  // namespace

struct LoginDialogs::Waiting {
  int number = 0;
  LoginLoadingDlg dialog;
};

void OpenInDefaultBrowser(const std::string& url) {
  if (url.empty()) return;
  shell::LaunchDetached({"xdg-open", url}, shell::ChildOutput::kDiscard);
}

LoginDialogs::LoginDialogs(store::Playlists& playlists, service::ServicePages pages, Links links)
    : playlists_(playlists), pages_(std::move(pages)), links_(std::move(links)) {}

LoginDialogs::~LoginDialogs() = default;

void LoginDialogs::Open(const OpenUrl& opener, const std::string& url) const {
  if (opener) {
    opener(url);
  } else if (links_.open_in_browser) {
    links_.open_in_browser(url);
  } else {
    OpenInDefaultBrowser(url);
  }
}

void LoginDialogs::ShowLoginDialog() {
  std::vector<std::string> accounts;
  for (const store::UserInfo& user : playlists_.ListUsers()) {
    if (!user.username.empty()) accounts.push_back(user.username);
  }
  LoginDlg::Hooks hooks;
  hooks.check_fields = [this](const std::string& name, const std::string& password) {
    if (session_) return session_->CheckLoginFields(name, password);
    return !name.empty() && !password.empty();
  };
  hooks.forgot_password = [this] { Open(links_.open_in_browser, pages_.RetrievePassword()); };
  LoginDlg dialog(std::move(accounts), std::move(hooks));
  LayerWnd* owner = owner_;
  gfx::Rect rect = PlaceDialog(owner, gfx::Size{LoginDlg::kWidth, LoginDlg::kHeight});
  if (!RunModal(dialog, rect, owner)) return;
  switch (dialog.outcome()) {
    case LoginDlg::Outcome::kLogin:
      if (session_) session_->Login(dialog.user_name(), dialog.password());
      break;
    case LoginDlg::Outcome::kRegister:
      Open(links_.open_hosted_page, pages_.Register());
      break;
    case LoginDlg::Outcome::kCancelled:
      break;
  }
}

bool LoginDialogs::ShowWaitingDialog(int dialog) {
  if (!window::WindowSystem::Instance()) return false;
  waiting_.push_back(std::make_unique<Waiting>());
  Waiting& waiting = *waiting_.back();
  waiting.number = dialog;
  LayerWnd* owner = owner_;
  gfx::Rect rect = PlaceDialog(owner, gfx::Size{LoginLoadingDlg::kWidth, LoginLoadingDlg::kHeight});
  bool shown = RunModal(waiting.dialog, rect, owner);
  // A nested login's dialog may have been shown and gone meanwhile: remove this one by identity.
  auto it = std::find_if(waiting_.begin(), waiting_.end(),
                         [&](const std::unique_ptr<Waiting>& w) { return w.get() == &waiting; });
  if (it != waiting_.end()) waiting_.erase(it);
  return shown;
}

void LoginDialogs::PostCloseWaitingDialog(int dialog) {
  for (const std::unique_ptr<Waiting>& waiting : waiting_) {
    if (waiting->number == dialog && waiting->dialog.IsCreated()) waiting->dialog.PostAnswerClose();
  }
}

int LoginDialogs::open_waiting_dialog() const {
  for (auto it = waiting_.rbegin(); it != waiting_.rend(); ++it) {
    if ((*it)->dialog.IsCreated()) return (*it)->number;
  }
  return 0;
}

}  // namespace quillo::ui
