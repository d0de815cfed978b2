#pragma once
// One upload the user started from the upload window: the song it belongs to, the file and its
// kind. Only the file path and the upload id take part in the transfer; the rest travels along
// for the window that started it.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillo::service {

inline constexpr std::string_view kUploadKindMusic = "music";
inline constexpr std::string_view kUploadKindLyric = "lyric";

struct UploadJob {
  std::string music_id;
  std::string music_name;   // the display text before its last " - "
  std::string artist_name;  // the display text after it
  std::string file_path;
  std::string kind;       // "music" or "lyric"
  std::string upload_id;  // issued by the upload host; empty until then
};

// How an upload ended, for the one who started it.
struct UploadOutcome {
  std::string upload_id;  // empty when the host never issued one
  std::uint64_t file_size_bytes = 0;
  std::uint64_t acknowledged_bytes = 0;  // the host's last byte count (valid answers only)
  bool file_read = false;                // the whole file was read into memory
  bool cancelled = false;                // ended early because the owner shut down

  bool complete() const { return file_read && acknowledged_bytes == file_size_bytes; }
};

}  // namespace quillo::service
