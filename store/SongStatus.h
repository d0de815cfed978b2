#pragma once
// A song's download state. The data file keeps it as the decimal text of the music record's
// `status` attribute ("0" waiting, "1" being downloaded, "2" downloaded, "3" failed); these
// functions are the only place that text is read or written, so the rest of the program sees
// the enum. Pure functions; any thread.
#include <string_view>

#include "store/MusicRecord.h"

namespace quillo::store {

enum class SongStatus : int {
  kWaiting = 0,      // queued for download
  kDownloading = 1,  // handed to a transfer
  kDownloaded = 2,   // the stored copy is in the music folder
  kFailed = 3,       // the download or the playback failed
};

// The attribute of the music record (and of its `file` element) that holds the text.
inline constexpr const char* kSongStatusAttribute = "status";

// Reads the text as a decimal number, as the file has always been read (leading blanks and
// digits; "2x" is 2). Missing, empty or junk text, and numbers other than 0..3, read as waiting:
// the state an interrupted or unknown download goes back to.
SongStatus SongStatusFromText(std::string_view text);
// "0", "1", "2" or "3".
std::string_view SongStatusText(SongStatus status);
// The record's status (no attribute: waiting).
SongStatus SongStatusOf(const MusicRecord& record);

}  // namespace quillo::store
