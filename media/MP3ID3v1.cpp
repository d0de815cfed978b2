#include "media/MP3ID3v1.h"

#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace quillo::media {
namespace {

constexpr unsigned char kNoGenre = 255;

bool IsTagMarker(std::string_view block) {
  return block.size() >= 3 && text::EqualsIgnoreCaseAscii(block.substr(0, 3), "TAG");
}

// A fixed-width field: up to its first zero byte, trailing blanks dropped, GBK decoded.
std::string Field(std::string_view block, std::size_t offset, std::size_t width) {
  std::string_view bytes = block.substr(offset, width);
  std::size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) bytes = bytes.substr(0, zero);
  while (!bytes.empty() && bytes.back() == ' ') bytes.remove_suffix(1);
  return text::GbkToUtf8(bytes);
}

// GBK text cut to at most `width` bytes without splitting a double-byte character.
std::string FitGbk(std::string_view utf8, std::size_t width) {
  std::string gbk = text::Utf8ToGbk(utf8);
  std::size_t end = 0;
  while (end < gbk.size()) {
    std::size_t step = static_cast<unsigned char>(gbk[end]) >= 0x81 ? 2 : 1;
    if (end + step > width || end + step > gbk.size()) break;
    end += step;
  }
  gbk.resize(end);
  return gbk;
}

void PutField(std::string& block, std::size_t offset, std::size_t width, std::string_view utf8) {
  std::string bytes = FitGbk(utf8, width);
  block.replace(offset, bytes.size(), bytes);
}

// "17" or "(17)" → 17; anything else has no ID3v1 number.
unsigned char GenreNumber(std::string_view genre) {
  std::string_view digits = text::TrimView(genre);
  if (digits.size() >= 2 && digits.front() == '(' && digits.back() == ')') {
    digits = digits.substr(1, digits.size() - 2);
  }
  if (digits.empty() || digits.size() > 3) return kNoGenre;
  int value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return kNoGenre;
    value = value * 10 + (c - '0');
  }
  return value < kNoGenre ? static_cast<unsigned char>(value) : kNoGenre;
}

}  // namespace

bool MP3ID3v1::ParseBlock(std::string_view block, TagInfo& info) {
  if (block.size() != kBlockBytes || !IsTagMarker(block)) return false;
  info.title = Field(block, 3, 30);
  info.artist = Field(block, 33, 30);
  info.album = Field(block, 63, 30);
  info.year = Field(block, 93, 4);
  info.comment = Field(block, 97, 30);
  unsigned char genre = static_cast<unsigned char>(block[127]);
  info.genre = genre == kNoGenre ? std::string() : std::to_string(genre);
  return true;
}

bool MP3ID3v1::Read(TagFile& file, TagInfo& info) {
  if (file.Size() < kBlockBytes) return false;
  return ParseBlock(file.ReadAt(file.Size() - kBlockBytes, kBlockBytes), info);
}

std::string MP3ID3v1::BuildBlock(const TagInfo& info, std::string_view previous) {
  std::string block(kBlockBytes, '\0');
  block.replace(0, 3, "TAG");
  PutField(block, 3, 30, info.title);
  PutField(block, 33, 30, info.artist);
  PutField(block, 63, 30, info.album);
  PutField(block, 93, 4, info.year);
  // ID3v1.1: a zero at 125 and a track number at 126. Keep the track when the comment fits.
  bool has_track = previous.size() == kBlockBytes && IsTagMarker(previous) &&
                   previous[125] == '\0' && previous[126] != '\0';
  std::string comment = FitGbk(info.comment, 30);
  if (has_track && comment.size() <= 28) {
    block.replace(97, comment.size(), comment);
    block[126] = previous[126];
  } else {
    block.replace(97, comment.size(), comment);
  }
  block[127] = static_cast<char>(GenreNumber(info.genre));
  return block;
}

bool MP3ID3v1::Write(TagFile& file, const TagInfo& info) {
  const std::string* contents = file.Contents();
  if (!contents) return false;
  std::string bytes = *contents;
  std::string_view previous;
  bool replace = bytes.size() >= kBlockBytes &&
                 IsTagMarker(std::string_view(bytes).substr(bytes.size() - kBlockBytes));
  if (replace) previous = std::string_view(bytes).substr(bytes.size() - kBlockBytes);
  std::string block = BuildBlock(info, previous);
  if (replace) {
    bytes.replace(bytes.size() - kBlockBytes, kBlockBytes, block);
  } else {
    bytes += block;
  }
  file.SetContents(std::move(bytes));
  return true;
}

}  // namespace quillo::media
