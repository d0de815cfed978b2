#include "lyrics/LyricFileNames.h"

namespace quillo::lyrics {
namespace {

constexpr std::string_view kReplaced("\\\n\r?*|\"<>:/\0", 12);

// The length of the longest prefix of at most `limit` bytes that ends on a character boundary.
std::size_t CutAtCharacter(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return end;
}

}  // namespace

std::string CleanLyricName(std::string_view stem) {
  std::string name(stem.substr(0, CutAtCharacter(stem, kMaxLyricNameBytes)));
  for (char& c : name) {
    if (kReplaced.find(c) != std::string_view::npos) c = '_';
  }
  return name;
}

std::string ArtistTitleLyricName(std::string_view artist, std::string_view title) {
  std::string stem(artist);
  stem += '-';
  stem += title;
  return CleanLyricName(stem) + ".lrc";
}

std::string PathWithoutExtension(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot)) {
    return std::string(path);
  }
  return std::string(path.substr(0, dot));
}

}  // namespace quillo::lyrics
