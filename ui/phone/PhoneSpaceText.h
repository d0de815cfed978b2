#pragma once
// The phone panel's size texts and used-space bar. Pure; any thread.
#include <cstdint>
#include <string>

namespace quillo::ui {

// "-" for zero with the dash flag; below 1024 bytes "%dB"; below 1 MiB "%dK" (whole KiB);
// from 1 GiB "%.2fG" (whole MiB / 1024); otherwise "%dM" (whole MiB).
std::string FormatSize(std::uint64_t bytes, bool dash);

struct UsedSpace {
  std::string text;   // "used / total"
  int percent = 0;    // whole percent used
  int bar_width = 0;  // filled pixels of a bar of bar_length
};

// The used space (total − free) of a drive for a bar bar_length pixels long.
UsedSpace MeasureUsedSpace(std::uint64_t total_bytes, std::uint64_t free_bytes, int bar_length);

}  // namespace quillo::ui
