#include "ui/main/MainLoginView.h"

#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

void MainLoginView::ShowAlert(const std::string& text) {
  window_.ShowAlert(text);
}
void MainLoginView::RefreshPlaylistTree() {
  window_.RefreshPlaylistTree();
}
void MainLoginView::ShowUserName(const std::string& user_name) {
  window_.ShowUserName(user_name);
}
void MainLoginView::Redraw() {
  window_.Redraw();
}
void MainLoginView::PostLoginRefresh() {
  window_.PostLoginRefresh();
}
bool MainLoginView::IsMiniMode() const {
  return window_.IsMiniMode();
}

}  // namespace quillo::ui
