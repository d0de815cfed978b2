// Tag writes found wanting by the fuzz targets: what a write leaves must read back as written,
// and writing the same fields again must not change the file.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillo::media
