#include "ui/lists/ListsSyncView.h"

#include "ui/lists/FileListView.h"
#include "ui/lists/PlaylistView.h"

namespace quillo::ui::lists {

std::string ListsSyncView::ShownListId() {
  return songs_ ? songs_->ShownListId() : std::string();
}

std::optional<std::string> ListsSyncView::SelectedPanelListId() {
  return panel_ ? panel_->SelectedListId() : std::nullopt;
}

int ListsSyncView::RowCount() {
  // The commands act on songs: group rows are not songs.
  if (!songs_ || songs_->model().mode() != SongListMode::kSongs) return 0;
  return songs_->model().RowCount();
}

std::vector<int> ListsSyncView::SelectedRows() {
  if (!songs_ || songs_->model().mode() != SongListMode::kSongs) return {};
  const std::set<int>& rows = songs_->model().selection();
  return std::vector<int>(rows.begin(), rows.end());
}

std::optional<store::MusicRecord> ListsSyncView::RowRecord(int row) {
  if (!songs_) return std::nullopt;
  const store::MusicRecord* record = songs_->model().RecordAt(row);
  if (record == nullptr) return std::nullopt;
  return *record;
}

void ListsSyncView::RefreshPlaylistPanel() {
  if (panel_) panel_->RefreshPanel(true);
}

void ListsSyncView::RefreshSongList() {
  if (songs_) songs_->RefreshList();
}

void ListsSyncView::ShowPlaylistPage() {
  if (panel_) panel_->SetPage(PanelPage::kLists);
}

void ListsSyncView::SelectPanelList(const std::string& list_id) {
  if (panel_) panel_->SelectList(list_id);
}

}  // namespace quillo::ui::lists
