#include "lyrics/LyricWriter.h"

#include <algorithm>
#include <cstdio>

namespace quillo::lyrics {

std::string WriteLrcText(const LyricDocument& document) {
  std::string out;
  for (const std::string& header : document.header_lines) {
    out += header;
    out += "\r\n";
  }
  if (document.offset_ms != 0) {
    out += "[offset:" + std::to_string(document.offset_ms) + "]\r\n";
  }
  for (const LyricLine& line : document.timeline.lines()) {
    const int start_ms = std::max(0, line.start_ms);
    char tag[40];
    std::snprintf(tag, sizeof tag, "[%02d:%02d.%03d]", start_ms / 60000, start_ms / 1000 % 60,
                  start_ms % 1000);
    out += tag;
    out += line.text;
    out += "\r\n";
  }
  return out;
}

}  // namespace quillo::lyrics
