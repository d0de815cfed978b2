#pragma once
// One running transfer of the download manager: a song, or a companion file of one (album
// picture, artist picture, lyric). Owned by DownloadEntries; lives as long as its transfer.
#include <cstdint>
#include <string>
#include <string_view>

#include "downloads/DownloadKind.h"

namespace quillo::downloads {

struct DownloadEntry {
  std::string item_id;  // song id, artist id or album id
  DownloadKind kind = DownloadKind::kSong;
  std::string transfer_id;  // the safe downloader's id
  // For the download window's progress display; 0 until data arrives.
  std::uint64_t received_bytes = 0;
  std::uint64_t total_bytes = 0;
  // Steady-clock milliseconds: set at start and again when data starts to arrive.
  std::int64_t start_time_ms = 0;
  // The window's last speed sample (0 until it takes one).
  std::int64_t sample_time_ms = 0;
  // Companions only: where the finished file goes (its extension may still change for a
  // picture, whose format the bytes decide).
  std::string final_path;
};

}  // namespace quillo::downloads
