#pragma once
// The song list on the right of the main window: a multi-selection layer list showing the songs
// of the list chosen in the panel, or the library's albums or artists as groups. It draws the
// rows (number column, title, artist in a second colour, the playing row and the selection in
// their own colours, songs that failed greyed), plays a double-clicked song, opens a group's
// songs as "t__filter", filters through ApplyFilter, sorts, pops up the context menu of the
// list kind and drags selected songs onto the playlist panel.
//
// Window thread. Lives inside its owner window (a drawable, not a window). The owner routes
// input: left presses and double-clicks reach it through LayerWnd's list control (AddList);
// right clicks (OnContextMenu), pointer moves and releases (OnMouseMove, OnMouseUp, for
// dragging), keys (OnKeyDown) and wheel steps (OnWheel) the owner passes on itself. The owner
// also calls MarkPlayingSong from its PlayQueueView.
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/window/MenuItem.h"
#include "platform/window/WindowEvents.h"
#include "store/MusicRecord.h"
#include "ui/lists/ListViewDeps.h"
#include "ui/lists/SongListModel.h"
#include "ui/toolkit/LayerListView.h"

namespace quillo::ui::lists {

class FilterEdit;
class PlaylistView;

class FileListView : public LayerListViewM {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kScrollBarWidth = 0;  // the owner draws the scroll bar (35–37) beside it
  // How far the pointer moves with the button held before a drag starts.
  static constexpr int kDragThreshold = 4;
  // The "添加到播放列表" entries 50000 + n this list routes.
  static constexpr int kMaxAddToListEntries = 1000;

  FileListView(LayerWnd& owner, const gfx::Rect& rect, const ListViewDeps& deps);
  ~FileListView() override;


  // ---- The list shown -------------------------------------------------------------------------
  // Shows the list (rows, selection, playing row and filter text reset; the search box emptied),
  // scrolled to the top, and redraws.
  void ShowList(const std::string& list_id);
  // Reloads the shown list keeping the selection by song id; redraws.
  void RefreshList();
  // Narrows the rows to the text (the search box's timer calls it); scrolls to the top and
  // redraws when the filter changed.
  void ApplyFilter(const std::string& text);
  // Makes the search keys of the shown songs now (the search box's focus does this).
  void PrepareFilter() { model_.PrepareFilter(); }
  // The player started (or holds) this song: the playing row follows.
  void MarkPlayingSong(const std::string& music_id);
  const std::string& ShownListId() const { return model_.list_id(); }
  const SongListModel& model() const { return model_; }
  // Selects rows (as clicks would) and redraws.
  void SelectRows(std::set<int> rows);

  // ---- Commands and menus -------------------------------------------------------------------
  // The song list's commands: 32773 play, 33043/33044 information, 32946/32947 sort, and the
  // list commands 32873, 33046, 32861, 33039, 32982 and 50000 + n (through PlaylistSync). False
  // for any other id.
  bool HandleCommand(int command_id);
  // A right click at a window point: a click on an unselected song selects it first; pops up the
  // menu of the list kind (none in group modes, none on the empty space of a temporary list).
  // Answers the menu shown so tests can read it.
  std::vector<window::MenuItem> OnContextMenu(gfx::Point p);
  // The "添加到播放列表" menu of the selection (header button 49), popped up at a window point.
  std::vector<window::MenuItem> ShowAddToListMenu(gfx::Point p);
  // "排列歌曲" at a window point (header buttons 47, 48).
  std::vector<window::MenuItem> ShowSortMenu(gfx::Point p);

  // ---- Input the owner passes on --------------------------------------------------------------
  // The modifier keys held at the next press (the window passes them from the press event).
  void SetModifiers(bool control, bool shift) override;
  void OnMouseMove(const window::MouseEvent& e);
  void OnMouseUp(const window::MouseEvent& e);
  // Esc cancels a drag; Ctrl+A selects every song; Enter plays the focus row. Answers whether
  // the key was used.
  bool OnKeyDown(const window::KeyEvent& e);
  void OnWheel(int delta_steps);
  bool dragging() const { return dragging_; }
  // Ends a drag without dropping (the window lost the pointer).
  void CancelDrag() { EndDrag(false, gfx::Point{}); }
  // While dragging: the display names of the songs dragged ("title - artist"), and whether the
  // panel takes them at a window point.
  std::vector<std::string> DraggedNames() const;
  bool CanDropAt(gfx::Point p) const;

  // The panel songs are dropped on, and the search box that ShowList empties (both may be null;
  // both must outlive the list while set).
  void SetPanel(PlaylistView* panel) { panel_ = panel; }
  // The search box: emptied by ShowList; its focus makes the list prepare its search.
  void SetFilterEdit(FilterEdit* edit);

  // ---- LayerListView ------------------------------------------------------------------------
  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override { return model_.RowCount(); }
  bool IsSelected(int index) const override { return model_.selection().count(index) != 0; }
  void OnRowClicked(int index) override;
  void OnRowActivated(int index) override;

 private:
  std::string PlayingId() const;
  void Redraw();
  // After the rows changed: scroll (to the top when asked), selection to the base, redraw.
  void AfterRowsChanged(bool to_top);
  void PopupMenu(const std::vector<window::MenuItem>& items, gfx::Point p);
  bool IsSortable() const;
  std::string SortColumn() const;
  bool HandleSort(const std::string& attribute);
  void EndDrag(bool drop, gfx::Point p);

  ListViewDeps deps_;
  SongListModel model_;
  PlaylistView* panel_ = nullptr;
  FilterEdit* filter_edit_ = nullptr;
  // The song the play queue marked as playing ("" for none); until it marks one, the player's.
  std::optional<std::string> marked_id_;
  bool control_ = false;
  bool shift_ = false;
  // Dragging: the row pressed, where the pointer first moved with the button held, whether a
  // drag runs, and the row that becomes the only selection when the press ends without a drag.
  int press_row_ = -1;
  std::optional<gfx::Point> drag_start_;
  bool dragging_ = false;
  int pending_single_ = -1;
  // Menu callbacks hold a weak reference: a choice made after the list is gone does nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillo::ui::lists
