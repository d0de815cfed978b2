#pragma once
// One row of the download manager tab: a song of the download list and how its download goes.
// A plain value kept by DownloadRows.
#include <cstdint>
#include <string>

namespace quillo::downloads {

// The row's state as the tab's icons show it.
enum class RowState : int {
  kFailed = 0,
  kFinished = 1,
  kReceiving = 2,
  kStarted = 3,  // the transfer runs, no data yet
  kStopped = 4,  // by the user
  kWaiting = 5,
};

struct DownloadRow {
  std::string music_id;
  std::string name;
  // The running transfer's id, empty when none was seen.
  std::string transfer_id;
  std::uint64_t total_bytes = 0;
  std::string size_text = "-";
  double progress = 0;  // percent
  std::string progress_text = "-";
  double speed = 0;  // bytes per second
  std::string speed_text = "-";
  // The last speed sample: received bytes then, and when (steady milliseconds; 0: none yet).
  std::uint64_t sample_received = 0;
  std::int64_t sample_time_ms = 0;
  RowState state = RowState::kWaiting;
  bool selected = false;
};

}  // namespace quillo::downloads
