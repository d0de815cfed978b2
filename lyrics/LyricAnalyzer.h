#pragma once
// LyricAnalyzer holds the lyric of the song that is playing: it loads a lyric file into the
// document, answers which line and word belong to a playback position, re-times the lyric and
// writes a changed LRC file back. There is one for the process, used on the window thread only.
//
// Fetching lyric files from the service belongs here too and comes with the playback side: the
// class will then also be the safe downloader's callback for lyric transfers (OnFinish), and
// Reset will cancel a running lyric download. Nothing of that is here yet.
#include <cstdint>
#include <optional>
#include <string>

#include "lyrics/LyricDocument.h"

namespace quillo::lyrics {

class LyricPlayerInfo;
class LyricSavePrompt;

class LyricAnalyzer {
 public:
  // Files above this size are refused unread (no lyric comes near it).
  static constexpr std::uint64_t kMaxFileBytes = std::uint64_t{16} << 20;

  // The question SaveIfChanged asks.
  static constexpr const char* kSaveQuestion = "歌词文件已改变，是否要保存？";

  enum class SaveResult {
    kNothingToSave,  // not an ".lrc" file, or not modified
    kDeclined,       // the prompt answered no
    kSaved,
    kWriteFailed,  // the file could not be replaced; the old file is untouched
  };

  // `player` must outlive the analyzer; nullptr behaves as an empty title and no duration (-1).
  explicit LyricAnalyzer(const LyricPlayerInfo* player = nullptr) : player_(player) {}

  // Loads an ".lrc" or ".mrc" file (the last three characters of the path decide, in any case).
  // Returns the new state: loaded (0) or failed (2). Unreadable files, anything but a regular
  // file (a pipe would block the window thread), other extensions,
  // karaoke files shorter than 3 bytes, files above kMaxFileBytes, files beyond the timeline's
  // limits and files without a usable line all fail. Loading clears modified.
  int LoadLyric(const std::string& path, const std::string& music_id);

  // Nothing loaded: state -1, modified, offset, lines and header lines cleared.
  void Reset();
  int GetState() const { return document_.state; }

  std::optional<LyricPosition> LocateLine(std::int64_t position_ms, bool skip_empty) const {
    return document_.LocateLine(position_ms, skip_empty);
  }
  const LyricLine* FindLine(std::int64_t position_ms) const {
    return document_.FindLine(position_ms);
  }
  bool AdjustTiming(int delta_ms, int kind, std::optional<std::size_t> line) {
    return document_.AdjustTiming(delta_ms, kind, line);
  }
  std::string GetPlainText() const { return document_.GetPlainText(); }

  // For a modified ".lrc" lyric: asks kSaveQuestion and on "yes" replaces the file atomically
  // with the document's LRC text. A failed write is reported, not hidden. modified stays set.
  SaveResult SaveIfChanged(LyricSavePrompt& prompt);

  const LyricDocument& document() const { return document_; }

 private:
  bool LoadLrc(const std::string& bytes);
  bool LoadKaraoke(std::string bytes);

  const LyricPlayerInfo* player_;
  LyricDocument document_;
};

}  // namespace quillo::lyrics
