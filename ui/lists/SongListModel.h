#pragma once
// The song list's state without its drawing: the list shown, the mode (songs, albums,
// artists), the rows, the selection with its anchor and focus, the playing row and the filter
// text. Every change of rows happens here, so the rules (group order, filtering, keeping the
// selection by song id across a reload) are tested without a display.
//
// Window thread. Reads the store through its sections (each call takes the store's lock).
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "store/MusicRecord.h"

namespace quillo::store {
class StoreRuntime;
}

namespace quillo::ui::lists {

enum class SongListMode { kSongs = 0, kAlbums = 1, kArtists = 2 };

// An album or artist with the number of its songs in the library.
struct SongGroup {
  std::string name;
  int song_count = 0;
  bool operator==(const SongGroup&) const = default;
};

class SongListModel {
 public:
  // The store must outlive the model.
  explicit SongListModel(store::StoreRuntime& store);

  // Shows a list: clears rows, selection, playing row and the filter text; "m_artists" and
  // "m_albums" show the library's groups ordered by song count (largest first, the store's
  // order among equals), any other id the list's records. The playing row is the row of
  // `playing_id` (the song the player holds; empty: none).
  void ShowList(const std::string& list_id, const std::string& playing_id);
  // Reloads the shown list under the current filter, keeping the selection, anchor and focus by
  // song id (groups: rebuilt, selection cleared) and marking the playing row again.
  void RefreshList(const std::string& playing_id);
  // Narrows the rows to those matching the text (trimmed, lower-cased). Answers false, and
  // changes nothing, when the normalised text equals the current filter text; otherwise the
  // selection is cleared (the caller scrolls to the top and redraws).
  bool ApplyFilter(const std::string& text, const std::string& playing_id);

  const std::string& list_id() const { return list_id_; }
  SongListMode mode() const { return mode_; }
  const std::string& filter_text() const { return filter_; }
  int RowCount() const;
  // Mode 0: the row's record (null outside). Modes 1 and 2: the row's group (null outside).
  const store::MusicRecord* RecordAt(int row) const;
  const SongGroup* GroupAt(int row) const;
  const std::vector<store::MusicRecordPtr>& records() const { return records_; }
  const std::vector<SongGroup>& groups() const { return groups_; }

  // ---- Selection ------------------------------------------------------------------------------
  const std::set<int>& selection() const { return selection_; }
  void SetSelection(std::set<int> rows);
  int anchor() const { return anchor_; }
  int focus() const { return focus_; }
  void SetAnchorAndFocus(int anchor, int focus);
  // The selected rows' records, in row order (mode 0).
  std::vector<store::MusicRecord> SelectedRecords() const;
  // Selects the rows holding these ids (mode 0).
  void SelectIds(const std::set<std::string>& ids);

  // ---- Playing row ------------------------------------------------------------------------------
  int playing_row() const { return playing_row_; }
  // Marks the row of the song (mode 0); -1 when it is not shown.
  void MarkPlaying(const std::string& music_id);

  // The songs of group row `row` (modes 1 and 2), in the store's order.
  std::vector<store::MusicRecord> GroupSongs(int row) const;

  // The width of the number column for a song list of `rows` rows: 20 below 100, 30 below 1000,
  // else 40.
  static int NumberColumnWidth(int rows);

 private:
  void LoadRows();
  void LoadGroups();

  store::StoreRuntime& store_;
  std::string list_id_;
  SongListMode mode_ = SongListMode::kSongs;
  std::string filter_;
  std::vector<store::MusicRecordPtr> records_;
  std::vector<SongGroup> groups_;
  std::set<int> selection_;
  int anchor_ = -1;
  int focus_ = -1;
  int playing_row_ = -1;
};

}  // namespace quillo::ui::lists
