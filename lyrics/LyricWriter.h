#pragma once
// The LRC text a document is saved as: UTF-8 without a byte order mark, "\r\n" line ends;
// the header lines in their order, then "[offset:N]" when the offset is not 0, then every line
// as "[mm:ss.mmm]text" in timeline order (a line that had several tags is written once per tag).
// A start before 0, which re-timing can produce, is written as 0: a negative time would make a
// tag the next load cannot read, and the line would be lost.
#include <string>

#include "lyrics/LyricDocument.h"

namespace quillo::lyrics {

std::string WriteLrcText(const LyricDocument& document);

}  // namespace quillo::lyrics
