// LRC lyric files: the bytes are decoded and parsed line by line as LyricAnalyzer::LoadLyric
// does, the timeline is ordered and filled with words, positions are looked up and the lyric is
// re-timed. What the writer saves must load again as the same lines.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "lyrics/LrcParser.h"
#include "lyrics/LyricDocument.h"
#include "lyrics/LyricTextDecoder.h"
#include "lyrics/LyricWriter.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

// LoadLyric's steps for an ".lrc" file whose bytes are read; false when the limits refused it.
bool Load(std::string_view bytes, std::string_view title, int duration_ms, LyricDocument& document) {
  document.Clear();
  const std::string text = DecodeLyricText(bytes, title);
  FUZZ_CHECK(text::IsValidUtf8(text));
  LrcParser parser(document);
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find('\n', from);
    const std::string_view piece =
        std::string_view(text).substr(from, end == std::string::npos ? end : end - from);
    if (!parser.ParseLine(piece)) return false;
    if (end == std::string::npos) break;
    from = end + 1;
  }
  document.timeline.Order();
  document.timeline.SetEnds();
  document.timeline.AddCharacterWords(duration_ms);
  document.state = document.timeline.empty() ? LyricDocument::kStateFailed
                                             : LyricDocument::kStateLoaded;
  return true;
}

// The lines as (start, text without the white space a saved line loses at its end), in order.
std::vector<std::pair<int, std::string>> Lines(const LyricDocument& document) {
  std::vector<std::pair<int, std::string>> lines;
  for (const LyricLine& line : document.timeline.lines()) {
    lines.emplace_back(line.start_ms, std::string(text::TrimView(line.text)));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

void CheckPosition(const LyricDocument& document, std::int64_t at_ms, bool skip_empty) {
  const auto position = document.LocateLine(at_ms, skip_empty);
  if (!position) return;
  const auto& lines = document.timeline.lines();
  FUZZ_CHECK(position->line < lines.size());
  FUZZ_CHECK(position->percent >= 0 && position->percent <= 100);
  const LyricLine& line = lines[position->line];
  if (!line.words.empty()) FUZZ_CHECK(position->word < line.words.size());
  for (const LyricWord& word : line.words) {
    FUZZ_CHECK(std::size_t{word.text_offset} + word.text_size <= line.text.size());
  }
}

}  // namespace
}  // namespace quillo::lyrics

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillo::lyrics;
  quillo::fuzz::FuzzInput input(data, size);
  const int duration_ms = static_cast<int>(input.Uint32());
  const std::uint32_t probe = input.Uint32();
  const std::string title = input.Text();
  const std::string bytes = input.Rest();

  LyricDocument document;
  if (!Load(bytes, title, duration_ms, document)) return 0;
  const std::size_t count = document.timeline.size();

  // Saved and loaded again: the same lines at the same times (starts are never negative here).
  const std::string saved = WriteLrcText(document);
  LyricDocument reloaded;
  FUZZ_CHECK(Load(saved, "", duration_ms, reloaded));
  FUZZ_CHECK(reloaded.offset_ms == document.offset_ms);
  FUZZ_CHECK(Lines(reloaded) == Lines(document));

  if (count == 0) return 0;
  const std::int64_t probes[] = {0, probe, -static_cast<std::int64_t>(probe), INT32_MAX,
                                 INT32_MIN, document.timeline.lines().back().start_ms};
  for (std::int64_t at : probes) {
    CheckPosition(document, at, false);
    CheckPosition(document, at, true);
    document.FindLine(at);
  }
  // Re-timing: a line, the lines from one on, the offset; then look up and save again.
  const std::size_t line = probe % count;
  const int delta = static_cast<int>(probe);
  document.AdjustTiming(delta, LyricDocument::kShiftLine, line);
  document.AdjustTiming(delta / -2, LyricDocument::kShiftFromLine, count - 1 - line);
  document.AdjustTiming(delta, LyricDocument::kShiftOffset, std::nullopt);
  for (std::int64_t at : probes) {
    CheckPosition(document, at, false);
    CheckPosition(document, at, true);
  }
  FUZZ_CHECK(document.timeline.size() == count);
  WriteLrcText(document);
  document.GetPlainText();
  return 0;
}
