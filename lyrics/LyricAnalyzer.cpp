#include "lyrics/LyricAnalyzer.h"

#include "lyrics/KaraokeParser.h"
#include "lyrics/KaraokeScript.h"
#include "lyrics/LrcParser.h"
#include "lyrics/LyricPlayerInfo.h"
#include "lyrics/LyricSavePrompt.h"
#include "lyrics/LyricTextDecoder.h"
#include "lyrics/LyricWriter.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

enum class Format { kNone, kLrc, kKaraoke };

Format FormatOf(std::string_view path) {
  if (path.size() < 3) return Format::kNone;
  const std::string last = text::ToLowerAscii(path.substr(path.size() - 3));
  if (last == "lrc") return Format::kLrc;
  if (last == "mrc") return Format::kKaraoke;
  return Format::kNone;
}

// Calls `each` with every piece of the text between "\n"s, the last piece included; stops when
// it answers false.
template <typename Each>
bool ForEachPiece(std::string_view text, Each each) {
  std::size_t from = 0;
  while (true) {
    const std::size_t end = text.find('\n', from);
    if (!each(text.substr(from, end == std::string_view::npos ? end : end - from))) return false;
    if (end == std::string_view::npos) return true;
    from = end + 1;
  }
}

}  // namespace

void LyricAnalyzer::ClearDocument() {
  document_.Clear();
  last_end_guessed_ = false;
}

void LyricAnalyzer::FollowDuration() {
  if (!last_end_guessed_ || player_ == nullptr || document_.timeline.empty()) return;
  const int duration_ms = player_->DurationMs();
  if (duration_ms <= document_.timeline.lines().back().start_ms) return;
  last_end_guessed_ = document_.timeline.AddCharacterWords(duration_ms);
}

int LyricAnalyzer::LoadLyric(const std::string& path, const std::string& music_id) {
  ClearDocument();
  document_.music_id = music_id;
  document_.file_path = path;
  document_.state = LyricDocument::kStateFailed;

  const Format format = FormatOf(path);
  load_problem_ = LoadProblem::kNotALyricName;
  if (format == Format::kNone) return document_.state;
  // Only regular files: reading a pipe or a device named like a lyric would never end.
  load_problem_ = LoadProblem::kNotAFile;
  if (!fs::FileExists(path)) return document_.state;
  auto size = fs::FileSize(path);
  load_problem_ = LoadProblem::kTooLarge;
  if (!size || *size > kMaxFileBytes) return document_.state;
  auto bytes = fs::ReadWholeFile(path);
  load_problem_ = LoadProblem::kUnreadable;
  if (!bytes) return document_.state;
  load_problem_ = LoadProblem::kTooLarge;
  if (bytes->size() > kMaxFileBytes) return document_.state;

  const bool parsed = format == Format::kLrc ? LoadLrc(*bytes) : LoadKaraoke(std::move(*bytes));
  if (!parsed) {
    // Past the limits: a half-read lyric is worse than none.
    load_problem_ = document_.timeline.size() >= LyricTimeline::kMaxLines
                        ? LoadProblem::kTooManyLines
                        : LoadProblem::kTooMuchText;
    document_.Clear();
    document_.state = LyricDocument::kStateFailed;
    return document_.state;
  }
  LyricTimeline& timeline = document_.timeline;
  timeline.Order();
  timeline.SetEnds();
  if (format == Format::kLrc) {
    last_end_guessed_ = timeline.AddCharacterWords(player_ ? player_->DurationMs() : -1);
  }
  document_.state = timeline.empty() ? LyricDocument::kStateFailed : LyricDocument::kStateLoaded;
  load_problem_ = timeline.empty() ? LoadProblem::kNoLines : LoadProblem::kNone;
  return document_.state;
}

// The texts below name the limits.
static_assert(LyricTimeline::kMaxLines == 100000);
static_assert(LyricTimeline::kMaxTextBytes == std::size_t{8} << 20);
static_assert(LyricAnalyzer::kMaxFileBytes == std::uint64_t{16} << 20);

std::string_view LyricAnalyzer::ProblemText(LoadProblem problem) {
  switch (problem) {
    case LoadProblem::kNone: return "";
    case LoadProblem::kNotALyricName: return "not an .lrc or .mrc file";
    case LoadProblem::kNotAFile: return "not a file";
    case LoadProblem::kTooLarge: return "larger than 16 MiB";
    case LoadProblem::kUnreadable: return "it cannot be read";
    case LoadProblem::kTooManyLines: return "more than 100000 lines";
    case LoadProblem::kTooMuchText: return "more than 8 MiB of line text";
    case LoadProblem::kNoLines: return "no line with a time";
  }
  return "";
}

bool LyricAnalyzer::LoadLrc(const std::string& bytes) {
  const std::string text = DecodeLyricText(bytes, player_ ? player_->DisplayTitle() : "");
  LrcParser parser(document_);
  return ForEachPiece(text, [&](std::string_view piece) { return parser.ParseLine(piece); });
}

bool LyricAnalyzer::LoadKaraoke(std::string bytes) {
  auto plain = UnscrambleKaraokeScript(std::move(bytes));
  if (!plain) return true;  // nothing usable: fails as a lyric without lines
  const std::string text = text::SanitizeUtf8(*plain);
  return ForEachPiece(text, [&](std::string_view piece) {
    auto line = ParseKaraokeLine(piece);
    return !line || document_.timeline.AddLine(line->start_ms, line->end_ms, std::move(line->text),
                                               std::move(line->words));
  });
}

LyricAnalyzer::SaveResult LyricAnalyzer::SaveIfChanged(LyricSavePrompt& prompt) {
  if (!document_.modified || FormatOf(document_.file_path) != Format::kLrc) {
    return SaveResult::kNothingToSave;
  }
  if (!prompt.AskYesNo(kSaveQuestion)) return SaveResult::kDeclined;
  return fs::WriteFileAtomic(document_.file_path, WriteLrcText(document_))
             ? SaveResult::kSaved
             : SaveResult::kWriteFailed;
}

}  // namespace quillo::lyrics
