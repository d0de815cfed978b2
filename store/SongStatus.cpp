#include "store/SongStatus.h"

#include "platform/text/TextUtil.h"

namespace quillo::store {

SongStatus SongStatusFromText(std::string_view text) {
  switch (text::LeadingInt(text)) {
    case 1:
      return SongStatus::kDownloading;
    case 2:
      return SongStatus::kDownloaded;
    case 3:
      return SongStatus::kFailed;
    default:
      return SongStatus::kWaiting;
  }
}

std::string_view SongStatusText(SongStatus status) {
  switch (status) {
    case SongStatus::kDownloading:
      return "1";
    case SongStatus::kDownloaded:
      return "2";
    case SongStatus::kFailed:
      return "3";
    case SongStatus::kWaiting:
      break;
  }
  return "0";
}

SongStatus SongStatusOf(const MusicRecord& record) {
  auto it = record.find(kSongStatusAttribute);
  return it == record.end() ? SongStatus::kWaiting : SongStatusFromText(it->second);
}

}  // namespace quillo::store
