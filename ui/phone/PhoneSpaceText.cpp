#include "ui/phone/PhoneSpaceText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace quillo::ui {

std::string FormatSize(std::uint64_t bytes, bool dash) {
  if (bytes == 0 && dash) return "-";
  char text[64];
  constexpr std::uint64_t kKiB = 1024, kMiB = 1024 * 1024, kGiB = 1024 * 1024 * 1024;
  if (bytes < kKiB) {
    std::snprintf(text, sizeof text, "%lluB", static_cast<unsigned long long>(bytes));
  } else if (bytes < kMiB) {
    std::snprintf(text, sizeof text, "%lluK", static_cast<unsigned long long>(bytes / kKiB));
  } else if (bytes >= kGiB) {
    std::snprintf(text, sizeof text, "%.2fG", static_cast<double>(bytes / kMiB) / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%lluM", static_cast<unsigned long long>(bytes / kMiB));
  }
  return text;
}

UsedSpace MeasureUsedSpace(std::uint64_t total_bytes, std::uint64_t free_bytes, int bar_length) {
  const std::uint64_t used = total_bytes > free_bytes ? total_bytes - free_bytes : 0;
  UsedSpace space;
  space.text = FormatSize(used, true) + " / " + FormatSize(total_bytes, true);
  const double share = total_bytes ? static_cast<double>(used) * 100.0 / static_cast<double>(total_bytes) : 0.0;
  space.percent = static_cast<int>(share);
  space.bar_width = static_cast<int>(std::lround(std::max(0, bar_length) * space.percent / 100.0));
  return space;
}

}  // namespace quillo::ui
