#include "lyrics/LyricTextDecoder.h"

#include <algorithm>
#include <vector>

#include "lyrics/Utf8Step.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::lyrics {
namespace {

// Up to this many distinct title characters each is searched for on its own; beyond it (a
// long title) the text is walked once, so the work stays linear in the text.
constexpr std::size_t kSearchesPerCharacterUpTo = 32;

std::vector<char32_t> CodePoints(std::string_view text) {
  std::vector<char32_t> points;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t size = CodePointSize(text, i);
    points.push_back(CodePointAt(text, i, size));
    i += size;
  }
  return points;
}

// Text read from UTF-16 may end in U+0000 padding, which is no part of the last line.
std::string WithoutTrailingZeros(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

}  // namespace

std::size_t TitleCharactersFound(std::string_view title, std::string_view text) {
  const std::vector<char32_t> title_points = CodePoints(title);
  std::vector<char32_t> distinct = title_points;
  std::sort(distinct.begin(), distinct.end());
  distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
  if (distinct.empty()) return 0;

  std::vector<bool> seen(distinct.size(), false);
  if (distinct.size() <= kSearchesPerCharacterUpTo) {
    // A few searches for the character's UTF-8 bytes are much faster than decoding the text;
    // in well-formed UTF-8 a byte match is a character match.
    for (std::size_t i = 0; i < distinct.size(); ++i) {
      std::string bytes;
      text::AppendUtf8(bytes, distinct[i]);
      seen[i] = text.find(bytes) != std::string_view::npos;
    }
  } else {
    std::size_t seen_count = 0;
    for (std::size_t i = 0; i < text.size() && seen_count < distinct.size();) {
      const std::size_t size = CodePointSize(text, i);
      const char32_t point = CodePointAt(text, i, size);
      i += size;
      auto it = std::lower_bound(distinct.begin(), distinct.end(), point);
      if (it != distinct.end() && *it == point && !seen[it - distinct.begin()]) {
        seen[it - distinct.begin()] = true;
        ++seen_count;
      }
    }
  }
  std::size_t found = 0;
  for (char32_t point : title_points) {
    auto it = std::lower_bound(distinct.begin(), distinct.end(), point);
    if (seen[it - distinct.begin()]) ++found;
  }
  return found;
}

std::string DecodeLyricText(std::string_view bytes, std::string_view display_title) {
  if (text::StartsWith(bytes, "\xFF\xFE")) {
    return WithoutTrailingZeros(text::Utf16LeBytesToUtf8(bytes.substr(2)));
  }
  if (text::StartsWith(bytes, "\xFE\xFF")) {
    return WithoutTrailingZeros(text::Utf16BeBytesToUtf8(bytes.substr(2)));
  }
  if (text::StartsWith(bytes, "\xEF\xBB\xBF")) {
    return WithoutTrailingZeros(text::SanitizeUtf8(bytes.substr(3)));
  }

  while (!bytes.empty() && bytes.back() == '\0') bytes.remove_suffix(1);
  const bool valid_utf8 = text::IsValidUtf8(bytes);
  // Both readings agree on plain ASCII, and without a title only the tie rule decides: the
  // second conversion is skipped where it cannot change the answer.
  if (text::IsAscii(bytes)) return std::string(bytes);
  if (display_title.empty()) {
    return valid_utf8 ? std::string(bytes) : text::GbkToUtf8(bytes);
  }
  std::string utf8 = valid_utf8 ? std::string(bytes) : text::SanitizeUtf8(bytes);
  std::string gbk = text::GbkToUtf8(bytes);
  const std::size_t utf8_found = TitleCharactersFound(display_title, utf8);
  const std::size_t gbk_found = TitleCharactersFound(display_title, gbk);
  if (gbk_found > utf8_found || (gbk_found == utf8_found && !valid_utf8)) return gbk;
  return utf8;
}

}  // namespace quillo::lyrics
