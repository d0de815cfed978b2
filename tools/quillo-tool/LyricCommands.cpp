// lyric parse FILE, lyric locate FILE MS, lyric adjust FILE KIND MS: the lyric parser and
// timeline without a player. The display title (GBK or UTF-8) comes from --title and the song's
// duration (where the last LRC line ends) from --duration; without them: empty and -1.
#include <charconv>
#include <optional>
#include <ostream>
#include <string_view>

#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricPlayerInfo.h"
#include "lyrics/LyricSavePrompt.h"
#include "tools/quillo-tool/FileArgument.h"
#include "tools/quillo-tool/ToolCommand.h"

namespace quillo::tool {
namespace {

class FixedPlayer : public lyrics::LyricPlayerInfo {
 public:
  std::string DisplayTitle() const override { return title; }
  int DurationMs() const override { return duration_ms; }

  std::string title;
  int duration_ms = -1;
};

// --save answers the save question with yes; without it nothing is written.
class AnswerPrompt : public lyrics::LyricSavePrompt {
 public:
  explicit AnswerPrompt(bool yes) : yes_(yes) {}
  bool AskYesNo(std::string_view) override { return yes_; }

 private:
  bool yes_;
};

std::optional<long long> Integer(std::string_view text) {
  long long value = 0;
  const char* begin = text.data();
  if (!text.empty() && text.front() == '+') ++begin;
  auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || begin == end) return std::nullopt;
  return value;
}

std::optional<int> IntArgument(std::string_view text) {
  auto value = Integer(text);
  if (!value || *value < INT32_MIN || *value > INT32_MAX) return std::nullopt;
  return static_cast<int>(*value);
}

// Options shared by the lyric commands; the words that are not options stay in `positional`.
struct LyricOptions {
  FixedPlayer player;
  std::vector<std::string> positional;
  bool words = false;
  bool skip_empty = false;
  bool save = false;
  std::optional<std::size_t> line;
};

bool ReadOptions(const std::vector<std::string>& args, LyricOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool has_value = i + 1 < args.size();
    if (arg == "--title" && has_value) {
      options.player.title = args[++i];
    } else if (arg == "--duration" && has_value) {
      auto value = IntArgument(args[++i]);
      if (!value) return false;
      options.player.duration_ms = *value;
    } else if (arg == "--line" && has_value) {
      auto value = Integer(args[++i]);
      if (!value || *value < 0) return false;
      options.line = static_cast<std::size_t>(*value);
    } else if (arg == "--words") {
      options.words = true;
    } else if (arg == "--skip-empty") {
      options.skip_empty = true;
    } else if (arg == "--save") {
      options.save = true;
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      options.positional.push_back(arg);
    }
  }
  return true;
}

// Text on one tab-separated line.
std::string Cell(std::string_view text) {
  std::string cell(text);
  for (char& c : cell) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return cell;
}

void PrintTimeline(const lyrics::LyricDocument& document, bool words, std::ostream& out) {
  for (const lyrics::LyricLine& line : document.timeline.lines()) {
    out << line.start_ms << '\t' << line.end_ms << '\t' << Cell(line.text) << '\n';
    if (!words) continue;
    for (const lyrics::LyricWord& word : line.words) {
      out << '\t' << word.start_ms << '\t' << word.end_ms << '\t' << Cell(line.WordText(word))
          << '\n';
    }
  }
}

bool Load(lyrics::LyricAnalyzer& analyzer, const std::string& path, ToolContext& context) {
  if (!CheckFileArgument(path, FileUse::kRead, context.err)) return false;
  if (analyzer.LoadLyric(path, "") == lyrics::LyricDocument::kStateLoaded) return true;
  context.err << "quillo-tool: no lyric could be read from " << path << ": "
              << lyrics::LyricAnalyzer::ProblemText(analyzer.load_problem()) << "\n";
  return false;
}

int LyricParse(ToolContext& context) {
  LyricOptions options;
  if (!ReadOptions(context.args, options) || options.positional.size() != 1) {
    context.err << "usage: quillo-tool lyric parse FILE [--title T] [--duration MS] [--words]\n";
    return 1;
  }
  lyrics::LyricAnalyzer analyzer(&options.player);
  if (!Load(analyzer, options.positional[0], context)) return 1;
  PrintTimeline(analyzer.document(), options.words, context.out);
  return 0;
}

int LyricLocate(ToolContext& context) {
  LyricOptions options;
  std::optional<int> position_ms;
  if (ReadOptions(context.args, options) && options.positional.size() == 2) {
    position_ms = IntArgument(options.positional[1]);
  }
  if (!position_ms) {
    context.err << "usage: quillo-tool lyric locate FILE MS [--skip-empty] [--title T] "
                   "[--duration MS]\n";
    return 1;
  }
  lyrics::LyricAnalyzer analyzer(&options.player);
  if (!Load(analyzer, options.positional[0], context)) return 1;
  auto position = analyzer.LocateLine(*position_ms, options.skip_empty);
  if (!position) {
    context.out << "none\n";
    return 0;
  }
  context.out << position->line << '\t' << position->word << '\t' << position->percent << '\n';
  return 0;
}

int LyricAdjust(ToolContext& context) {
  LyricOptions options;
  std::optional<int> kind, delta_ms;
  if (ReadOptions(context.args, options) && options.positional.size() == 3) {
    kind = IntArgument(options.positional[1]);
    delta_ms = IntArgument(options.positional[2]);
  }
  if (!kind || !delta_ms) {
    context.err << "usage: quillo-tool lyric adjust FILE KIND MS [--line N] [--save] [--title T] "
                   "[--duration MS]\n";
    return 1;
  }
  lyrics::LyricAnalyzer analyzer(&options.player);
  if (!Load(analyzer, options.positional[0], context)) return 1;
  if (!analyzer.AdjustTiming(*delta_ms, *kind, options.line)) {
    context.err << "quillo-tool: the adjustment was refused (kind 1-4; kinds 1 and 2 need --line "
                   "of an existing line)\n";
    return 1;
  }
  AnswerPrompt prompt(options.save);
  switch (analyzer.SaveIfChanged(prompt)) {
    case lyrics::LyricAnalyzer::SaveResult::kWriteFailed:
      context.err << "quillo-tool: cannot write " << options.positional[0] << "\n";
      return 1;
    case lyrics::LyricAnalyzer::SaveResult::kNothingToSave:
      if (options.save) {
        context.err << "quillo-tool: only .lrc files are saved\n";
        return 1;
      }
      break;
    case lyrics::LyricAnalyzer::SaveResult::kDeclined:
    case lyrics::LyricAnalyzer::SaveResult::kSaved:
      break;
  }
  PrintTimeline(analyzer.document(), false, context.out);
  return 0;
}

}  // namespace

void RegisterLyricCommands(CommandList& commands) {
  commands.push_back({"lyric parse", "FILE [--title T] [--duration MS] [--words]", LyricParse,
                      /*needs_store=*/false});
  commands.push_back({"lyric locate", "FILE MS [--skip-empty] [--title T] [--duration MS]",
                      LyricLocate, /*needs_store=*/false});
  commands.push_back({"lyric adjust",
                      "FILE KIND MS [--line N] [--save] [--title T] [--duration MS]", LyricAdjust,
                      /*needs_store=*/false});
}

}  // namespace quillo::tool
