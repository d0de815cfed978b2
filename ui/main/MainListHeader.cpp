// The main window's song list header (the shown list's title and the arrow of its menu), the
// phone panel's minimise and expand buttons, and the service's address arriving after the
// window was made.
#include "platform/gfx/Painter.h"
#include "resources/skins/SkinLayout.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/PlaylistView.h"
#include "ui/main/MainIds.h"
#include "ui/main/MainListPanels.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

using namespace main_ids;
namespace keys = main_keys;
namespace m = skin::main;

void SorvelMainDlg::SetListTitle(const std::string& title) {
  list_title_ = title;
  UpdateListHeader();
}

void SorvelMainDlg::OnListShown(const std::string& list_id) {
  // Whoever showed the list, the title is the one of the list shown; a list the panel has no
  // name for (a group's songs) keeps the title it was chosen under.
  if (lists_ && lists_->panel()) {
    std::string title = lists_->panel()->model().TitleOf(list_id);
    if (!title.empty()) list_title_ = std::move(title);
  }
  UpdateListHeader();
  const int rows = lists_ && lists_->songs() ? lists_->songs()->RowCount() : 0;
  listeners_.ForEach([&](MainWindowListener& listener) { listener.OnListShown(list_id, rows); });
}

void SorvelMainDlg::UpdateListHeader() {
  const bool menu = lists_ && lists_->panel() && lists_->panel()->ShownListHasHeaderMenu();
  LayerControl* title = FindControl(kListHeader1);
  if (title) title->text = list_title_;
  if (!IsCreated()) {
    // The layout is being built (the lists show their first list then): the controls take the
    // state and are drawn with the window.
    if (LayerControl* arrow = FindControl(kListHeader2)) arrow->hidden = !menu;
    return;
  }
  if (title) RedrawControl(*title);
  ShowControl(kListHeader2, menu);
  UpdateIfDirty();
}

void SorvelMainDlg::DrawListHeaderTitle(LayerControl& c) {
  RestoreBackground(c.bounds);
  gfx::Painter painter(back_buffer());
  gfx::TextOptions options;
  options.vertical_center = true;
  options.ellipsize = true;
  painter.DrawText(c.text, gfx::Font::Points("黑体", 9), SkinColor(m::kTextPixel), c.bounds,
                   options);
  SetNeedsUpdate();
}

void SorvelMainDlg::SetPhonePanelMinimized(bool minimized) {
  phone_minimized_ = minimized;
  SetConfigText(keys::kDeviceMinimized, minimized ? "true" : "false");
  ShowControl(kPanelToggle1, !minimized);
  ShowControl(kPanelToggle2, minimized);
  if (parts_.later.phone) parts_.later.phone->SetMinimized(minimized);
  // The lists grow or shrink by the panel's band.
  if (PhoneBand() > 0) {
    RelayoutInPlace();
  } else {
    UpdateIfDirty();
  }
}

void SorvelMainDlg::OnServiceKnown(bool available) {
  if (lists_ && lists_->panel()) lists_->panel()->OnServiceKnown(available);
  UpdateIfDirty();
}

}  // namespace quillo::ui
