// Tag writes found wanting by the fuzz targets: what a write leaves must read back as written,
// and writing the same fields again must not change the file.
#include <gtest/gtest.h>

#include <optional>

#include "TagBytes.h"
#include "media/MP3ID3v1.h"
#include "media/MP3ID3v2.h"
#include "media/TagInfo.h"
#include "media/WMAInfo.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "support/TempFolder.h"

namespace quillo::media {
namespace {

using namespace quillo::testing;

TagInfo ReadV2(const std::string& bytes) {
  TagInfo info;
  auto tag = MP3ID3v2::Parse(bytes, bytes.size());
  if (tag) MP3ID3v2::Fill(*tag, info);
  return info;
}

// With every field empty there is no frame to write: a header of size 0 was written, which no
// reader takes for a tag, so each later write kept it as audio and put another one in front.
TEST(TagRewriteTest, NoFramesMeansNoTagAndRepeatedWritesAreStable) {
  const std::string audio = FakeAudio(300);
  const TagInfo empty;
  auto once = MP3ID3v2::Rewrite(audio, empty);
  ASSERT_TRUE(once);
  EXPECT_EQ(*once, audio);
  // An old tag whose frames are all ours goes when the fields are cleared.
  auto cleared = MP3ID3v2::Rewrite(Tag(Frame("TIT2", std::string(1, '\0') + "Old")) + audio, empty);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(*cleared, audio);
  // Frames of other writers keep their tag.
  const std::string other = Tag(Frame("TXXX", std::string("\0k\0v", 4))) + audio;
  auto kept = MP3ID3v2::Rewrite(other, empty);
  ASSERT_TRUE(kept);
  EXPECT_EQ(*kept, other);

  // The input the fuzz target found: an empty file written twice through TagInfo.
  TempFolder folder;
  const std::string path = folder / "empty.mp3";
  ASSERT_TRUE(fs::WriteFile(path, ""));
  TagInfo info;
  info.path = path;
  ASSERT_TRUE(info.Write());
  const std::string first = *fs::ReadWholeFile(path);
  EXPECT_EQ(first.size(), MP3ID3v1::kBlockBytes);
  ASSERT_TRUE(info.Write());
  EXPECT_EQ(*fs::ReadWholeFile(path), first);
}

// A 2.4 tag keeps the year in "TDRC", which the writer changes; a "TYER" another writer left
// there used to win on reading, so the year written never showed.
TEST(TagRewriteTest, VersionFourYearReadsBackAsWritten) {
  const std::string audio = FakeAudio(100);
  const std::string v4 = Tag(Frame("TYER", std::string(1, '\0') + "1998", 4) +
                                 Frame("TDRC", std::string(1, '\x03') + "2003-01-01", 4),
                             4) +
                         audio;
  EXPECT_EQ(ReadV2(v4).year, "2003");
  TagInfo info = ReadV2(v4);
  info.year = "2010";
  auto rewritten = MP3ID3v2::Rewrite(v4, info);
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(ReadV2(*rewritten).year, "2010");
  // A 2.3 tag reads its own year frame first, as before.
  const std::string v3 = Tag(Frame("TYER", std::string(1, '\0') + "1998") +
                             Frame("TDRC", std::string(1, '\0') + "2003"));
  EXPECT_EQ(ReadV2(v3).year, "1998");
}

// The year of a 2.4 tag is the first four bytes of its recording time; cut inside a character
// they were not UTF-8. The recording time here is the one the fuzz target found.
TEST(TagRewriteTest, VersionFourYearIsCutAtACharacter) {
  const std::string content = std::string("\x03", 1) + std::string(8, '\xFF') + "1-01";
  const TagInfo info = ReadV2(Tag(Frame("TDRC", content, 4), 4));
  EXPECT_EQ(info.year, "\xEF\xBF\xBD");
  EXPECT_TRUE(text::IsValidUtf8(info.year));
  EXPECT_EQ(ReadV2(Tag(Frame("TDRC", std::string(1, '\x03') + "二〇〇三", 4), 4)).year, "二");
}

// Two comment frames without a description (the fuzz target's input had them): clearing the
// comment dropped the first only, the second then read as the comment, and the next write
// dropped that one too, so the file changed again.
TEST(TagRewriteTest, DuplicateCommentsCollapseIntoOne) {
  auto comm = [](const std::string& description, const std::string& text) {
    return Frame("COMM", std::string("\0eng", 4) + description + std::string(1, '\0') + text);
  };
  const std::string audio = FakeAudio(100);
  const std::string file = Tag(comm("", "first") + comm("iTunNORM", " 0000") + comm("", "second")) + audio;
  EXPECT_EQ(ReadV2(file).comment, "first");

  TagInfo cleared = ReadV2(file);
  cleared.comment.clear();
  auto once = MP3ID3v2::Rewrite(file, cleared);
  ASSERT_TRUE(once);
  EXPECT_EQ(ReadV2(*once).comment, "");
  auto twice = MP3ID3v2::Rewrite(*once, cleared);
  ASSERT_TRUE(twice);
  EXPECT_EQ(*twice, *once);
  // Other players' notes stay.
  auto tag = MP3ID3v2::Parse(*once, once->size());
  ASSERT_TRUE(tag);
  ASSERT_EQ(tag->frames.size(), 1u);
  EXPECT_EQ(tag->frames[0].content, std::string("\0engiTunNORM\0 0000", 18));

  TagInfo changed = ReadV2(file);
  changed.comment = "new";
  auto rewritten = MP3ID3v2::Rewrite(file, changed);
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(ReadV2(*rewritten).comment, "new");
  EXPECT_EQ(MP3ID3v2::Parse(*rewritten, rewritten->size())->frames.size(), 2u);
}

// Tags stacked at the start: a write without fields dropped the first, the next then read as
// the file's tag with its old fields, and each later write dropped one more. All are replaced
// by the one tag written, which keeps the other writers' frames of every one of them.
TEST(TagRewriteTest, StackedTagsAreReplacedTogetherAndWritesAreStable) {
  const std::string audio = FakeAudio(300);
  const std::string txxx_a = Frame("TXXX", std::string("\0a\0one", 6));
  const std::string txxx_b = Frame("TXXX", std::string("\0b\0two", 6));
  const std::string stacked = Tag(Frame("TIT2", std::string(1, '\0') + "First") + txxx_a) +
                              Tag(Frame("TIT2", std::string(1, '\0') + "Second") + txxx_b) + audio;
  EXPECT_EQ(ReadV2(stacked).title, "First");

  const TagInfo empty;
  auto once = MP3ID3v2::Rewrite(stacked, empty);
  ASSERT_TRUE(once);
  EXPECT_EQ(*once, Tag(txxx_a + txxx_b) + audio);
  EXPECT_EQ(ReadV2(*once).title, "");
  auto twice = MP3ID3v2::Rewrite(*once, empty);
  ASSERT_TRUE(twice);
  EXPECT_EQ(*twice, *once);

  // Only our frames: no tag at all is left, at once.
  const std::string ours_only = Tag(Frame("TIT2", std::string(1, '\0') + "First")) +
                                Tag(Frame("TPE1", std::string(1, '\0') + "Artist"), 3, 20) +
                                Tag(Frame("TALB", std::string(1, '\0') + "Album", 4), 4) + audio;
  auto cleared = MP3ID3v2::Rewrite(ours_only, empty);
  ASSERT_TRUE(cleared);
  EXPECT_EQ(*cleared, audio);

  TagInfo titled;
  titled.title = "New";
  auto rewritten = MP3ID3v2::Rewrite(stacked, titled);
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(*rewritten, Tag(Frame("TIT2", std::string(1, '\0') + "New") + txxx_a + txxx_b) + audio);

  // A 2.4 tag stacked under a 2.3 one gives its frames without flags; a flagged frame means
  // something else in 2.3 and is not carried.
  const std::string mixed = Tag(txxx_a) +
                            Tag(Frame("TXXX", std::string("\x03" "c\0three", 8), 4) +
                                    "TXXX" + Synchsafe(4) + std::string("\x00\x01", 2) + std::string("\x03z\0z", 4),
                                4) +
                            audio;
  auto merged = MP3ID3v2::Rewrite(mixed, empty);
  ASSERT_TRUE(merged);
  EXPECT_EQ(*merged, Tag(txxx_a + Frame("TXXX", std::string("\x03" "c\0three", 8))) + audio);

  // The fuzz target's case through the program's writer: the file stays as it is after the
  // first write.
  TempFolder folder;
  const std::string path = folder / "stacked.mp3";
  ASSERT_TRUE(fs::WriteFile(path, ours_only));
  TagInfo info;
  info.path = path;
  ASSERT_TRUE(info.Write());
  const std::string first = *fs::ReadWholeFile(path);
  EXPECT_EQ(first.substr(0, audio.size()), audio);
  ASSERT_TRUE(info.Write());
  EXPECT_EQ(*fs::ReadWholeFile(path), first);
}

// A tag whose size claims more than the file holds was taken to run to the end of the file,
// so a write dropped everything after its frames: the audio and the ID3v1 block just written.
TEST(TagRewriteTest, TagClaimingMoreThanTheFileKeepsWhatFollows) {
  const std::string audio = FakeAudio(500);
  std::string claims = Tag(Frame("TIT2", std::string(1, '\0') + "Old")) + audio;
  claims.replace(6, 4, Synchsafe(1 << 20));
  auto tag = MP3ID3v2::Parse(claims, claims.size());
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->total_bytes, 10u + 14u);
  EXPECT_EQ(ReadV2(claims).title, "Old");
  TagInfo info;
  info.title = "New";
  auto rewritten = MP3ID3v2::Rewrite(claims, info);
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(*rewritten, Tag(Frame("TIT2", std::string(1, '\0') + "New")) + audio);

  // Unsynchronised: the tag ends where its last frame's stored bytes end.
  const std::string raw_frame = "TXXX" + BigEndian32(5) + std::string(2, '\0') + std::string("\0k\0\xFF\0v", 6);
  std::string unsynchronised = std::string("ID3\x03\x00\x80", 6) + Synchsafe(1 << 20) + raw_frame + audio;
  auto rewritten_unsync = MP3ID3v2::Rewrite(unsynchronised, info);
  ASSERT_TRUE(rewritten_unsync);
  EXPECT_EQ(*rewritten_unsync,
            Tag(Frame("TXXX", std::string("\0k\0\xFFv", 5)) + Frame("TIT2", std::string(1, '\0') + "New")) + audio);

  // Through the program's writer the ID3v1 block is appended first, then the ID3v2 tag is
  // rewritten: both survive, with the audio between them.
  TempFolder folder;
  const std::string path = folder / "claims.mp3";
  ASSERT_TRUE(fs::WriteFile(path, claims));
  TagInfo on_disk;
  on_disk.path = path;
  on_disk.title = "New";
  on_disk.artist = "Artist";
  ASSERT_TRUE(on_disk.Write());
  const std::string written = *fs::ReadWholeFile(path);
  auto new_tag = MP3ID3v2::Parse(written, written.size());
  ASSERT_TRUE(new_tag);
  ASSERT_EQ(written.size(), new_tag->total_bytes + audio.size() + MP3ID3v1::kBlockBytes);
  EXPECT_EQ(written.substr(new_tag->total_bytes, audio.size()), audio);
  TagInfo block;
  EXPECT_TRUE(MP3ID3v1::ParseBlock(std::string_view(written).substr(written.size() - MP3ID3v1::kBlockBytes), block));
  EXPECT_EQ(block.title, "New");
  EXPECT_EQ(ReadV2(written).artist, "Artist");
}

// A header that claims 2^32 - 1 objects cannot count one more: the count wrapped to 0 and the
// rewritten header hid every object, the new title with them.
TEST(TagRewriteTest, AsfObjectCountAtItsLimitIsNotWrapped) {
  TempFolder folder;
  const std::string path = folder / "song.wma";
  std::string bytes = AsfFile({AsfFileProperties()});
  bytes.replace(24, 4, LittleEndian(0xFFFFFFFFu, 4));
  ASSERT_TRUE(fs::WriteFile(path, bytes));
  auto file = TagFile::Open(path);
  ASSERT_TRUE(file);
  WMAInfo wma;
  ASSERT_EQ(wma.Read(*file), WMAInfo::kNoContentDescription);
  wma.SetTitle("Title");
  EXPECT_FALSE(wma.Write(*file));
  EXPECT_EQ(*file->Contents(), bytes);

  // One below the limit the object is added and the count reaches it.
  bytes.replace(24, 4, LittleEndian(0xFFFFFFFEu, 4));
  ASSERT_TRUE(fs::WriteFile(path, bytes));
  file = TagFile::Open(path);
  WMAInfo below;
  ASSERT_EQ(below.Read(*file), WMAInfo::kNoContentDescription);
  below.SetTitle("Title");
  ASSERT_TRUE(below.Write(*file));
  EXPECT_EQ(ReadLittleEndian(*file->Contents(), 24, 4), 0xFFFFFFFFu);
  ASSERT_TRUE(file->Commit());
  auto reread = TagFile::Open(path);
  WMAInfo back;
  EXPECT_EQ(back.Read(*reread), WMAInfo::kNoExtendedDescription);
  EXPECT_EQ(back.title(), "Title");
}

// Reads a WMA file through TagFile, as the program does.
struct AsfOnDisk {
  TempFolder folder;
  std::string path = folder / "song.wma";
  std::optional<TagFile> file;
  int Read(const std::string& bytes, WMAInfo& wma) {
    EXPECT_TRUE(fs::WriteFile(path, bytes));
    file = TagFile::Open(path);
    return file ? wma.Read(*file) : -1;
  }
};

// A header that shrank when its descriptors were rebuilt took a file just above the smallest
// the reader takes below it: the tags were written and never read again. The header here is the
// one the fuzz target found (an extended description of 8 KB holding no descriptor), in a file
// padded as the target pads it.
TEST(TagRewriteTest, AsfHeaderThatShrinksKeepsTheFileReadable) {
  const std::string found(
      "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C\x62\x41\x00\x00\x00\x00\x00\x00\x03\x00\x00\x00\x01\x02\xA1\xDC"
      "\xAB\x8C\x47\xA9\x01\x00\x00\x08\x00\xC0\x0C\x20\x53\x65\x68\x00\x00\x00\x00\x00\x00\x00\x11\x11\x11\x11\x11\x11\x11\x11\x11\x11"
      "\x11\x11\x11\x11\x11\x11\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x05\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x00\x00\x00\x53\x74\x33\x63\x74\x79\x70\x65\x49\x63\x45\xD9\x00\xAA\x00\x62\xCE\x6C\x4E\x00\x00\x00\x00\x00\x00\x00\x0C\x00"
      "\x0E\x00\x08\x00\x0A\x00\x00\x00\x54\x00\x69\x00\x74\x00\x6C\x00\x65\x00\x00\x00\x41\x00\x75\x00\x74\x00\x68\x00\x6F\x00\x72\x00"
      "\x00\x00\x28\x00\x63\x00\x29\x00\x00\x00\x64\x00\x65\x00\x73\x00\x63\x00\x00\x00\x40\xA4\xD0\xD2\x07\xE3\xD2\x11\x97\xF0\x00\xA0"
      "\xC9\x5E\xA8\x50\x8E\x21\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x0F\x4D\x00\x2F\x00\x41\x00\x6C\x00\x62\x00\x75\x00\x6D"
      "\x00\x54\x00\x69\x00\x74\x00\x6C\x00\x65\x00\x00\x00\x00\x00\x06\x00\x13\x4E\x91\x8F\x00\x00\x12\x00\x57\x00\x4D\x00\x2F\x00\x00"
      "\x00\x00\x00\x00\x00\x00\x00\x00\x00",
      297);
  std::string bytes = found;
  bytes.resize(WMAInfo::kMinFileBytes + 8192, '\x5A');
  AsfOnDisk disk;
  WMAInfo wma;
  ASSERT_EQ(disk.Read(bytes, wma), WMAInfo::kNoContentDescription);
  wma.SetTitle("新标题");
  wma.SetAuthor("sAi");
  wma.SetAlbum("Atrtlbum");
  ASSERT_TRUE(wma.Write(*disk.file));
  const std::string written = *disk.file->Contents();
  EXPECT_GE(written.size(), WMAInfo::kMinFileBytes);
  const std::uint64_t old_header = ReadLittleEndian(bytes, 16, 8);
  const std::uint64_t new_header = ReadLittleEndian(written, 16, 8);
  EXPECT_EQ(written.substr(new_header), bytes.substr(old_header));
  WMAInfo back;
  ASSERT_EQ(disk.Read(written, back), WMAInfo::kOk);
  EXPECT_EQ(back.title(), "新标题");
  EXPECT_EQ(back.author(), "sAi");
  EXPECT_EQ(back.album(), "Atrtlbum");

  // A long album replaced by a short one in a file just above the limit: the file keeps its
  // size, the padding object makes up the difference and is counted.
  const std::string long_album = Utf16Le(std::u16string(3000, u'长') + u'\0');
  const std::string near_limit = AsfFile({AsfFileProperties(), AsfContentDescription(u"T", u"A"),
                                          AsfExtended({{u"WM/AlbumTitle", 0, long_album}})},
                                         WMAInfo::kMinFileBytes + 100);
  WMAInfo shorter;
  ASSERT_EQ(disk.Read(near_limit, shorter), WMAInfo::kOk);
  shorter.SetAlbum("B");
  ASSERT_TRUE(shorter.Write(*disk.file));
  ASSERT_TRUE(disk.file->Commit());
  const std::string padded = *fs::ReadWholeFile(disk.path);
  EXPECT_EQ(padded.size(), WMAInfo::kMinFileBytes);
  EXPECT_EQ(ReadLittleEndian(padded, 24, 4), 4u);
  EXPECT_EQ(ReadLittleEndian(padded, 30 + 24 + 16, 8), padded.size());  // file properties
  const std::uint64_t padded_header = ReadLittleEndian(padded, 16, 8);
  EXPECT_EQ(padded.substr(padded_header), near_limit.substr(ReadLittleEndian(near_limit, 16, 8)));
  WMAInfo again;
  ASSERT_EQ(disk.Read(padded, again), WMAInfo::kOk);
  EXPECT_EQ(again.album(), "B");
  EXPECT_EQ(again.title(), "T");
  // Written once more, the padding is an object like any other and stays.
  again.SetAlbum("B");
  ASSERT_TRUE(again.Write(*disk.file));
  EXPECT_EQ(*disk.file->Contents(), padded);
}

// Names and texts are written back as stored: a name of 65534 bytes without a terminator came
// back with one and overflowed its 16-bit length, and a description too long to be read was
// emptied when the title changed.
TEST(TagRewriteTest, AsfStoredNamesAndTextsKeepTheirBytes) {
  const std::string long_name = Utf16Le(std::u16string(32767, u'n'));
  const std::string extended_body = LittleEndian(1, 2) + LittleEndian(long_name.size(), 2) + long_name +
                                    LittleEndian(0, 2) + LittleEndian(2, 2) + std::string("v\0", 2);
  const std::string description = Utf16Le(std::u16string(2000, u'd') + u'\0');
  const std::string content_body = LittleEndian(0, 2) + LittleEndian(0, 2) + LittleEndian(0, 2) +
                                   LittleEndian(description.size(), 2) + LittleEndian(0, 2) + description;
  const std::string bytes = AsfFile({AsfFileProperties(), AsfObject(kAsfContentGuid, content_body),
                                     AsfObject(kAsfExtendedGuid, extended_body)});
  AsfOnDisk disk;
  WMAInfo wma;
  ASSERT_EQ(disk.Read(bytes, wma), WMAInfo::kOk);
  EXPECT_EQ(wma.description(), "");  // beyond what the reader shows
  wma.SetTitle("Title");
  wma.SetAlbum("Album");
  ASSERT_TRUE(wma.Write(*disk.file));
  const std::string written = *disk.file->Contents();
  EXPECT_NE(written.find(description), std::string::npos);
  EXPECT_NE(written.find(LittleEndian(long_name.size(), 2) + long_name + LittleEndian(0, 2)), std::string::npos);
  WMAInfo back;
  ASSERT_EQ(disk.Read(written, back), WMAInfo::kOk);
  EXPECT_EQ(back.title(), "Title");
  EXPECT_EQ(back.album(), "Album");
  ASSERT_EQ(back.descriptors().size(), 2u);
  EXPECT_EQ(back.descriptors()[0].name, std::string(32767, 'n'));
  EXPECT_EQ(back.descriptors()[0].value, std::string("v\0", 2));

  // A list of descriptors at its 16-bit count cannot take the album as one more.
  std::string full_body = LittleEndian(0xFFFF, 2);
  for (int i = 0; i < 0xFFFF; ++i) full_body += std::string(6, '\0');
  const std::string full = AsfFile({AsfFileProperties(), AsfObject(kAsfExtendedGuid, full_body)});
  WMAInfo crowded;
  ASSERT_EQ(disk.Read(full, crowded), WMAInfo::kNoContentDescription);
  ASSERT_EQ(crowded.descriptors().size(), 0xFFFFu);
  crowded.SetAlbum("Album");
  EXPECT_FALSE(crowded.Write(*disk.file));
  EXPECT_EQ(*disk.file->Contents(), full);
}

}  // namespace
}  // namespace quillo::media
