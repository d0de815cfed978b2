#pragma once
// One line of an unscrambled karaoke script:
//   karaoke.add('00:01.000', '00:03.500', '[Hello] wor''ld', '250,250,300,300,300,300');
// Start and end are quoted times (the fraction counts milliseconds). The text is cut into units,
// one per duration: a bracketed group ("[]" becomes a space) or else one character, after
// skipping leading white space; "''" stands for one "'". Durations run one after the other from
// the line's start. A line is all or nothing: a missing argument, bad time, a duration below 1,
// too few units for the durations or times beyond the range of int drop it.
//
// Arguments are split at commas and the closing parenthesis outside quotes, so a text holding
// "," or ")" stays one argument.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/LyricWord.h"

namespace quillo::lyrics {

struct KaraokeLine {
  int start_ms = 0;
  int end_ms = 0;
  std::string text;
  std::vector<LyricWord> words;
};

// The parsed line, or no value when the line is not a karaoke.add line or is malformed.
std::optional<KaraokeLine> ParseKaraokeLine(std::string_view line);

}  // namespace quillo::lyrics
