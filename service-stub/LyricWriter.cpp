#include "service-stub/LyricWriter.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace quillo::stub {
namespace {

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 0x6) return 2;
  if ((lead >> 4) == 0xE) return 3;
  if ((lead >> 3) == 0x1E) return 4;
  return 1;
}

std::string QuotedTime(int time_ms) {
  time_ms = std::max(time_ms, 0);
  char text[32];
  std::snprintf(text, sizeof text, "'%02d:%02d.%03d'", time_ms / 60000, time_ms / 1000 % 60,
                time_ms % 1000);
  return text;
}

// In the karaoke script a quote inside a unit is doubled.
std::string DoubleQuotes(std::string_view text) {
  std::string out;
  for (const char c : text) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

}  // namespace

std::vector<std::string> LyricUnits(std::string_view line, Language language) {
  std::vector<std::string> units;
  if (language == Language::kEnglish) {
    std::size_t start = 0;
    while (start < line.size()) {
      while (start < line.size() && line[start] == ' ') ++start;
      std::size_t end = line.find(' ', start);
      if (end == std::string_view::npos) end = line.size();
      if (end > start) units.emplace_back(line.substr(start, end - start));
      start = end;
    }
    return units;
  }
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = std::min(Utf8Length(static_cast<unsigned char>(line[i])), line.size() - i);
    if (line[i] != ' ') units.emplace_back(line.substr(i, length));
    i += length;
  }
  return units;
}

std::string LrcTimeTag(int time_ms, bool three_digits) {
  time_ms = std::max(time_ms, 0);
  char text[32];
  if (three_digits) {
    std::snprintf(text, sizeof text, "[%02d:%02d.%03d]", time_ms / 60000, time_ms / 1000 % 60,
                  time_ms % 1000);
  } else {
    std::snprintf(text, sizeof text, "[%02d:%02d.%02d]", time_ms / 60000, time_ms / 1000 % 60,
                  time_ms % 1000 / 10);
  }
  return text;
}

std::string BuildLrc(const MelodyScore& score, const std::vector<std::string>& lines,
                     const LrcStyle& style) {
  const std::string end = style.crlf ? "\r\n" : "\n";
  std::string out;
  if (style.header_tags) {
    out += "[ti:" + style.title + "]" + end;
    out += "[ar:" + style.artist + "]" + end;
    if (!style.album.empty()) out += "[al:" + style.album + "]" + end;
    out += "[by:Zelbo音乐]" + end;
  }
  if (style.offset_ms != 0) out += "[offset:" + std::to_string(style.offset_ms) + "]" + end;

  // (text, tag times) in order of first appearance.
  std::vector<std::pair<std::string, std::vector<int>>> entries;
  std::map<std::string, std::size_t> merged;
  bool sung_yet = false;
  for (std::size_t i = 0; i < score.phrases.size() && i < lines.size(); ++i) {
    const auto& phrase = score.phrases[i];
    if (!phrase.sung) {
      // An instrumental break between sung lines shows as an empty line.
      if (!sung_yet) continue;
      entries.push_back({std::string(), {phrase.start_ms}});
      continue;
    }
    sung_yet = true;
    const int due_ms = phrase.notes.empty() ? phrase.start_ms : phrase.notes.front().start_ms;
    if (style.merge_repeats) {
      auto found = merged.find(lines[i]);
      if (found != merged.end()) {
        entries[found->second].second.push_back(due_ms);
        continue;
      }
      merged[lines[i]] = entries.size();
    }
    entries.push_back({lines[i], {due_ms}});
  }
  for (const auto& [text, times] : entries) {
    // The client shows a line at its tag plus the offset, so the tag is written that much early.
    for (const int time_ms : times) out += LrcTimeTag(time_ms - style.offset_ms, style.three_digit_times);
    out += text + end;
  }
  return out;
}

std::string BuildKaraokeScript(const MelodyScore& score, const std::vector<std::string>& lines,
                               Language language) {
  std::string out = "karaoke.rows = " + std::to_string(score.phrases.size()) + ";\n";
  for (std::size_t i = 0; i < score.phrases.size() && i < lines.size(); ++i) {
    const auto& phrase = score.phrases[i];
    if (!phrase.sung || phrase.notes.empty()) continue;
    const auto units = LyricUnits(lines[i], language);
    if (units.empty()) continue;
    std::string text, durations;
    for (std::size_t u = 0; u < units.size() && u < phrase.notes.size(); ++u) {
      if (language == Language::kEnglish) {
        // A word is a bracketed group; its trailing space keeps the words apart on screen.
        text += "[" + DoubleQuotes(units[u]) + (u + 1 < units.size() ? " " : "") + "]";
      } else {
        text += DoubleQuotes(units[u]);
      }
      if (!durations.empty()) durations += ",";
      durations += std::to_string(std::max(1, phrase.notes[u].length_ms));
    }
    const auto& last = phrase.notes[std::min(units.size(), phrase.notes.size()) - 1];
    out += "karaoke.add(" + QuotedTime(phrase.notes.front().start_ms) + ", " +
           QuotedTime(last.start_ms + last.length_ms) + ", '" + text + "', '" + durations + "');\n";
  }
  return out;
}

}  // namespace quillo::stub
