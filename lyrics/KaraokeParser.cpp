#include "lyrics/KaraokeParser.h"

#include <climits>
#include <cstdint>

#include "lyrics/TimeTag.h"
#include "lyrics/Utf8Step.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

// The first `wanted` character at or after `from` that is outside quotes ("''" inside a quote
// toggles twice and so stays inside), or npos.
std::size_t FindOutsideQuotes(std::string_view text, std::size_t from, char wanted) {
  bool quoted = false;
  for (std::size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\'') {
      quoted = !quoted;
    } else if (!quoted && text[i] == wanted) {
      return i;
    }
  }
  return std::string_view::npos;
}

// What lies between the first and the last quote of an argument, trimmed.
std::optional<std::string_view> Unquote(std::string_view argument) {
  const std::size_t first = argument.find('\'');
  const std::size_t last = argument.rfind('\'');
  if (first == std::string_view::npos || last == first) return std::nullopt;
  return text::TrimView(argument.substr(first + 1, last - first - 1));
}

// A duration: digits only (after trimming), at least 1, within the range of int.
std::optional<int> ParseDuration(std::string_view text) {
  text = text::TrimView(text);
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return std::nullopt;
  }
  if (value < 1) return std::nullopt;
  return static_cast<int>(value);
}

std::string_view LeftTrim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' ||
                           text.front() == '\n' || text.front() == '\v' || text.front() == '\f')) {
    text.remove_prefix(1);
  }
  return text;
}

void AppendUnquoted(std::string& out, std::string_view unit) {
  for (std::size_t i = 0; i < unit.size(); ++i) {
    out.push_back(unit[i]);
    if (unit[i] == '\'' && i + 1 < unit.size() && unit[i + 1] == '\'') ++i;
  }
}

}  // namespace

std::optional<KaraokeLine> ParseKaraokeLine(std::string_view raw) {
  const std::string_view line = text::TrimView(raw);
  if (!text::StartsWith(line, "karaoke.add")) return std::nullopt;
  const std::size_t open = line.find('(');
  if (open == std::string_view::npos) return std::nullopt;

  std::string_view arguments[4];
  std::size_t position = open + 1;
  for (int i = 0; i < 4; ++i) {
    const std::size_t end = FindOutsideQuotes(line, position, i < 3 ? ',' : ')');
    if (end == std::string_view::npos) return std::nullopt;
    arguments[i] = line.substr(position, end - position);
    position = end + 1;
  }

  KaraokeLine result;
  auto start_ms = ParseQuotedTime(arguments[0]);
  auto end_ms = ParseQuotedTime(arguments[1]);
  auto units = Unquote(arguments[2]);
  auto durations = Unquote(arguments[3]);
  if (!start_ms || !end_ms || !units || !durations) return std::nullopt;
  result.start_ms = *start_ms;
  result.end_ms = *end_ms;

  std::string_view rest = *units;
  std::int64_t running_ms = 0;
  std::size_t from = 0;
  while (true) {
    const std::size_t comma = durations->find(',', from);
    const std::string_view piece = durations->substr(
        from, comma == std::string_view::npos ? std::string_view::npos : comma - from);
    auto duration_ms = ParseDuration(piece);
    if (!duration_ms) return std::nullopt;

    rest = LeftTrim(rest);
    if (rest.empty()) return std::nullopt;
    std::string_view unit;
    if (rest.front() == '[') {
      const std::size_t close = rest.find(']');
      if (close == std::string_view::npos) return std::nullopt;
      unit = close == 1 ? std::string_view(" ") : rest.substr(1, close - 1);
      rest.remove_prefix(close + 1);
    } else {
      // A doubled quote is one character of the text.
      const std::size_t size = text::StartsWith(rest, "''") ? 2 : CodePointSize(rest, 0);
      unit = rest.substr(0, size);
      rest.remove_prefix(size);
    }

    if (running_ms + *duration_ms > INT_MAX) return std::nullopt;
    LyricWord word;
    word.start_ms = static_cast<int>(running_ms);
    word.end_ms = static_cast<int>(running_ms + *duration_ms);
    word.text_offset = static_cast<std::uint32_t>(result.text.size());
    AppendUnquoted(result.text, unit);
    word.text_size = static_cast<std::uint32_t>(result.text.size() - word.text_offset);
    result.words.push_back(word);
    running_ms += *duration_ms;

    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
  return result;
}

}  // namespace quillo::lyrics
