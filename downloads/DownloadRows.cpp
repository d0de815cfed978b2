#include "downloads/DownloadRows.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <unordered_set>
#include <utility>

#include "downloads/DownloadManager.h"
#include "downloads/SteadyMillis.h"
#include "store/ChineseCollator.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SongStatus.h"
#include "store/StoreRuntime.h"

namespace quillo::downloads {
namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

void ClearTexts(DownloadRow& row) {
  row.size_text = "-";
  row.progress_text = "-";
  row.speed_text = "-";
}

std::string AttributeOr(const store::MusicRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? std::string() : it->second;
}

}  // namespace

DownloadRows::DownloadRows(store::StoreRuntime& runtime, DownloadManager& manager, Hooks hooks)
    : runtime_(runtime), manager_(manager), hooks_(std::move(hooks)) {}

std::string DownloadRows::SizeText(std::uint64_t bytes) {
  if (bytes == 0) return "-";
  if (bytes < 1024) return std::to_string(bytes) + "B";
  const double n = static_cast<double>(bytes);
  if (bytes < 1048576) return Format("%.2fK", n / 1024);
  if (bytes < 1073741824) return Format("%.2fM", n / 1048576);
  return Format("%.2fG", n / 1073741824);
}

std::int64_t DownloadRows::Now() const {
  return hooks_.clock ? hooks_.clock() : SteadyMillis();
}

DownloadRow DownloadRows::InitialRow(const store::MusicRecord& record) const {
  DownloadRow row;
  row.music_id = AttributeOr(record, "id");
  row.name = AttributeOr(record, "name");
  row.state = AttributeOr(record, "paused") == "true" ? RowState::kStopped : RowState::kWaiting;
  if (store::SongStatusOf(record) == store::SongStatus::kFailed) row.state = RowState::kFailed;
  return row;
}

void DownloadRows::Rebuild() {
  revision_seen_ = runtime_.store().ListsRevision();
  built_ = true;
  std::map<std::string, DownloadRow> kept;
  for (DownloadRow& row : rows_) kept.emplace(row.music_id, std::move(row));
  rows_.clear();
  std::unordered_set<std::string> listed;
  for (const store::MusicRecord& record : runtime_.playlists().DownloadQueueRecords()) {
    DownloadRow fresh = InitialRow(record);
    if (fresh.music_id.empty() || !listed.insert(fresh.music_id).second) continue;
    auto it = kept.find(fresh.music_id);
    if (it != kept.end()) {
      it->second.name = fresh.name;
      // A row whose download is not followed takes the state its record tells now (the player
      // may have marked the song failed, another window may have paused it); a running
      // download's state is the refresh's.
      if (it->second.transfer_id.empty() && it->second.state != RowState::kStarted) {
        it->second.state = fresh.state;
      }
      rows_.push_back(std::move(it->second));
      kept.erase(it);
    } else {
      rows_.push_back(std::move(fresh));
    }
  }
  ApplySort();
}

bool DownloadRows::RebuildIfChanged() {
  if (built_ && runtime_.store().ListsRevision() == revision_seen_) return false;
  Rebuild();
  return true;
}

bool DownloadRows::Refresh() {
  const std::int64_t now = Now();
  const std::size_t before = rows_.size();
  std::erase_if(rows_, [&](DownloadRow& row) { return !RefreshRow(row, now); });
  return rows_.size() != before;
}

bool DownloadRows::RefreshRow(DownloadRow& row, std::int64_t now_ms) {
  if (std::optional<DownloadManager::SongTransfer> transfer =
          manager_.FindSongTransfer(row.music_id)) {
    if (transfer->transfer_id != row.transfer_id) {
      // Another transfer than the one sampled (the song was started again): sample afresh.
      row.sample_time_ms = 0;
      row.transfer_id = transfer->transfer_id;
    }
    if (!transfer->found) {
      row.state = RowState::kStarted;
      row.total_bytes = 0;
      ClearTexts(row);
      return true;
    }
    row.state = RowState::kReceiving;
    if (transfer->total_bytes != row.total_bytes) {
      row.total_bytes = transfer->total_bytes;
      row.size_text = SizeText(row.total_bytes);
    }
    if (row.total_bytes == 0) {
      row.progress = 0;
      row.progress_text = "-";
      row.speed_text = "-";
      return true;
    }
    const std::uint64_t received = transfer->received_bytes;
    row.progress = static_cast<double>(received * 10000 / row.total_bytes) / 100;
    row.progress_text = Format("%.2f%%", row.progress);
    if (row.sample_time_ms == 0 || received < row.sample_received) {
      // No sample yet, or the transfer started over (another mirror): this is the first one.
      row.sample_received = received;
      row.sample_time_ms = now_ms;
    } else if (now_ms - row.sample_time_ms < kSampleMinimumMs) {
      row.sample_time_ms = now_ms;
    } else {
      row.speed = static_cast<double>(received - row.sample_received) * 1000 /
                  static_cast<double>(now_ms - row.sample_time_ms);
      if (row.progress > 0) row.speed_text = SizeText(static_cast<std::uint64_t>(row.speed)) + "/s";
      row.sample_received = received;
      row.sample_time_ms = now_ms;
    }
    return true;
  }
  if (row.transfer_id.empty()) return true;
  // The download this row followed has ended: the song's status tells how.
  row.transfer_id.clear();
  row.sample_time_ms = 0;
  row.sample_received = 0;
  const std::optional<store::MusicRecord> record = runtime_.library().FindMusic(row.music_id);
  const store::SongStatus status =
      record ? store::SongStatusOf(*record) : store::SongStatus::kWaiting;
  switch (status) {
    case store::SongStatus::kDownloaded:
      row.state = RowState::kFinished;
      row.progress = 100.0;
      row.progress_text = "100%";
      row.speed_text = "-";
      return false;
    case store::SongStatus::kFailed:
      row.state = RowState::kFailed;
      ClearTexts(row);
      break;
    case store::SongStatus::kWaiting:
    case store::SongStatus::kDownloading:
      // Stopped from elsewhere, or failed while paused: it waits again (or stays stopped).
      row.state =
          runtime_.library().IsPaused(row.music_id) ? RowState::kStopped : RowState::kWaiting;
      ClearTexts(row);
      break;
  }
  return true;
}

bool DownloadRows::SortBy(int column) {
  if (column < kStateColumn || column > kSpeedColumn) return false;
  if (column == sort_column_) {
    ascending_ = !ascending_;
  } else {
    sort_column_ = column;
    ascending_ = true;
  }
  ApplySort();
  return true;
}

void DownloadRows::ApplySort() {
  if (sort_column_ == 0) return;
  // Names in the order a Chinese reader expects (pinyin), as the song lists sort them.
  std::map<std::string, std::string> name_keys;
  if (sort_column_ == kNameColumn) {
    store::ChineseCollator collator;
    for (const DownloadRow& row : rows_)
      name_keys.emplace(row.music_id, collator.SortKey(row.name));
  }
  auto less = [this, &name_keys](const DownloadRow& a, const DownloadRow& b) {
    switch (sort_column_) {
      case kStateColumn:
        return static_cast<int>(a.state) < static_cast<int>(b.state);
      case kNameColumn:
        return name_keys.at(a.music_id) < name_keys.at(b.music_id);
      case kSizeColumn:
        return a.total_bytes < b.total_bytes;
      case kProgressColumn:
        return a.progress < b.progress;
      default:
        return a.speed < b.speed;
    }
  };
  if (ascending_) {
    std::stable_sort(rows_.begin(), rows_.end(), less);
  } else {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&less](const DownloadRow& a, const DownloadRow& b) { return less(b, a); });
  }
}

void DownloadRows::StartRow(DownloadRow& row) {
  if (row.state != RowState::kWaiting && row.state != RowState::kStopped &&
      row.state != RowState::kFailed) {
    return;
  }
  store::MusicLibrary& library = runtime_.library();
  library.SetPaused(row.music_id, false);
  if (manager_.StartSong(DownloadKind::kSong, row.music_id)) {
    row.state = RowState::kStarted;
    return;
  }
  // Nothing could start (the service's address is not known yet): the song waits for the
  // scheduler instead of showing a start that never comes.
  const std::optional<store::MusicRecord> record = library.FindMusic(row.music_id);
  if (record && store::SongStatusOf(*record) == store::SongStatus::kFailed) {
    library.SetSongStatus(row.music_id, store::SongStatus::kWaiting);
  }
  row.state = RowState::kWaiting;
}

void DownloadRows::StopRow(DownloadRow& row) {
  if (row.state != RowState::kReceiving && row.state != RowState::kStarted &&
      row.state != RowState::kWaiting) {
    return;
  }
  row.state = RowState::kStopped;
  manager_.StopSong(DownloadKind::kSong, row.music_id);
  runtime_.library().SetPaused(row.music_id, true);
  row.transfer_id.clear();
  row.sample_time_ms = 0;
  row.sample_received = 0;
  row.speed = 0;
  ClearTexts(row);
  row.total_bytes = 0;
  row.progress = 0;
}

void DownloadRows::StartNow(std::size_t row) {
  if (row < rows_.size()) StartRow(rows_[row]);
}

void DownloadRows::Stop(std::size_t row) {
  if (row < rows_.size()) StopRow(rows_[row]);
}

void DownloadRows::Toggle(std::size_t row) {
  if (row >= rows_.size()) return;
  DownloadRow& r = rows_[row];
  if (r.state == RowState::kReceiving || r.state == RowState::kStarted) {
    StopRow(r);
  } else {
    StartRow(r);
  }
}

void DownloadRows::StartAll() {
  store::MusicLibrary& library = runtime_.library();
  for (DownloadRow& row : rows_) {
    if (row.state != RowState::kStopped && row.state != RowState::kFailed) continue;
    library.SetPaused(row.music_id, false);
    // A failed song is never handed out by the scheduler; waiting again means status 0.
    if (row.state == RowState::kFailed) {
      library.SetSongStatus(row.music_id, store::SongStatus::kWaiting);
    }
    row.state = RowState::kWaiting;
  }
}

void DownloadRows::StopAll() {
  for (DownloadRow& row : rows_) StopRow(row);
}

void DownloadRows::StartSelected() {
  for (DownloadRow& row : rows_) {
    if (row.selected) StartRow(row);
  }
}

void DownloadRows::StopSelected() {
  for (DownloadRow& row : rows_) {
    if (row.selected) StopRow(row);
  }
}

bool DownloadRows::DeleteAll() {
  if (rows_.empty()) return false;
  if (!hooks_.confirm || !hooks_.confirm(kDeleteAllQuestion)) return false;
  std::vector<std::string> ids;
  for (const DownloadRow& row : rows_) ids.push_back(row.music_id);
  rows_.clear();
  if (hooks_.delete_songs) hooks_.delete_songs(ids);
  return true;
}

bool DownloadRows::DeleteSelected() {
  std::vector<std::string> ids = SelectedIds();
  if (ids.empty()) return false;
  if (!hooks_.confirm || !hooks_.confirm(kDeleteSelectedQuestion)) return false;
  std::erase_if(rows_, [](const DownloadRow& row) { return row.selected; });
  if (hooks_.delete_songs) hooks_.delete_songs(ids);
  return true;
}

std::size_t DownloadRows::IndexOf(std::string_view music_id) const {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].music_id == music_id) return i;
  }
  return rows_.size();
}

void DownloadRows::SetSelected(std::size_t row, bool selected) {
  if (row < rows_.size()) rows_[row].selected = selected;
}

void DownloadRows::ClearSelection() {
  for (DownloadRow& row : rows_) row.selected = false;
}

std::vector<std::string> DownloadRows::SelectedIds() const {
  std::vector<std::string> ids;
  for (const DownloadRow& row : rows_) {
    if (row.selected) ids.push_back(row.music_id);
  }
  return ids;
}

}  // namespace quillo::downloads
