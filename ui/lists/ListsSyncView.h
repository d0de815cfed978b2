#pragma once
// The playlist commands' view of the main window, answered by the two list views: the list
// shown and its rows and selection come from the song list, the panel's selection from the
// playlist panel, and the refreshes go to them. The main window hands this to PlaylistSync and
// passes on the one thing the lists cannot do themselves (switching to the playlist page, which
// also moves its page buttons) through ListsHost::OnPanelPageChanged.
//
// Window thread. The views are set after construction (PlaylistSync is made before the views,
// which need it); until then the view answers an empty song list and no panel selection.
#include <optional>
#include <string>
#include <vector>

#include "service/sync/SyncView.h"

namespace quillo::ui::lists {

class FileListView;
class PlaylistView;

class ListsSyncView : public service::SyncView {
 public:
  // Both must outlive this object while set (null: not yet made).
  void SetViews(PlaylistView* panel, FileListView* songs) {
    panel_ = panel;
    songs_ = songs;
  }

  std::string ShownListId() override;
  std::optional<std::string> SelectedPanelListId() override;
  int RowCount() override;
  std::vector<int> SelectedRows() override;
  std::optional<store::MusicRecord> RowRecord(int row) override;
  void RefreshPlaylistPanel() override;
  void RefreshSongList() override;
  void ShowPlaylistPage() override;
  void SelectPanelList(const std::string& list_id) override;

 private:
  PlaylistView* panel_ = nullptr;
  FileListView* songs_ = nullptr;
};

}  // namespace quillo::ui::lists
