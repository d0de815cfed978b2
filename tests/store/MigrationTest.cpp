#include <gtest/gtest.h>

#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "store/DocConverterImpl1_2_11.h"
#include "store/DocumentStore.h"
#include "store/Migration.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

TEST(MigrationTest, VersionNumbers) {
  EXPECT_EQ(VersionNumber("1.2.11"), 1002011);
  EXPECT_EQ(VersionNumber("1.3.1"), 1003001);
  EXPECT_EQ(VersionNumber("1.2"), 1002000);
  EXPECT_EQ(VersionNumber(""), 0);
  EXPECT_EQ(VersionNumber("2x.1y.3"), 2001003);
}

std::string OldDocument(const char* version_attribute) {
  return "<Sorvel" + std::string(version_attribute) + "><folders><folder name=\"music\">" +
         "<file id=\"a_1\" name=\"" + text::Utf8ToGbk("七里香") + "\" artist_name=\"" +
         text::Utf8ToGbk("周杰伦") + "\" lyric_file=\"" + text::Utf8ToGbk("周杰伦 - 七里香.lrc") +
         "\" /></folder></folders></Sorvel>";
}

TEST(MigrationTest, OldFileIsReencodedWithItsLyric) {
  TempFolder folder;
  const std::string lyric = "[00:01.00]" + text::Utf8ToGbk("窗外的麻雀") + "\n";
  ASSERT_TRUE(fs::CreateFolders(folder / "lyric"));
  ASSERT_TRUE(fs::WriteFile(folder / "lyric/周杰伦 - 七里香.lrc", lyric));
  ASSERT_TRUE(quillo::testing::WriteScrambled(folder / "sorvel.qlm", OldDocument(" version=\"1.2.10\"")));
  {
    DocumentStore store(folder.path());
    store.Open(false);
    EXPECT_TRUE(store.IsDirty());
    auto lock = store.Lock();
    TiXmlElement* file = store.Resolve("folders#folder:music#file:id:a_1#", false);
    EXPECT_EQ(DocumentStore::GetTextOr(file, "name"), "七里香");
    EXPECT_EQ(DocumentStore::GetTextOr(file, "artist_name"), "周杰伦");
    EXPECT_EQ(DocumentStore::GetTextOr(store.Root(), "version"), "1.3.1");
    lock.unlock();
    store.Close();
  }
  EXPECT_EQ(fs::ReadWholeFile(folder / "lyric/周杰伦 - 七里香.lrc"), "[00:01.00]窗外的麻雀\n");
  std::optional<std::string> xml = quillo::testing::DecodeDataFile(folder / "sorvel.qlm");
  ASSERT_TRUE(xml);
  EXPECT_NE(xml->find("version=\"1.3.1\""), std::string::npos);
  EXPECT_NE(xml->find("七里香"), std::string::npos);
}

TEST(MigrationTest, WhichFilesAreConverted) {
  struct Case {
    const char* version_attribute;
    bool converted;
  } cases[] = {{" version=\"1.2.11\"", false}, {" version=\"1.3.1\"", false}, {"", true},
               {" version=\"1.2.9\"", true}};
  for (const Case& c : cases) {
    TiXmlDocument document;
    document.Parse(OldDocument(c.version_attribute).c_str(), nullptr, TIXML_ENCODING_LEGACY);
    ASSERT_FALSE(document.Error());
    TempFolder folder;
    EXPECT_EQ(RunMigration(document, folder.path()), c.converted) << c.version_attribute;
    const std::string* name =
        document.RootElement()->FirstChildElement()->FirstChildElement()->FirstChildElement()->Attribute(
            std::string("name"));
    EXPECT_EQ(*name == "七里香", c.converted);
  }
}

TEST(MigrationTest, LyricFilesAlreadyInUtf8AreLeftAlone) {
  TempFolder folder;
  const std::string samples[] = {"\xEF\xBB\xBF[00:01]中文\n", "[00:01]中文\n", "[00:01]plain\n"};
  for (const std::string& sample : samples) {
    ASSERT_TRUE(fs::WriteFile(folder / "x.lrc", sample));
    DocConverterImpl1_2_11::ConvertLyricFile(folder / "x.lrc");
    EXPECT_EQ(fs::ReadWholeFile(folder / "x.lrc"), sample);
  }
  EXPECT_FALSE(DocConverterImpl1_2_11::ConvertLyricFile(folder / "missing.lrc"));
}

}  // namespace
}  // namespace quillo::store
