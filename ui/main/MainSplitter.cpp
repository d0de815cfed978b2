// The main window's splitter and playlist panel geometry: the resize cursor over the splitter
// band, the live layout while it is dragged, the panel's scroll bar while its rows overflow.
#include "ui/lists/FileListView.h"
#include "ui/lists/PlaylistView.h"
#include "ui/main/MainIds.h"
#include "ui/main/MainListPanels.h"
#include "ui/main/SeamSongList.h"
#include "ui/main/SorvelMainDlg.h"

namespace quillo::ui {

using namespace main_ids;

bool SorvelMainDlg::FitPanelScrollBar() {
  if (!lists_ || !lists_->panel() || mini_) return false;
  lists::PlaylistView& panel = *lists_->panel();
  const gfx::Rect full = MainLayout::PanelRect(ClientSize(), panel_width_, PhoneBand());
  const bool show =
      MainLayout::HasPanelScrollBar(full.width()) && panel.ContentHeight() > full.height();
  gfx::Rect rows = full;
  if (show) rows.right -= 12;
  bool changed = false;
  if (panel.bounds() != rows) {
    SetListBounds(panel, MainListPanels::kPanelControl, rows);
    changed = true;
  }
  for (int id : {kPanelScrollUp, kPanelScrollDown, kPanelScrollThumb}) {
    if (LayerControl* c = FindControl(id); c && c->hidden == show) {
      c->hidden = !show;
      changed = true;
    }
  }
  return changed;
}

void SorvelMainDlg::OnMouseMove(const window::MouseEvent& e) {
  LayerWnd::OnMouseMove(e);  // the arrow cursor, hovers, slider drags
  if (lists_ && lists_->songs() && splitter_press_x_ < 0) {
    song_pointer_.OnMove(*lists_->songs(), e);
    if (lists_->songs()->dragging()) return;
  }
  if (mini_ || !presenter()) return;
  const bool dragging = splitter_press_x_ >= 0;
  resize_cursor_ = dragging || MainLayout::IsSplitterBand(e.pos, ClientSize(), panel_width_);
  if (resize_cursor_) presenter()->SetResizeCursor();
  if (!dragging) return;
  // The panel follows the pointer; the window is made again at the release.
  const int width = MainLayout::ClampPanelWidth(splitter_press_width_ + e.pos.x - splitter_press_x_,
                                                ClientSize().width);
  if (width == panel_width_) return;
  panel_width_ = width;
  RelayoutInPlace();
}

void SorvelMainDlg::SetListBounds(LayerListView& list, int control_id, const gfx::Rect& bounds) {
  if (list.bounds() != bounds) list.SetBounds(bounds);
  if (LayerControl* c = FindControl(control_id)) c->bounds = bounds;
}

void SorvelMainDlg::RelayoutInPlace() {
  if (mini_) return;
  for (const MainControlEntry& entry : MainLayout::Normal(LayoutState())) {
    LayerControl* c = FindControl(entry.id);
    if (!c) continue;
    if (entry.kind == MainControlEntry::Kind::kSlider) {
      // The thumb keeps its place along its moved track.
      const int dx = c->bounds.left - c->track.left, dy = c->bounds.top - c->track.top;
      c->track = entry.track;
      c->bounds = gfx::Rect::FromXYWH(entry.track.left + dx, entry.track.top + dy,
                                      c->bounds.width(), c->bounds.height());
    } else {
      c->bounds = entry.bounds;
    }
    if (entry.id == kPanelOpen || entry.id == kPanelClose || entry.id == kPhoneFiles ||
        entry.id == kPanelToggle1 || entry.id == kPanelToggle2) {
      c->hidden = entry.hidden;
    }
  }
  const gfx::Rect list = MainLayout::SongListRect(ClientSize(), panel_width_, false, PhoneBand());
  if (lists_) {
    if (lists_->songs())
      SetListBounds(*lists_->songs(), MainListPanels::kSongListControl,
                    gfx::Rect{list.left, list.top, list.right - 12, list.bottom});
    FitPanelScrollBar();
  } else if (song_list_) {
    song_list_->SetBounds(list);
  }
  Redraw();
}

}  // namespace quillo::ui
