#pragma once
// The lines of a lyric in playing order, with the searches that map a time to a line and word.
// Times given to the searches are already corrected by the document's offset.
//
// Filling: AddLine in any order, then Order (sort by start, index the lines), SetEnds (each line
// but the last ends where the next starts) and, for LRC files, AddCharacterWords. Re-timing a
// line afterwards (ShiftLine, ShiftFrom) keeps the index order; the searches then follow the
// rule "the first line in index order that contains the time", as before.
//
// Limits: a hostile file must not make the timeline unbounded, so it holds at most kMaxLines
// lines and kMaxTextBytes bytes of line text (each copy of a repeated line counts).
// Window thread only; not thread-safe.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lyrics/LyricLine.h"
#include "lyrics/LyricPosition.h"

namespace quillo::lyrics {

class LyricTimeline {
 public:
  static constexpr std::size_t kMaxLines = 100000;
  static constexpr std::size_t kMaxTextBytes = std::size_t{8} << 20;

  // Appends a line (index and links are set by Order). False, and nothing added, when the limits
  // would be exceeded.
  bool AddLine(int start_ms, int end_ms, std::string text, std::vector<LyricWord> words = {});
  void Clear();

  void Order();
  void SetEnds();
  // The last line ends at `last_end_ms` (when that is not after its start, as for a duration not
  // known yet, kGuessedLastLineMs after its start); then every line gets one word per character,
  // spread evenly over max(1, end - start). Lines with empty text get none. Answers whether the
  // last line's end was guessed.
  bool AddCharacterWords(int last_end_ms);
  static constexpr int kGuessedLastLineMs = 5000;

  // Re-timing. Callers ask CanShiftLine / CanShiftFrom first: a shift
  // that would leave the range of int is refused rather than wrapped.
  bool CanShiftLine(std::size_t line, int delta_ms) const;
  void ShiftLine(std::size_t line, int delta_ms);
  bool CanShiftFrom(std::size_t line, int delta_ms) const;
  void ShiftFrom(std::size_t line, int delta_ms);

  // The line, word and percentage for time `at_ms` (see LyricDocument::LocateLine).
  std::optional<LyricPosition> Locate(std::int64_t at_ms, bool skip_empty) const;
  // The first line with start <= at_ms and, unless it is the last line, at_ms < end.
  const LyricLine* Find(std::int64_t at_ms) const;

  const std::vector<LyricLine>& lines() const { return lines_; }
  bool empty() const { return lines_.empty(); }
  std::size_t size() const { return lines_.size(); }
  const LyricLine* Previous(const LyricLine& line) const;
  const LyricLine* Next(const LyricLine& line) const;

 private:
  // The first line in index order with start <= at_ms < end, or size() when none.
  std::size_t Containing(std::int64_t at_ms) const;
  // The last line in index order with start <= at_ms (binary search), or size() when none.
  std::size_t LastStartingBy(std::int64_t at_ms) const;
  // Fills word index and percentage from the word that contains `at_ms`; false when none does.
  static bool LocateWord(const LyricLine& line, std::int64_t at_ms, LyricPosition& position);
  std::optional<std::size_t> NonBlankBackwards(std::size_t from) const;
  std::optional<std::size_t> NonBlankForwards(std::size_t from) const;
  // True when starts are ascending and no line reaches past the next one's start: the searches
  // may then bisect instead of walking every line.
  void UpdateSearchable();

  std::vector<LyricLine> lines_;
  std::size_t text_bytes_ = 0;
  bool searchable_ = true;
};

}  // namespace quillo::lyrics
