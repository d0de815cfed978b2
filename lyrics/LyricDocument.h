#pragma once
// The lyric of the song that is playing: its state, its timeline, the global offset, the header
// lines of its LRC file and where it came from. LyricAnalyzer fills it; the lyric views read it.
// Window thread only.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lyrics/LyricPosition.h"
#include "lyrics/LyricTimeline.h"

namespace quillo::lyrics {

class LyricDocument {
 public:
  static constexpr int kStateNone = -1;           // nothing loaded
  static constexpr int kStateLoaded = 0;          // loaded, at least one line
  static constexpr int kStateFailed = 2;          // load failed or unsupported file
  static constexpr int kStateDownloading = 3;     // a lyric download is running
  static constexpr int kStateDownloadFailed = 4;  // the lyric download failed

  // The kinds of AdjustTiming.
  static constexpr int kShiftLine = 1;      // the line's start and end move by the delta
  static constexpr int kShiftFromLine = 2;  // the line and all after it move by the delta
  static constexpr int kShiftOffset = 3;    // offset += delta
  static constexpr int kSetOffset = 4;      // offset = value

  // Back to nothing loaded: state, modified, offset, lines and header lines. The music id and
  // the file path stay until the next load sets them.
  void Clear();

  // Playback position → line, word and percentage. The position is corrected by the offset
  // (a line is due at its start + offset). "Empty" lines (only white space) are passed over when
  // skip_empty is set. No value when nothing can be shown.
  std::optional<LyricPosition> LocateLine(std::int64_t position_ms, bool skip_empty) const;
  // The line due at the position, or nullptr.
  const LyricLine* FindLine(std::int64_t position_ms) const;
  // Refused unless the state is loaded and, for kinds 1 and 2, `line` names a line; also refused
  // when a time would leave the range of int. An accepted call sets modified.
  bool AdjustTiming(int delta_ms, int kind, std::optional<std::size_t> line);
  // Every line's text joined by "\r\n".
  std::string GetPlainText() const;

  int state = kStateNone;
  bool modified = false;
  int offset_ms = 0;
  std::vector<std::string> header_lines;
  LyricTimeline timeline;
  std::string music_id;
  std::string file_path;
};

}  // namespace quillo::lyrics
