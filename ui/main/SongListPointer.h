#pragma once
// The pointer and keys over the main window's song list, beyond presses (which the list control
// takes): moves and releases drive the drag of songs onto the panel (its picture follows the
// pointer, with the add badge over a row that takes them), Esc and a lost grab cancel it, the
// list's keys (Ctrl+A, Enter) reach it, and a pointer resting on a song shows the song tip.
//
// Window thread. The window and its lists outlive this object; the window calls Forget when it
// makes its lists again.
#include <optional>

#include "platform/gfx/Geometry.h"
#include "platform/window/WindowEvents.h"

namespace quillo::ui {

class LayerWnd;
namespace lists {
class FileListView;
}

class SongListPointer {
 public:
  explicit SongListPointer(LayerWnd& window) : window_(window) {}

  void OnMove(lists::FileListView& songs, const window::MouseEvent& e);
  void OnButtonUp(lists::FileListView& songs, const window::MouseEvent& e);
  // Answers whether the list used the key.
  bool OnKey(lists::FileListView& songs, const window::KeyEvent& e);
  void OnCaptureLost(lists::FileListView& songs);
  // The pointer left the window.
  void OnLeave();
  // The lists are made again: no hovered row, no tip, no drag picture.
  void Forget();

  int hovered_row() const { return hovered_row_; }

 private:
  void ShowDragPicture(lists::FileListView& songs, bool droppable);
  void EndDragPicture();
  void TipForRow(lists::FileListView& songs, int row);
  void HideTip();

  LayerWnd& window_;
  int hovered_row_ = -1;
  // The drag picture shown and whether it carries the add badge.
  std::optional<bool> picture_droppable_;
  // Where the button went down over the list: a move of the tip's threshold from here hides it.
  std::optional<gfx::Point> press_;
};

}  // namespace quillo::ui
