#include "media/WMAInfo.h"

#include <gtest/gtest.h>

#include "TagBytes.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "support/TempFolder.h"

namespace quillo::media {
namespace {

using namespace quillo::testing;

class WmaInfoTest : public ::testing::Test {
 protected:
  int ReadFile(const std::string& bytes, WMAInfo& wma) {
    EXPECT_TRUE(fs::WriteFile(path_, bytes));
    file_ = TagFile::Open(path_);
    return file_ ? wma.Read(*file_) : -1;
  }
  std::string Written() {
    EXPECT_TRUE(file_->Commit());
    return *fs::ReadWholeFile(path_);
  }

  quillo::testing::TempFolder folder_;
  std::string path_ = folder_ / "song.wma";
  std::optional<TagFile> file_;
};

TEST_F(WmaInfoTest, ReadsBothDescriptionObjects) {
  WMAInfo wma;
  std::string bytes = AsfFile({AsfFileProperties(), AsfContentDescription(u"标题", u"Author"),
                               AsfExtended({{u"WM/Year", 0, Utf16Le(u"2004\0")},
                                            {u"WM/AlbumTitle", 0, Utf16Le(std::u16string(u"专辑") + u'\0')},
                                            {u"WM/TrackNumber", 3, LittleEndian(5, 4)}})});
  ASSERT_EQ(ReadFile(bytes, wma), WMAInfo::kOk);
  EXPECT_EQ(wma.title(), "标题");
  EXPECT_EQ(wma.author(), "Author");
  EXPECT_EQ(wma.album(), "专辑");
  ASSERT_EQ(wma.descriptors().size(), 3u);
  EXPECT_EQ(wma.descriptors()[2].name, "WM/TrackNumber");
  EXPECT_EQ(wma.descriptors()[2].type, 3);
}

TEST_F(WmaInfoTest, ResultCodes) {
  std::string good = AsfFile({AsfFileProperties(), AsfContentDescription(u"T", u"A"), AsfExtended({})});
  struct Case {
    const char* name;
    std::string bytes;
    int result;
    std::string title;
  };
  std::string not_asf = good;
  not_asf[0] = 'X';
  std::string huge = good;  // 64-bit size whose low 16 bits alone look harmless
  huge.replace(16, 8, LittleEndian((1ull << 32) + 200, 8));
  std::string past_file = good;
  past_file.replace(16, 8, LittleEndian(good.size() + 1, 8));
  std::string bad_object = good;
  bad_object.replace(30 + 16, 8, LittleEndian(100000, 8));  // file properties overruns the header
  std::string bad_descriptor = AsfFile({AsfContentDescription(u"Kept", u""),
                                        AsfExtended({{u"WM/Genre", 0, Utf16Le(u"Pop")}})});
  // The descriptor's value length claims more than the object holds.
  std::size_t value_length_at = bad_descriptor.find(Utf16Le(u"Pop")) - 2;
  bad_descriptor.replace(value_length_at, 2, LittleEndian(0x7000, 2));
  const Case kCases[] = {
      {"19999 bytes", good.substr(0, 19999), WMAInfo::kUnreadable, ""},
      {"not ASF", not_asf, WMAInfo::kNotAsf, ""},
      {"header beyond the limit", huge, WMAInfo::kUnreadable, ""},
      {"header beyond the file", past_file, WMAInfo::kUnreadable, ""},
      {"object beyond the header", bad_object, WMAInfo::kUnreadable, ""},
      {"no content description", AsfFile({AsfFileProperties(), AsfExtended({})}), WMAInfo::kNoContentDescription, ""},
      {"no extended description", AsfFile({AsfContentDescription(u"Only", u"")}), WMAInfo::kNoExtendedDescription, "Only"},
      {"bad descriptor", bad_descriptor, WMAInfo::kBadDescriptor, "Kept"},
  };
  for (const Case& c : kCases) {
    WMAInfo wma;
    EXPECT_EQ(ReadFile(c.bytes, wma), c.result) << c.name;
    EXPECT_EQ(wma.title(), c.title) << c.name;
  }
}

TEST_F(WmaInfoTest, AlbumIsAppendedAndSizesFollow) {
  std::string original = AsfFile({AsfFileProperties(), AsfContentDescription(u"T", u"A"),
                                  AsfExtended({{u"WM/Genre", 0, Utf16Le(std::u16string(u"Pop") + u'\0')}})});
  WMAInfo wma;
  ASSERT_EQ(ReadFile(original, wma), WMAInfo::kOk);
  wma.SetAlbum("新专辑");
  ASSERT_TRUE(wma.Write(*file_));
  std::string written = Written();
  std::uint64_t old_header = ReadLittleEndian(original, 16, 8);
  std::uint64_t new_header = ReadLittleEndian(written, 16, 8);
  // name (28 bytes) + value ("新专辑" and a zero: 8 bytes) + the three 16-bit lengths
  EXPECT_EQ(new_header, old_header + 2 + 28 + 2 + 2 + 8);
  EXPECT_EQ(written.substr(new_header), original.substr(old_header));  // audio untouched
  EXPECT_EQ(ReadLittleEndian(written, 30 + 24 + 16, 8), written.size());  // file properties: file size
  WMAInfo back;
  ASSERT_EQ(ReadFile(written, back), WMAInfo::kOk);
  EXPECT_EQ(back.album(), "新专辑");
  ASSERT_EQ(back.descriptors().size(), 2u);
  EXPECT_EQ(back.descriptors()[0].name, "WM/Genre");
  EXPECT_EQ(back.title(), "T");
}

TEST_F(WmaInfoTest, TitleChangeResizesContentDescriptionAndMissingObjectsAreAdded) {
  std::string original = AsfFile({AsfFileProperties()});
  WMAInfo wma;
  ASSERT_EQ(ReadFile(original, wma), WMAInfo::kNoContentDescription);
  wma.SetTitle("A much longer title 標題");
  wma.SetAuthor("作者");
  wma.SetAlbum("Album");
  wma.SetTitle(std::string(201, 'x'));  // ignored: too long
  ASSERT_TRUE(wma.Write(*file_));
  std::string written = Written();
  EXPECT_EQ(ReadLittleEndian(written, 24, 4), 3u);  // two objects added to the count
  WMAInfo back;
  ASSERT_EQ(ReadFile(written, back), WMAInfo::kOk);
  EXPECT_EQ(back.title(), "A much longer title 標題");
  EXPECT_EQ(back.author(), "作者");
  EXPECT_EQ(back.album(), "Album");
  std::uint64_t header = ReadLittleEndian(written, 16, 8);
  EXPECT_EQ(written.substr(header), original.substr(ReadLittleEndian(original, 16, 8)));
}

TEST_F(WmaInfoTest, TitleAndAuthorRepeatedAsDescriptorsFollowOnlyWhatWasSet) {
  auto text = [](const std::u16string& t) { return Utf16Le(t + u'\0'); };
  std::string original = AsfFile({AsfFileProperties(), AsfContentDescription(u"Title", u"Author"),
                                  AsfExtended({{u"WM/Title", 0, text(u"Other title")},
                                               {u"WM/Author", 0, text(u"Author")}})});
  WMAInfo wma;
  ASSERT_EQ(ReadFile(original, wma), WMAInfo::kOk);
  wma.SetAuthor("新作者");
  ASSERT_TRUE(wma.Write(*file_));
  WMAInfo back;
  ASSERT_EQ(ReadFile(Written(), back), WMAInfo::kOk);
  EXPECT_EQ(back.author(), "新作者");
  EXPECT_EQ(back.title(), "Title");
  ASSERT_EQ(back.descriptors().size(), 2u);
  EXPECT_EQ(back.descriptors()[0].value, text(u"Other title"));  // not set: kept as stored
  EXPECT_EQ(back.descriptors()[1].value, text(u"新作者"));
}

TEST_F(WmaInfoTest, WriterLeavesFilesItCouldNotParseAlone) {
  std::string broken = AsfFile({AsfFileProperties()});
  broken.replace(16, 8, LittleEndian(broken.size() + 5, 8));
  WMAInfo wma;
  ASSERT_EQ(ReadFile(broken, wma), WMAInfo::kUnreadable);
  wma.SetTitle("x");
  EXPECT_FALSE(wma.Write(*file_));
  EXPECT_EQ(Written(), broken);

  // A file whose header changed after it was read is not overwritten either.
  WMAInfo stale;
  std::string good = AsfFile({AsfContentDescription(u"T", u"A"), AsfExtended({})});
  ASSERT_EQ(ReadFile(good, stale), WMAInfo::kOk);
  std::string changed = good;
  changed[40] ^= 1;
  ASSERT_TRUE(fs::WriteFile(path_, changed));
  auto reopened = TagFile::Open(path_);
  stale.SetTitle("New");
  EXPECT_FALSE(stale.Write(*reopened));
}

}  // namespace
}  // namespace quillo::media
