// Karaoke lyric files (".mrc"): the scrambled bytes are unscrambled, made UTF-8 and parsed line
// by line into the timeline as LyricAnalyzer::LoadLyric does; then positions are looked up.
// An input whose first byte is odd skips the unscrambling, so that the line parser is reached
// with scripts the fuzzer writes in the clear.
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "lyrics/KaraokeParser.h"
#include "lyrics/KaraokeScript.h"
#include "lyrics/LyricDocument.h"
#include "platform/text/TextCodec.h"

namespace {

using namespace quillo::lyrics;

void CheckLine(const KaraokeLine& line) {
  FUZZ_CHECK(!line.words.empty());
  int previous_end = 0;
  for (const LyricWord& word : line.words) {
    FUZZ_CHECK(word.start_ms == previous_end);
    FUZZ_CHECK(word.end_ms > word.start_ms);
    FUZZ_CHECK(word.text_size > 0);
    FUZZ_CHECK(std::size_t{word.text_offset} + word.text_size <= line.text.size());
    previous_end = word.end_ms;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillo::fuzz::FuzzInput input(data, size);
  const bool clear = input.Byte() & 1;
  const std::uint32_t probe = input.Uint32();
  std::string bytes = input.Rest();

  std::string script;
  if (clear) {
    script = std::move(bytes);
  } else {
    auto plain = UnscrambleKaraokeScript(bytes);
    if (!plain) {
      FUZZ_CHECK(bytes.size() < 3);
      return 0;
    }
    FUZZ_CHECK(plain->size() < bytes.size());
    script = std::move(*plain);
  }
  const std::string text = quillo::text::SanitizeUtf8(script);
  FUZZ_CHECK(quillo::text::IsValidUtf8(text));

  LyricDocument document;
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find('\n', from);
    const std::string_view piece =
        std::string_view(text).substr(from, end == std::string::npos ? end : end - from);
    if (auto line = ParseKaraokeLine(piece)) {
      CheckLine(*line);
      if (!document.timeline.AddLine(line->start_ms, line->end_ms, std::move(line->text),
                                     std::move(line->words))) {
        return 0;
      }
    }
    if (end == std::string::npos) break;
    from = end + 1;
  }
  document.timeline.Order();
  document.timeline.SetEnds();
  document.state = document.timeline.empty() ? LyricDocument::kStateFailed
                                             : LyricDocument::kStateLoaded;
  if (document.timeline.empty()) return 0;

  const std::int64_t probes[] = {0, probe, -static_cast<std::int64_t>(probe), INT32_MAX,
                                 document.timeline.lines().back().start_ms};
  for (std::int64_t at : probes) {
    for (bool skip_empty : {false, true}) {
      const auto position = document.LocateLine(at, skip_empty);
      if (!position) continue;
      FUZZ_CHECK(position->line < document.timeline.size());
      FUZZ_CHECK(position->percent >= 0 && position->percent <= 100);
      const LyricLine& line = document.timeline.lines()[position->line];
      if (!line.words.empty()) FUZZ_CHECK(position->word < line.words.size());
    }
    document.FindLine(at);
  }
  document.AdjustTiming(static_cast<int>(probe), LyricDocument::kShiftFromLine,
                        probe % document.timeline.size());
  document.GetPlainText();
  return 0;
}
