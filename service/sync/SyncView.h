#pragma once
// The main window as the playlist commands see it: the song list (the list it shows, its rows
// and which of them are selected) and the playlist panel (which list is selected in it), plus
// the refreshes a command asks for. The main window implements it; the commands only decide
// when each happens. Window thread only.
#include <optional>
#include <string>
#include <vector>

#include "store/MusicRecord.h"

namespace quillo::service {

class SyncView {
 public:
  virtual ~SyncView() = default;

  // The id of the list whose songs the song list shows ("" is the default list).
  virtual std::string ShownListId() = 0;
  // The list selected in the playlist panel; no value when none is selected.
  virtual std::optional<std::string> SelectedPanelListId() = 0;

  // The song list's rows: how many there are, the selected ones (ascending row numbers) and the
  // record of a row (no value for a row without one).
  virtual int RowCount() = 0;
  virtual std::vector<int> SelectedRows() = 0;
  virtual std::optional<store::MusicRecord> RowRecord(int row) = 0;

  virtual void RefreshPlaylistPanel() = 0;
  virtual void RefreshSongList() = 0;
  // Switches the left panel to its playlist page.
  virtual void ShowPlaylistPage() = 0;
  // Selects the list in the playlist panel.
  virtual void SelectPanelList(const std::string& list_id) = 0;
};

}  // namespace quillo::service
