#include "lyrics/LrcParser.h"

#include <climits>
#include <cstdint>
#include <vector>

#include "lyrics/TimeTag.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

// An optional sign and at least one digit, nothing after them; no value beyond the range of int.
std::optional<int> StrictInt(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<std::int64_t>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

bool LrcParser::ParseLine(std::string_view raw) {
  const std::string_view line = text::TrimView(raw);
  if (line.empty() || line.front() != '[') return true;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return true;
  const std::string_view content = line.substr(1, close - 1);
  const std::size_t colon = content.find(':');
  if (colon == std::string_view::npos) return true;
  if (text::ToLowerAscii(content.substr(0, colon)) == "offset") {
    if (auto offset = StrictInt(text::TrimView(content.substr(colon + 1)))) {
      document_.offset_ms = *offset;
    }
    return true;
  }

  bool added = false;
  std::vector<int> times;
  for (std::size_t position = 0; position < line.size();) {
    times.clear();
    while (auto tag = ParseBracketTimeTag(line, position)) {
      times.push_back(tag->time_ms);
      position = tag->next;
    }
    // Only the first round can find no tag: later rounds start where a tag was found.
    if (times.empty()) break;
    const std::size_t text_end = FindBracketTimeTag(line, position);
    const std::string_view text = line.substr(position, text_end - position);
    for (int time_ms : times) {
      if (!document_.timeline.AddLine(time_ms, 0, std::string(text))) return false;
      added = true;
    }
    position = text_end;
  }
  if (!added) document_.header_lines.emplace_back(line);
  return true;
}

}  // namespace quillo::lyrics
