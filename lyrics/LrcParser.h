#pragma once
// Reads the lines of an LRC file into a document: time-tagged lines into the timeline, offset
// tags into the offset, other bracketed lines ([ti:...], [ar:...]) into the header lines.
//
// A line is trimmed first. Lines that are empty, do not begin with '[', lack a ']' or whose first
// bracket holds no ':' are ignored. "[offset:N]" sets the offset (a sign is allowed; a value
// without digits or beyond the range of int is ignored). Otherwise each run of consecutive time
// tags shares the text up to the next time tag: "[00:12.00][01:30.00]la" gives two lines,
// "[00:01.00]a[00:02.00]b" gives "a" and "b". A line that yields no timed line is a header line,
// kept verbatim for saving.
#include <string_view>

#include "lyrics/LyricDocument.h"

namespace quillo::lyrics {

class LrcParser {
 public:
  // The document outlives the parser.
  explicit LrcParser(LyricDocument& document) : document_(document) {}

  // False when the document's limits were reached (the file is then refused as a whole).
  bool ParseLine(std::string_view line);

 private:
  LyricDocument& document_;
};

}  // namespace quillo::lyrics
