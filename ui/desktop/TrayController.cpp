#include "ui/desktop/TrayController.h"

#include <utility>

namespace quillo::ui {

TrayController::TrayController(WindowActions actions) : actions_(std::move(actions)) {}

TrayController::~TrayController() = default;

void TrayController::Attach(std::unique_ptr<desktop::TrayIcon> icon) {
  icon_ = std::move(icon);
  if (!icon_) return;
  icon_->SetTip(TrayMenuModel::kDefaultTip);
  icon_->SetMenu(
      TrayMenuModel::Build(actions_.menu_state ? actions_.menu_state() : TrayMenuState{}));
}

void TrayController::Remove() {
  icon_.reset();
}

void TrayController::OnSongStarted(const std::string& title) {
  if (icon_) icon_->SetTip(TrayMenuModel::Tip(title));
}

bool TrayController::MayHideToTray() const {
  return icon_ && icon_->CanShow();
}

void TrayController::OnTrayActivate() {
  if (actions_.show_window) actions_.show_window();
}

void TrayController::OnTrayMenuOpening() {
  if (icon_ && actions_.menu_state) icon_->SetMenu(TrayMenuModel::Build(actions_.menu_state()));
}

void TrayController::OnTrayCommand(int id) {
  if (actions_.command) actions_.command(id);
}

void TrayController::OnTrayAvailabilityChanged(bool can_show) {
  // A window hidden to a tray that went away could never be reached again.
  if (!can_show && window_hidden_ && actions_.tray_lost) actions_.tray_lost();
}

}  // namespace quillo::ui
