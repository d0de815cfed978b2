#pragma once
// The playlist panel on the left of the main window: a single-selection layer list with three
// pages (lists; random-listening groups; ranking lists). Choosing a row shows its list in the
// song list, fetching service lists into temporary lists first when they are not loaded (with
// the loading bar); its menus choose the random group, the ranking list and the library's
// grouping, and carry the playlist commands. It is also where songs dragged from the song list
// are dropped.
//
// Window thread. Lives inside its owner window (a drawable, not a window); the owner routes
// input to it: left presses and double-clicks through LayerWnd's list control (AddList), and
// right clicks (OnContextMenu), wheel steps (OnWheel) and moves/resizes of the owner
// (FollowOwner, for the loading bar) itself. The song list must outlive the panel.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/MenuItem.h"

#include "ui/lists/ListViewDeps.h"
#include "ui/lists/PanelModel.h"
#include "ui/toolkit/LayerListView.h"

namespace quillo::ui::lists {

class FileListView;
class RandomListLoadingWnd;
class TempPlaylistCallback;

class PlaylistView : public LayerListViewS {
 public:
  static constexpr int kRowHeight = 20;
  static constexpr int kScrollBarWidth = 0;  // the owner draws the scroll bar (38–40) beside it

  PlaylistView(LayerWnd& owner, const gfx::Rect& rect, const ListViewDeps& deps,
               FileListView& songs);
  ~PlaylistView() override;

  // ---- Pages and rows -----------------------------------------------------------------------
  PanelPage page() const { return model_.page(); }
  // Shows a page (buttons 24, 25, 26), keeping the choice of each page's list.
  void SetPage(PanelPage page);
  // Rebuilds the rows of the current page keeping the selected id; redraws when asked.
  void RefreshPanel(bool redraw);
  // Selects the row with the id and shows its list; when it is already selected, refreshes the
  // song list instead; when page 0 has no such row, selects the library row and shows it.
  void SelectList(const std::string& list_id);
  // Chooses a row as a click does (shows its list, fetching it when needed).
  void ChooseRow(int index);
  // The id of the selected row, or none.
  std::optional<std::string> SelectedListId() const { return model_.SelectedId(); }
  const PanelModel& model() const { return model_; }

  // ---- Service lists --------------------------------------------------------------------------
  // "换一批听听": fetches the random list shown again (always).
  void FetchAnotherBatch();
  // Fetches a temporary list ("t_random…" or "t_rank_…") and shows the loading bar in state 1.
  // While the service's address is not known yet (the embedded service is still starting) the
  // list waits for it instead of failing at once.
  void FetchList(const std::string& list_id);
  // The service's address became known (available) or will not be: the lists waiting for it
  // are fetched now, or fail as a download that failed.
  void OnServiceKnown(bool available);
  bool HasListsAwaitingService() const { return !awaiting_service_.empty(); }
  void ShowLoadingBar(int state);
  RandomListLoadingWnd& loading_bar() { return *loading_bar_; }
  TempPlaylistCallback& fetcher() { return *fetcher_; }

  // ---- Commands and menus -------------------------------------------------------------------
  // The panel's commands: random groups 32968–32981, rankings 33019–33030, grouping
  // 33082–33084, and the playlist commands 32920, 32875, 32874 (through PlaylistSync). False for
  // any other id.
  bool HandleCommand(int command_id);
  // A right click at a window point: selects the row under it and pops up its menu (the random
  // row: "随便听听"; the ranking row: "排行榜"; the library row: "全部歌曲列表"; lists: the
  // playlist menu). Answers the menu shown (empty when none) so tests can read it.
  std::vector<window::MenuItem> OnContextMenu(gfx::Point p);
  // The song list's header (title and arrow): pops up at the window point the menu of the list
  // shown — the random groups, the ranking lists or the library's grouping — as the panel row
  // standing for it offers. Answers the menu shown (empty for other lists).
  std::vector<window::MenuItem> OnHeaderMenu(gfx::Point p);
  // Whether the list shown has such a menu.
  bool ShownListHasHeaderMenu() const;
  // Wheel steps over the panel (positive: down); redraws.
  void OnWheel(int delta_steps);
  // The owner moved or changed size.
  void FollowOwner();

  // ---- Dropping songs -------------------------------------------------------------------------
  // The row under a window point that accepts dropped songs (the library, user playlists, phone
  // lists), or -1.
  int DropRowAt(gfx::Point p) const;
  // Marks the drop position while dragging (-1: none) and redraws.
  void SetDropRow(int row);
  int drop_row() const { return drop_row_; }
  // The list id songs dropped on the row go to ("" for the library row, whatever its grouping).
  std::string DropTargetId(int row) const;

  // ---- LayerListView ------------------------------------------------------------------------
  void DrawRow(gfx::Painter& painter, int index, int x, int y, const gfx::Rect& clip,
               bool selected) override;
  int RowCount() const override { return model_.RowCount(); }
  bool IsSelectable(int index) const override { return model_.IsSelectable(index); }
  bool IsSelected(int index) const override { return index == model_.selected(); }
  void OnRowClicked(int index) override;

 private:
  // The menu that chooses what a row standing for `list_id` shows: the random groups, the
  // ranking lists or the library's grouping (checked as chosen); empty for other lists.
  std::vector<window::MenuItem> ChoiceMenu(const std::string& list_id) const;
  // Pops the menu up at a window point; its choices come back to HandleCommand.
  void PopUp(const std::vector<window::MenuItem>& items, gfx::Point p);
  // Applies a choice: title, header buttons, fetch, ShowList.
  void Apply(const PanelChoice& choice);
  void OnFetchFinished(const std::string& list_id, bool ok);
  bool IsLoaded(const std::string& list_id) const;
  void Redraw();

  ListViewDeps deps_;
  FileListView& songs_;
  PanelModel model_;
  std::unique_ptr<TempPlaylistCallback> fetcher_;
  std::unique_ptr<RandomListLoadingWnd> loading_bar_;
  int drop_row_ = -1;
  // Lists chosen before the service's address was known, in the order chosen.
  std::vector<std::string> awaiting_service_;
  // Menu callbacks hold a weak reference: a choice made after the panel is gone does nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace quillo::ui::lists
