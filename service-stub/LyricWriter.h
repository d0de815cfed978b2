#pragma once
// Writes the lyric files of a song from its melody: LRC text whose lines start with their
// phrases, and the karaoke script (before scrambling) whose units last as long as their notes.
#include <string>
#include <string_view>
#include <vector>

#include "service-stub/CatalogueText.h"
#include "service-stub/MelodySynth.h"

namespace quillo::stub {

// The units a line is sung in: one per character for Chinese, Japanese and Korean (spaces
// skipped), one per word for English.
std::vector<std::string> LyricUnits(std::string_view line, Language language);

struct LrcStyle {
  std::string title, artist, album;
  bool header_tags = false;     // [ti:] [ar:] [al:] [by:] ahead of the lines
  int offset_ms = 0;            // written as [offset:N] and subtracted from every tag
  bool three_digit_times = false;  // [mm:ss.mmm] instead of [mm:ss.xx]
  bool merge_repeats = false;   // a repeated line gets all its tags on one line
  bool crlf = true;             // "\r\n" line ends, else "\n"
};

// UTF-8 text. `lines` has one entry per phrase of the score (empty for instrumental phrases,
// which become empty timed lines after the first sung one).
std::string BuildLrc(const MelodyScore& score, const std::vector<std::string>& lines,
                     const LrcStyle& style);

// The karaoke script: one karaoke.add('start', 'end', 'units', 'durations'); line per sung phrase.
std::string BuildKaraokeScript(const MelodyScore& score, const std::vector<std::string>& lines,
                               Language language);

// "[mm:ss.xx]" or "[mm:ss.mmm]"; negative times are written as 0.
std::string LrcTimeTag(int time_ms, bool three_digits);

}  // namespace quillo::stub
