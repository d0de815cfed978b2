#include "lyrics/TimeTag.h"

#include <climits>
#include <cstdint>

#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsTagChar(char c) {
  return IsDigit(c) || c == ':' || c == '.';
}

// Reads the digits at `position`; `value` saturates just above INT_MAX so that any overlong
// number is seen as too large. Returns the number of digits read.
std::size_t ReadDigits(std::string_view text, std::size_t& position, std::int64_t& value) {
  const std::size_t begin = position;
  value = 0;
  while (position < text.size() && IsDigit(text[position])) {
    if (value <= INT_MAX) value = value * 10 + (text[position] - '0');
    ++position;
  }
  return position - begin;
}

// The time of a tag's content (already known to hold only tag characters).
std::optional<int> TimeOfContent(std::string_view content, bool decimal_fraction) {
  std::size_t position = 0;
  std::int64_t minutes = 0;
  ReadDigits(content, position, minutes);
  std::int64_t total = minutes * 60000;
  const std::size_t colon = content.find(':');
  if (colon != std::string_view::npos) {
    position = colon + 1;
    std::int64_t seconds = 0;
    ReadDigits(content, position, seconds);
    total += seconds * 1000;
    if (position < content.size() && content[position] == '.') {
      ++position;
      const std::size_t begin = position;
      std::int64_t fraction = 0;
      const std::size_t digits = ReadDigits(content, position, fraction);
      if (decimal_fraction) {
        // A fraction of a second: "5" is 500 ms, "05" 50 ms, "005" 5 ms; digits past the
        // thousandths are dropped.
        std::int64_t ms = 0;
        for (std::size_t i = 0; i < 3; ++i) {
          ms = ms * 10 + (i < digits ? content[begin + i] - '0' : 0);
        }
        total += ms;
      } else {
        total += fraction;
      }
    }
  }
  // Each part is at most INT_MAX + 9 and the minutes at most that times 60000, so the sum
  // stays far inside 64 bits.
  if (total > INT_MAX) return std::nullopt;
  return static_cast<int>(total);
}

}  // namespace

std::optional<TimeTag> ParseBracketTimeTag(std::string_view line, std::size_t position) {
  if (position >= line.size() || line[position] != '[') return std::nullopt;
  std::size_t end = position + 1;
  while (end < line.size() && IsTagChar(line[end])) ++end;
  if (end == position + 1 || end >= line.size() || line[end] != ']') return std::nullopt;
  auto time_ms = TimeOfContent(line.substr(position + 1, end - position - 1), true);
  if (!time_ms) return std::nullopt;
  return TimeTag{*time_ms, end + 1};
}

std::size_t FindBracketTimeTag(std::string_view line, std::size_t from) {
  // A failed candidate stops at its first non-tag character, which is before the next '[', so
  // every byte is looked at a bounded number of times.
  for (std::size_t at = line.find('[', from); at != std::string_view::npos;
       at = line.find('[', at + 1)) {
    if (ParseBracketTimeTag(line, at)) return at;
  }
  return line.size();
}

std::optional<int> ParseQuotedTime(std::string_view text) {
  text = text::TrimView(text);
  if (text.empty() || text.front() != '\'') return std::nullopt;
  std::size_t end = 1;
  while (end < text.size() && IsTagChar(text[end])) ++end;
  if (end == 1 || end >= text.size() || text[end] != '\'') return std::nullopt;
  return TimeOfContent(text.substr(1, end - 1), false);
}

}  // namespace quillo::lyrics
