#include <gtest/gtest.h>

#include "media/MP3ID3v1.h"
#include "media/MP3ID3v2.h"
#include "media/TagInfo.h"
#include "TagBytes.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "support/TempFolder.h"

namespace quillo::media {
namespace {

using namespace quillo::testing;

TagInfo ParseV2(const std::string& bytes) {
  TagInfo info;
  auto tag = MP3ID3v2::Parse(bytes, bytes.size());
  EXPECT_TRUE(tag.has_value());
  if (tag) MP3ID3v2::Fill(*tag, info);
  return info;
}

TEST(Id3v2ReadTest, TextEncodings) {
  struct Case {
    const char* name;
    std::string content;
    int major;
    std::string title;
  };
  const std::string gbk = text::Utf8ToGbk("周杰伦");
  const Case kCases[] = {
      {"encoding 0 is GBK", std::string(1, '\0') + gbk, 3, "周杰伦"},
      {"no encoding byte", "Plain", 3, "Plain"},
      {"UTF-16 LE with BOM", std::string("\x01\xFF\xFE", 3) + Utf16Le(u"歌曲"), 3, "歌曲"},
      {"UTF-16 BE with BOM", std::string("\x01\xFE\xFF", 3) + Utf16Be(u"歌曲"), 3, "歌曲"},
      {"UTF-16BE", std::string("\x02", 1) + Utf16Be(u"王菲"), 4, "王菲"},
      {"UTF-8", std::string("\x03", 1) + "音乐 ü", 4, "音乐 ü"},
      {"text ends at its terminator", std::string("\x03", 1) + std::string("One\0Two", 7), 4, "One"},
      {"UTF-16 ends at an aligned zero pair", std::string("\x01\xFF\xFE", 3) + Utf16Le(u"A\u0100") +
           std::string(2, '\0') + Utf16Le(u"B"), 3, "A\u0100"},
  };
  for (const Case& c : kCases) {
    TagInfo info = ParseV2(Tag(Frame("TIT2", c.content, c.major), c.major));
    EXPECT_EQ(info.title, c.title) << c.name;
  }
}

TEST(Id3v2ReadTest, FieldsAndCommentLayout) {
  std::string frames = Frame("TIT2", std::string(1, '\0') + "Title") + Frame("TPE1", std::string(1, '\0') + "Artist") +
                       Frame("TALB", std::string(1, '\0') + "Album") + Frame("TYER", std::string(1, '\0') + "1999") +
                       Frame("TCON", std::string(1, '\0') + "(17)") +
                       Frame("COMM", std::string("\0eng", 4) + std::string("iTunNORM\0 0000", 14)) +
                       Frame("COMM", std::string("\0chi", 4) + std::string("\0Nice song", 10));
  TagInfo info = ParseV2(Tag(frames, 3, 64));
  EXPECT_EQ(info.title, "Title");
  EXPECT_EQ(info.artist, "Artist");
  EXPECT_EQ(info.album, "Album");
  EXPECT_EQ(info.year, "1999");
  EXPECT_EQ(info.genre, "(17)");
  // The comment is the text after language and description, from the frame without one.
  EXPECT_EQ(info.comment, "Nice song");
}

TEST(Id3v2ReadTest, FrameSizes) {
  const std::string title(199, 'x');
  // 2.3: a size of 200 is the plain number, whatever the high bits say.
  TagInfo v3 = ParseV2(Tag(Frame("TIT2", std::string(1, '\0') + title, 3), 3));
  EXPECT_EQ(v3.title, title);
  // 2.4: the same size is synchsafe (00 00 01 48).
  std::string v4_frame = Frame("TIT2", std::string(1, '\0') + title, 4);
  EXPECT_EQ(v4_frame.substr(4, 4), std::string("\0\0\x01\x48", 4));
  EXPECT_EQ(ParseV2(Tag(v4_frame + Frame("TPE1", std::string(1, '\0') + "A", 4), 4)).artist, "A");
  // 2.4 year comes from the recording time.
  EXPECT_EQ(ParseV2(Tag(Frame("TDRC", std::string(1, '\0') + "2003-05-01", 4), 4)).year, "2003");
}

TEST(Id3v2ReadTest, BrokenSizesEndTheReadCleanly) {
  std::string good = Frame("TIT2", std::string(1, '\0') + "Kept");
  std::string runaway = std::string("TPE1") + BigEndian32(5000) + std::string(2, '\0') + "Art";
  TagInfo info = ParseV2(Tag(good + runaway));
  EXPECT_EQ(info.title, "Kept");
  EXPECT_EQ(info.artist, "");

  // The tag says it is larger than the file.
  std::string bytes = Tag(good);
  bytes.replace(6, 4, Synchsafe(1 << 20));
  EXPECT_EQ(ParseV2(bytes).title, "Kept");

  // Only the header: nothing to read, nothing read past the end.
  std::string header = bytes.substr(0, 10);
  auto tag = MP3ID3v2::Parse(header, header.size());
  ASSERT_TRUE(tag);
  EXPECT_TRUE(tag->frames.empty());

  EXPECT_FALSE(MP3ID3v2::Parse("ID3\x03\0\0\0\0\0\0", 10));  // size 0
  EXPECT_FALSE(MP3ID3v2::Parse("ID3\x05\0\0\0\0\0\x10", 10));  // unknown version
  EXPECT_FALSE(MP3ID3v2::Parse("XYZ\x03\0\0\0\0\0\x10", 10));
}

TEST(Id3v2ReadTest, VersionTwoPointTwoAndUnsynchronisation) {
  std::string v22 = std::string("TT2") + std::string("\0\0\x05", 3) + std::string(1, '\0') + "Song";
  EXPECT_EQ(ParseV2(Tag(v22, 2)).title, "Song");

  // 2.3 tag-level unsynchronisation: FF 00 in the body stands for FF.
  std::string frame = Frame("TIT2", std::string(1, '\0') + "A\xFF" + "B");
  std::string body;
  for (char c : frame) {
    body.push_back(c);
    if (c == '\xFF') body.push_back('\0');
  }
  std::string tag = std::string("ID3\x03\0\x80", 6) + Synchsafe(body.size()) + body;
  EXPECT_EQ(ParseV2(tag).title, text::GbkToUtf8("A\xFF" "B"));
}

TEST(Id3v1Test, ReadsEitherLetterCaseAndGenreNumber) {
  TagInfo info;
  ASSERT_TRUE(MP3ID3v1::ParseBlock(Id3v1Block("Title", "Artist  ", "Album", "1987", "Comment", 17, "tag"), info));
  EXPECT_EQ(info.title, "Title");
  EXPECT_EQ(info.artist, "Artist");
  EXPECT_EQ(info.year, "1987");
  EXPECT_EQ(info.genre, "17");
  TagInfo none;
  ASSERT_TRUE(MP3ID3v1::ParseBlock(Id3v1Block("周", "", "", "", "", 255), none));
  EXPECT_EQ(none.genre, "");
  EXPECT_FALSE(MP3ID3v1::ParseBlock(Id3v1Block("x", "", "", "", "", 0, "TAX"), none));
}

TEST(Id3v1Test, WriterCutsFieldsAtCharacterBoundaries) {
  TagInfo info;
  info.title = std::string(31, 'T');
  info.artist = "周杰伦周杰伦周杰伦周杰伦周杰伦周杰伦";  // 18 characters, 36 GBK bytes
  info.genre = "(17)";
  info.comment = "short";
  std::string previous = Id3v1Block("", "", "", "", "", 0);
  previous[126] = 7;  // ID3v1.1 track number
  std::string block = MP3ID3v1::BuildBlock(info, previous);
  ASSERT_EQ(block.size(), 128u);
  EXPECT_EQ(block.substr(3, 30), std::string(30, 'T'));
  EXPECT_EQ(block.substr(33, 30), text::Utf8ToGbk("周杰伦周杰伦周杰伦周杰伦周杰伦"));
  EXPECT_EQ(block[126], 7);
  EXPECT_EQ(static_cast<unsigned char>(block[127]), 17);
  TagInfo back;
  ASSERT_TRUE(MP3ID3v1::ParseBlock(block, back));
  EXPECT_EQ(back.title, std::string(30, 'T'));
  EXPECT_EQ(back.genre, "17");
}

TEST(Id3v2WriteTest, OtherFramesSurviveAndAudioFollowsUnchanged) {
  const std::string audio = FakeAudio(5000);
  std::string frames = Frame("TSSE", std::string(1, '\0') + "LAME 3.100") +
                       Frame("TIT2", std::string(1, '\0') + "Old") + Frame("TIT2", std::string(1, '\0') + "Dup") +
                       Frame("APIC", std::string("\0image/png\0\x03\0PNGDATA", 19)) +
                       Frame("COMM", std::string("\0eng", 4) + std::string("iTunNORM\0 0001", 14)) +
                       Frame("PRIV", "owner\0data");
  std::string file = Tag(frames, 3, 100) + audio;
  TagInfo info;
  info.title = "新标题";
  info.artist = "Artist";
  info.comment = "mine";
  auto rewritten = MP3ID3v2::Rewrite(file, info);
  ASSERT_TRUE(rewritten);
  auto tag = MP3ID3v2::Parse(*rewritten, rewritten->size());
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->major_version, 3);
  EXPECT_EQ(rewritten->substr(tag->total_bytes), audio);
  std::vector<std::string> ids;
  for (const auto& frame : tag->frames) ids.push_back(frame.id);
  EXPECT_EQ(ids, (std::vector<std::string>{"TSSE", "TIT2", "APIC", "COMM", "PRIV", "TPE1", "COMM"}));
  EXPECT_EQ(tag->frames[2].content, std::string("\0image/png\0\x03\0PNGDATA", 19));
  EXPECT_EQ(tag->frames[1].content[0], '\x01');  // not ASCII: UTF-16 with byte order mark
  EXPECT_EQ(tag->frames[5].content, std::string(1, '\0') + "Artist");
  TagInfo back;
  MP3ID3v2::Fill(*tag, back);
  EXPECT_EQ(back.title, "新标题");
  EXPECT_EQ(back.comment, "mine");
}

TEST(Id3v2WriteTest, VersionFourStaysFourAndNoTagGetsOne) {
  const std::string audio = FakeAudio(300);
  std::string v4 = Tag(Frame("TSSE", std::string("\x03", 1) + "Lavf", 4) + Frame("TDRC", std::string("\x03", 1) + "2001", 4), 4) + audio;
  TagInfo info;
  info.album = "专辑";
  info.year = "2002";
  auto rewritten = MP3ID3v2::Rewrite(v4, info);
  ASSERT_TRUE(rewritten);
  auto tag = MP3ID3v2::Parse(*rewritten, rewritten->size());
  ASSERT_TRUE(tag);
  EXPECT_EQ(tag->major_version, 4);
  TagInfo back;
  MP3ID3v2::Fill(*tag, back);
  EXPECT_EQ(back.album, "专辑");
  EXPECT_EQ(back.year, "2002");
  EXPECT_EQ(rewritten->substr(tag->total_bytes), audio);

  auto fresh = MP3ID3v2::Rewrite(audio, info);
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->substr(0, 5), std::string("ID3\x03\0", 5));
  EXPECT_EQ(fresh->substr(fresh->size() - audio.size()), audio);
}

TEST(TagInfoTest, FileRoundTripKeepsAudioAndPrefersVersionTwo) {
  quillo::testing::TempFolder folder;
  const std::string audio = FakeAudio(20000);
  const std::string path = folder / "song.mp3";
  ASSERT_TRUE(fs::WriteFile(path, Tag(Frame("TIT2", std::string(1, '\0') + "V2 title")) + audio +
                                      Id3v1Block("V1 title", "V1 artist", "", "", "", 1)));
  TagInfo read;
  ASSERT_TRUE(read.Read(path));
  EXPECT_EQ(read.title, "V2 title");
  EXPECT_EQ(read.artist, "");  // ID3v1 is not read when ID3v2 is there

  read.title = "New";
  read.artist = "刘德华";
  ASSERT_TRUE(read.Write());
  std::string written = *fs::ReadWholeFile(path);
  auto tag = MP3ID3v2::Parse(written, written.size());
  ASSERT_TRUE(tag);
  EXPECT_EQ(written.substr(tag->total_bytes, audio.size()), audio);
  EXPECT_EQ(written.size(), tag->total_bytes + audio.size() + 128);
  TagInfo v1;
  ASSERT_TRUE(MP3ID3v1::ParseBlock(written.substr(written.size() - 128), v1));
  EXPECT_EQ(v1.artist, "刘德华");
  TagInfo again;
  ASSERT_TRUE(again.Read(path));
  EXPECT_EQ(again.artist, "刘德华");

  // Without ID3v2, a lower-case "tag" block is used.
  const std::string v1_path = folder / "old.mp3";
  ASSERT_TRUE(fs::WriteFile(v1_path, audio + Id3v1Block("Lower", "", "", "", "", 255, "tag")));
  TagInfo lower;
  ASSERT_TRUE(lower.Read(v1_path));
  EXPECT_EQ(lower.title, "Lower");
  TagInfo missing;
  EXPECT_FALSE(missing.Read(folder / "none.mp3"));
}

}  // namespace
}  // namespace quillo::media
