// ID3 tags of MP3 files: read as TagInfo::Read does (ID3v2, else ID3v1), written as
// MediaTagAccess::WriteTags does (new title, artist and album; year, comment and genre kept or
// changed), and read back: every field written must come back as written where the tag can hold
// it (ID3v2 holds any text without NUL; the ID3v1 block holds short ASCII).
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "TagFileFixture.h"
#include "media/MP3ID3v1.h"
#include "media/MP3ID3v2.h"
#include "media/TagInfo.h"
#include "platform/text/TextCodec.h"
#include "platform/text/TextUtil.h"

namespace {

using namespace quillo::media;

void CheckWellFormed(const TagInfo& info) {
  for (const std::string* field :
       {&info.title, &info.artist, &info.album, &info.year, &info.comment, &info.genre}) {
    FUZZ_CHECK(quillo::text::IsValidUtf8(*field));
  }
}

// What the ID3v1 block gives back for a field written as `value`, when that is foreseeable.
bool FitsV1(const std::string& value, std::size_t width) {
  return !value.empty() && value.size() <= width && quillo::text::IsAscii(value) &&
         value.back() != ' ';
}

// Where the ID3v2 tags stacked at the start end (the writer replaces all of them).
std::size_t TagsEnd(std::string_view bytes) {
  std::size_t end = 0;
  while (auto tag = MP3ID3v2::Parse(bytes.substr(end), bytes.size() - end)) {
    end += std::min(tag->total_bytes, bytes.size() - end);
  }
  return end;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quillo::fuzz::FuzzInput input(data, size);
  const std::uint8_t mode = input.Byte();
  std::string fields[6];
  for (std::string& field : fields) field = quillo::text::SanitizeUtf8(input.Text());
  const std::string original = input.Rest();

  TagFile file = quillo::fuzz::TagFileWith(original);
  TagInfo info;
  MP3ID3v2 v2;
  MP3ID3v1 v1;
  info.found = v2.Read(file, info);
  if (!info.found) info.found = v1.Read(file, info);
  CheckWellFormed(info);

  info.title = fields[0];
  info.artist = fields[1];
  info.album = fields[2];
  if (mode & 1) info.year = fields[3];
  if (mode & 2) info.comment = fields[4];
  if (mode & 4) info.genre = fields[5];
  const TagInfo written = info;

  FUZZ_CHECK(v1.Write(file, info));
  const std::string after_v1 = *file.Contents();
  const std::size_t old_tags_end = TagsEnd(after_v1);
  if (!v2.Write(file, info)) return 0;
  const std::string result = *file.Contents();

  TagFile reread = quillo::fuzz::TagFileWith(result);
  TagInfo back;
  // A tag without frames (nothing to write, nothing carried) has size 0, which no reader takes.
  if (!v2.Read(reread, back)) {
    for (const std::string* field : {&written.title, &written.artist, &written.album,
                                     &written.year, &written.comment, &written.genre}) {
      FUZZ_CHECK(field->empty());
    }
  }
  CheckWellFormed(back);
  for (auto [wrote, read] : {std::pair{&written.title, &back.title},
                             std::pair{&written.artist, &back.artist},
                             std::pair{&written.album, &back.album},
                             std::pair{&written.comment, &back.comment},
                             std::pair{&written.genre, &back.genre}}) {
    if (!wrote->empty()) FUZZ_CHECK(*read == *wrote);
  }
  // A 2.4 tag keeps the year as the start of its recording time: up to four bytes come back,
  // cut where a character begins.
  const auto new_tag = MP3ID3v2::Parse(result, result.size());
  if (!written.year.empty()) {
    if (new_tag && new_tag->major_version == 4) {
      FUZZ_CHECK(!back.year.empty() && back.year.size() <= 4);
      FUZZ_CHECK(written.year.compare(0, back.year.size(), back.year) == 0);
    } else {
      FUZZ_CHECK(back.year == written.year);
    }
  }

  // The ID3v1 block is at the end unless the frames of a broken ID3v2 tag (one claiming more
  // than the file holds) ran on into the block written first: it is then part of a frame.
  if (old_tags_end + MP3ID3v1::kBlockBytes > after_v1.size()) return 0;
  {
    TagInfo block;
    FUZZ_CHECK(v1.Read(reread, block));
    CheckWellFormed(block);
    if (FitsV1(written.title, 30)) FUZZ_CHECK(block.title == written.title);
    if (FitsV1(written.artist, 30)) FUZZ_CHECK(block.artist == written.artist);
    if (FitsV1(written.album, 30)) FUZZ_CHECK(block.album == written.album);
    if (FitsV1(written.year, 4)) FUZZ_CHECK(block.year == written.year);
  }

  // Written again with the same fields, the file does not change (asked of some inputs only: a
  // write is most of the cost of an input).
  if ((mode & 8) == 0) return 0;
  FUZZ_CHECK(v1.Write(reread, written));
  // The same exception as above.
  if (TagsEnd(*reread.Contents()) + MP3ID3v1::kBlockBytes > reread.Contents()->size()) return 0;
  FUZZ_CHECK(v2.Write(reread, written));
  FUZZ_CHECK(*reread.Contents() == result);
  return 0;
}
