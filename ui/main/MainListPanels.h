#pragma once
// The main window's list area: the playlist panel (normal layout), the song list and the search
// box, made again at every layout build with the window's current rectangles, and the playlist
// commands' view that answers from them. Window thread. The owner window and everything in the
// dependencies outlive this object; the owner calls DestroyEdit from its OnDestroy.
#include <memory>
#include <string>

#include "platform/gfx/Geometry.h"
#include "ui/lists/ListViewDeps.h"
#include "ui/lists/ListsSyncView.h"

namespace quillo::ui {

class LayerWnd;
namespace lists {
class FileListView;
class FilterEdit;
class PlaylistView;
}  // namespace lists

class MainListPanels {
 public:
  // Ids of the two list controls in the owner (outside the id table of the buttons).
  static constexpr int kSongListControl = 60;
  static constexpr int kPanelControl = 61;

  MainListPanels(LayerWnd& owner, lists::ListViewDeps deps, lists::ListsSyncView& sync_view);
  ~MainListPanels();

  // Makes the views at these rectangles (an empty panel rectangle: a panel that is not shown;
  // an empty search rectangle: no search box) and adds them to the owner as list controls. The list
  // shown and the panel's page are kept from the previous build.
  void Build(const gfx::Rect& panel, const gfx::Rect& songs, const gfx::Rect& search);
  void DestroyEdit();

  lists::FileListView* songs() const { return songs_.get(); }
  lists::PlaylistView* panel() const { return panel_.get(); }
  lists::FilterEdit* search() const { return search_.get(); }

  // Shows the list: selected in the panel when there is one, else in the song list alone.
  void ShowList(const std::string& list_id);
  std::string ShownListId() const;
  // A command of the views (songs first, then the panel). Answers whether it was theirs.
  bool HandleCommand(int command_id);
  // A right click at a window point over either view; answers whether one took it.
  bool OnContextMenu(gfx::Point p);
  void SetPage(int page);

 private:
  LayerWnd& owner_;
  lists::ListViewDeps deps_;
  lists::ListsSyncView& sync_view_;
  std::unique_ptr<lists::FileListView> songs_;
  std::unique_ptr<lists::PlaylistView> panel_;
  std::unique_ptr<lists::FilterEdit> search_;
  std::string shown_;  // the library ("[全部]")
  int page_ = 0;
};

}  // namespace quillo::ui
