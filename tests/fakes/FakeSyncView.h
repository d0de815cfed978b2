#pragma once
// The main window as the playlist commands see it: rows and selections set by the test, every
// refresh counted and noted in a shared event log (to check the order of things).
#include <optional>
#include <string>
#include <vector>

#include "service/sync/SyncView.h"
#include "store/Playlists.h"

namespace quillo::testing {

class FakeSyncView : public service::SyncView {
 public:
  explicit FakeSyncView(std::vector<std::string>& log) : log_(log) {}

  // Shows a list: its records become the rows; nothing is selected.
  void Show(store::Playlists& playlists, const std::string& list_id) {
    shown = list_id;
    rows.clear();
    for (const store::MusicRecordPtr& record : playlists.ListRecords(list_id))
      rows.push_back(*record);
    selected.clear();
  }
  // Selects the rows holding these ids.
  void SelectIds(const std::vector<std::string>& ids) {
    selected.clear();
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
      for (const std::string& id : ids) {
        if (rows[row] && store::IdOf(*rows[row]) == id) selected.push_back(row);
      }
    }
  }

  std::string ShownListId() override { return shown; }
  std::optional<std::string> SelectedPanelListId() override { return panel_selection; }
  int RowCount() override { return static_cast<int>(rows.size()); }
  std::vector<int> SelectedRows() override { return selected; }
  std::optional<store::MusicRecord> RowRecord(int row) override {
    if (row < 0 || row >= RowCount()) return std::nullopt;
    return rows[row];
  }
  void RefreshPlaylistPanel() override {
    ++panel_refreshes;
    log_.push_back("refresh panel");
  }
  void RefreshSongList() override {
    ++song_list_refreshes;
    log_.push_back("refresh songs");
  }
  void ShowPlaylistPage() override {
    ++playlist_pages;
    log_.push_back("playlist page");
  }
  void SelectPanelList(const std::string& list_id) override {
    panel_selection = list_id;
    log_.push_back("select " + list_id);
  }

  std::string shown;
  std::optional<std::string> panel_selection;
  std::vector<std::optional<store::MusicRecord>> rows;
  std::vector<int> selected;
  int panel_refreshes = 0;
  int song_list_refreshes = 0;
  int playlist_pages = 0;

 private:
  std::vector<std::string>& log_;
};

}  // namespace quillo::testing
