#pragma once
// The rows of the download manager tab, without any display: one row per song of the store's
// download list that is not downloaded yet, with its size, progress and speed texts and its
// state; the commands of the tab (start now, stop, start all, stop all, delete) and the sort by
// a column. The tab draws what this keeps.
//
// Window thread only (the download manager is). The store, the manager and the hooks outlive the
// rows. The rows read the manager's entries and the safe downloader's transfers afresh at every
// Refresh; nothing here is kept across calls but the rows themselves.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "downloads/DownloadRow.h"
#include "store/MusicRecord.h"

namespace quillo::store {
class StoreRuntime;
}

namespace quillo::downloads {

class DownloadManager;

class DownloadRows {
 public:
  // The header commands, which are the columns' numbers.
  static constexpr int kStateColumn = 5;
  static constexpr int kNameColumn = 6;
  static constexpr int kSizeColumn = 7;
  static constexpr int kProgressColumn = 8;
  static constexpr int kSpeedColumn = 9;
  // A speed sample younger than this is not used to compute a speed.
  static constexpr std::int64_t kSampleMinimumMs = 100;

  static constexpr const char* kDeleteAllQuestion =
      "注意，删除下载列表歌曲会删除曲库对应歌曲，是否继续删除列表中的所有歌曲？";
  static constexpr const char* kDeleteSelectedQuestion =
      "注意，删除下载列表歌曲会删除曲库对应歌曲，是否继续？";

  struct Hooks {
    // Deletes songs from the library and tells the service (the library-delete command).
    std::function<void(const std::vector<std::string>& music_ids)> delete_songs;
    // Asks a yes/no question; true for yes. Unset: every question is answered no.
    std::function<bool(const std::string& question)> confirm;
    // Steady milliseconds; unset: SteadyMillis.
    std::function<std::int64_t()> clock;
  };

  DownloadRows(store::StoreRuntime& runtime, DownloadManager& manager, Hooks hooks);

  // ---- Building and refreshing --------------------------------------------------------------
  // Reads the download list from the store. Songs already listed keep their row (transfer,
  // texts, speed sample and selection; the state too while a download is followed, otherwise it
  // is read again from the record); new songs get a row in their initial state (stopped when
  // paused, else waiting; failed when their download failed); songs no longer listed lose
  // theirs. The current sort, if any, is applied again.
  void Rebuild();
  // Rebuild when the store's lists changed since the last Rebuild; answers whether it did.
  bool RebuildIfChanged();
  // Follows every row's download (the manager's "music" entry and its transfer); rows whose song
  // was downloaded leave the list. Answers whether any row left.
  bool Refresh();

  // ---- Sorting ----------------------------------------------------------------------------------
  // A header click: the sort column reverses its direction, another column starts ascending.
  // Columns outside 5–9 are ignored (answers false).
  bool SortBy(int column);
  int sort_column() const { return sort_column_; }  // 0: not sorted yet
  bool ascending() const { return ascending_; }

  // ---- Commands ---------------------------------------------------------------------------------
  // Starts the row's download at once (rows stopped, waiting or failed); the paused flag clears.
  void StartNow(std::size_t row);
  // Stops the row's download (rows receiving, started or waiting) and sets the paused flag.
  void Stop(std::size_t row);
  // "启动下载": every stopped or failed row waits again, its paused flag cleared.
  void StartAll();
  // "停止下载": every row is stopped.
  void StopAll();
  // Double-click: stops a row that is downloading, starts any other at once.
  void Toggle(std::size_t row);
  // "删除文件": when the list is not empty and the user agrees, every listed song is deleted from
  // the library and the list is emptied. Answers whether songs were deleted.
  bool DeleteAll();
  // Menu "删除": the selected rows' songs, when some are selected and the user agrees.
  bool DeleteSelected();
  // Menu "启动" and "停止" on the selected rows.
  void StartSelected();
  void StopSelected();

  // ---- Rows and selection ---------------------------------------------------------------------
  const std::vector<DownloadRow>& rows() const { return rows_; }
  std::size_t size() const { return rows_.size(); }
  // The row of a song, or size() when it is not listed.
  std::size_t IndexOf(std::string_view music_id) const;
  void SetSelected(std::size_t row, bool selected);
  void ClearSelection();
  std::vector<std::string> SelectedIds() const;

  // "-" for 0; "%dB" below 1024; "%.2fK", "%.2fM", "%.2fG" of 1024, 1048576, 1073741824.
  static std::string SizeText(std::uint64_t bytes);

 private:
  DownloadRow InitialRow(const store::MusicRecord& record) const;
  // Answers false when the row's song was downloaded and the row must leave.
  bool RefreshRow(DownloadRow& row, std::int64_t now_ms);
  void StopRow(DownloadRow& row);
  void StartRow(DownloadRow& row);
  void ApplySort();
  std::int64_t Now() const;

  store::StoreRuntime& runtime_;
  DownloadManager& manager_;
  Hooks hooks_;
  std::vector<DownloadRow> rows_;
  std::uint64_t revision_seen_ = 0;
  bool built_ = false;
  int sort_column_ = 0;
  bool ascending_ = true;
};

}  // namespace quillo::downloads
