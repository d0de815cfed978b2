#pragma once
// The time tags of lyric files: "[minutes:seconds.fraction]" in LRC lines and
// "'minutes:seconds.fraction'" in karaoke scripts. Pure functions over untrusted text.
//
// A tag's content must be non-empty and hold only digits, ':' and '.'. The time is
// minutes * 60000, plus seconds * 1000 when a ':' is inside the tag, plus the fraction when a '.'
// follows the seconds. In the bracket form the fraction is a decimal fraction of a second (one
// digit tenths, two hundredths, three thousandths; further digits are dropped); in the quote
// form the fraction always counts milliseconds.
// A tag whose numbers or total do not fit an int is malformed (no value), never wrapped.
#include <cstddef>
#include <optional>
#include <string_view>

namespace quillo::lyrics {

struct TimeTag {
  int time_ms = 0;
  std::size_t next = 0;  // the position just past the closing bracket
};

// The bracket tag that starts at `position` of `line`, or no value.
std::optional<TimeTag> ParseBracketTimeTag(std::string_view line, std::size_t position);

// The position of the next bracket tag at or after `from`, or line.size() when there is none.
// Linear in the length of the line, whatever it holds.
std::size_t FindBracketTimeTag(std::string_view line, std::size_t from);

// A quoted time at the start of `text` (after leading white space); what follows the closing
// quote is not looked at.
std::optional<int> ParseQuotedTime(std::string_view text);

}  // namespace quillo::lyrics
