#include "ui/lists/SongListModel.h"

#include <algorithm>

#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/StoreRuntime.h"
#include "ui/lists/ListCatalog.h"
#include "ui/lists/SongFilter.h"

namespace quillo::ui::lists {

SongListModel::SongListModel(store::StoreRuntime& store) : store_(store) {}

void SongListModel::ShowList(const std::string& list_id, const std::string& playing_id) {
  list_id_ = list_id;
  filter_.clear();
  selection_.clear();
  anchor_ = focus_ = -1;
  playing_row_ = -1;
  records_.clear();
  groups_.clear();
  if (list_id == kArtistsGroupingId) {
    mode_ = SongListMode::kArtists;
    LoadGroups();
  } else if (list_id == kAlbumsGroupingId) {
    mode_ = SongListMode::kAlbums;
    LoadGroups();
  } else {
    mode_ = SongListMode::kSongs;
    LoadRows();
    MarkPlaying(playing_id);
  }
}

void SongListModel::RefreshList(const std::string& playing_id) {
  if (mode_ != SongListMode::kSongs) {
    selection_.clear();
    anchor_ = focus_ = -1;
    LoadGroups();
    return;
  }
  std::set<std::string> selected_ids;
  for (int row : selection_) {
    if (const store::MusicRecord* r = RecordAt(row)) selected_ids.insert(store::IdOf(*r));
  }
  const store::MusicRecord* anchor_record = RecordAt(anchor_);
  const store::MusicRecord* focus_record = RecordAt(focus_);
  std::string anchor_id = anchor_record ? store::IdOf(*anchor_record) : std::string();
  std::string focus_id = focus_record ? store::IdOf(*focus_record) : std::string();
  LoadRows();
  SelectIds(selected_ids);
  anchor_ = focus_ = -1;
  for (int row = 0; row < RowCount(); ++row) {
    const std::string& id = store::IdOf(*records_[row]);
    if (anchor_ < 0 && !anchor_id.empty() && id == anchor_id) anchor_ = row;
    if (focus_ < 0 && !focus_id.empty() && id == focus_id) focus_ = row;
  }
  MarkPlaying(playing_id);
}

bool SongListModel::ApplyFilter(const std::string& text, const std::string& playing_id) {
  std::string filter = NormalizeFilterText(text);
  if (filter == filter_) return false;
  filter_ = std::move(filter);
  selection_.clear();
  anchor_ = focus_ = -1;
  if (mode_ == SongListMode::kSongs) {
    LoadRows();
    MarkPlaying(playing_id);
  } else {
    LoadGroups();
  }
  return true;
}

void SongListModel::LoadRows() {
  records_ = store_.playlists().ListRecords(list_id_);
  if (filter_.empty()) return;
  std::erase_if(records_, [this](const store::MusicRecordPtr& record) {
    return !record || !RecordMatchesFilter(*record, filter_);
  });
}

void SongListModel::LoadGroups() {
  std::vector<std::pair<std::string, int>> counts = mode_ == SongListMode::kArtists
                                                        ? store_.library().ArtistCounts()
                                                        : store_.library().AlbumCounts();
  groups_.clear();
  groups_.reserve(counts.size());
  for (auto& [name, count] : counts) {
    if (!GroupMatchesFilter(name, filter_)) continue;
    groups_.push_back(SongGroup{std::move(name), count});
  }
  // Largest first; equal counts keep the store's order.
  std::stable_sort(groups_.begin(), groups_.end(), [](const SongGroup& a, const SongGroup& b) {
    return a.song_count > b.song_count;
  });
}

int SongListModel::RowCount() const {
  return static_cast<int>(mode_ == SongListMode::kSongs ? records_.size() : groups_.size());
}

const store::MusicRecord* SongListModel::RecordAt(int row) const {
  if (mode_ != SongListMode::kSongs || row < 0 || row >= static_cast<int>(records_.size()))
    return nullptr;
  return records_[row].get();
}

const SongGroup* SongListModel::GroupAt(int row) const {
  if (mode_ == SongListMode::kSongs || row < 0 || row >= static_cast<int>(groups_.size()))
    return nullptr;
  return &groups_[row];
}

void SongListModel::SetSelection(std::set<int> rows) {
  std::erase_if(rows, [this](int row) { return row < 0 || row >= RowCount(); });
  selection_ = std::move(rows);
}

void SongListModel::SetAnchorAndFocus(int anchor, int focus) {
  anchor_ = anchor >= 0 && anchor < RowCount() ? anchor : -1;
  focus_ = focus >= 0 && focus < RowCount() ? focus : -1;
}

std::vector<store::MusicRecord> SongListModel::SelectedRecords() const {
  std::vector<store::MusicRecord> out;
  for (int row : selection_) {
    if (const store::MusicRecord* r = RecordAt(row)) out.push_back(*r);
  }
  return out;
}

void SongListModel::SelectIds(const std::set<std::string>& ids) {
  selection_.clear();
  if (ids.empty()) return;
  for (int row = 0; row < static_cast<int>(records_.size()); ++row) {
    if (ids.count(store::IdOf(*records_[row]))) selection_.insert(row);
  }
}

void SongListModel::MarkPlaying(const std::string& music_id) {
  playing_row_ = -1;
  if (music_id.empty() || mode_ != SongListMode::kSongs) return;
  for (int row = 0; row < static_cast<int>(records_.size()); ++row) {
    if (store::IdOf(*records_[row]) == music_id) {
      playing_row_ = row;
      return;
    }
  }
}

std::vector<store::MusicRecord> SongListModel::GroupSongs(int row) const {
  const SongGroup* group = GroupAt(row);
  if (group == nullptr) return {};
  return mode_ == SongListMode::kArtists ? store_.library().MusicByArtist(group->name)
                                         : store_.library().MusicByAlbum(group->name);
}

int SongListModel::NumberColumnWidth(int rows) {
  if (rows < 100) return 20;
  if (rows < 1000) return 30;
  return 40;
}

}  // namespace quillo::ui::lists
