#include "ui/main/SongListPointer.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "store/SafeNames.h"
#include "ui/dialogs/MusicTipDlg.h"
#include "ui/lists/FileListView.h"
#include "ui/lists/SongDragCursor.h"
#include "ui/toolkit/DesktopWorkArea.h"
#include "ui/toolkit/LayerWnd.h"

namespace quillo::ui {

namespace {

const std::string& Attribute(const store::MusicRecord& record, const char* key) {
  static const std::string kEmpty;
  auto it = record.find(key);
  return it == record.end() ? kEmpty : it->second;
}

}  // namespace

void SongListPointer::OnMove(lists::FileListView& songs, const window::MouseEvent& e) {
  if (e.left_held && !press_ && songs.bounds().Contains(e.pos)) press_ = e.pos;
  if (!e.left_held) press_.reset();
  songs.OnMouseMove(e);
  if (songs.dragging()) {
    HideTip();
    ShowDragPicture(songs, songs.CanDropAt(e.pos));
    window_.UpdateIfDirty();
    return;
  }
  if (press_ && std::abs(e.pos.x - press_->x) + std::abs(e.pos.y - press_->y) >=
                    MusicTipDlg::kDragThreshold) {
    HideTip();
    return;
  }
  const int row = songs.bounds().Contains(e.pos) ? songs.RowAt(e.pos) : -1;
  if (row < 0) {
    HideTip();
    return;
  }
  if (row == hovered_row_ || e.left_held) return;
  hovered_row_ = row;
  // Only for the window the person works in (a tip over another program's window is noise).
  if (window_.IsActive()) TipForRow(songs, row);
}

void SongListPointer::OnButtonUp(lists::FileListView& songs, const window::MouseEvent& e) {
  press_.reset();
  const bool was_dragging = songs.dragging();
  songs.OnMouseUp(e);
  if (was_dragging) EndDragPicture();
}

bool SongListPointer::OnKey(lists::FileListView& songs, const window::KeyEvent& e) {
  const bool was_dragging = songs.dragging();
  const bool used = songs.OnKeyDown(e);
  if (was_dragging && !songs.dragging()) EndDragPicture();
  if (used) window_.UpdateIfDirty();
  return used;
}

void SongListPointer::OnCaptureLost(lists::FileListView& songs) {
  press_.reset();
  if (!songs.dragging()) return;
  songs.CancelDrag();
  EndDragPicture();
}

void SongListPointer::OnLeave() {
  HideTip();
}

void SongListPointer::Forget() {
  hovered_row_ = -1;
  press_.reset();
  picture_droppable_.reset();
  HideSongTip();
}

void SongListPointer::ShowDragPicture(lists::FileListView& songs, bool droppable) {
  if (picture_droppable_ == droppable || !window_.presenter()) return;
  picture_droppable_ = droppable;
  const gfx::Surface picture = lists::SongDragCursor::Draw(songs.DraggedNames(), droppable);
  window_.presenter()->SetImageCursor(picture, lists::SongDragCursor::Hotspot());
}

void SongListPointer::EndDragPicture() {
  picture_droppable_.reset();
  if (window_.presenter()) window_.presenter()->SetArrowCursor();
  window_.UpdateIfDirty();
}

void SongListPointer::TipForRow(lists::FileListView& songs, int row) {
  const store::MusicRecord* record = songs.model().RecordAt(row);
  if (record == nullptr) {
    HideTip();
    return;
  }
  const std::string& title = Attribute(*record, "name");
  const std::string& artist = Attribute(*record, "artist_name");
  const std::string& album = Attribute(*record, "album_name");
  const bool local = store::IsLocalId(store::IdOf(*record));
  const int width = SongTipWidth({title, artist, local ? std::string("本地音乐") : album});
  const gfx::Rect window = window_.WindowRect();
  const gfx::Rect list = songs.bounds().Offset(window.left, window.top);
  const int row_top = list.top + row * songs.row_height() - songs.scroll_offset();
  const gfx::Point at =
      SongTipPosition(list, songs.scroll_bar_width(), row_top, width, DesktopWorkArea());
  ShowSongTip(at.x, at.y, width, title, artist, album, local, &window_);
}

void SongListPointer::HideTip() {
  if (hovered_row_ < 0) return;
  hovered_row_ = -1;
  HideSongTip();
}

}  // namespace quillo::ui
