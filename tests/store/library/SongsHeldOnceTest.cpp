// The library holds its songs as records only while the store is open: they must reach the data
// file, come back in the same order with the same texts, and be elements again after a close.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include "../StoreTestUtil.h"
#include "LibraryFixture.h"
#include "store/PlaylistIndex.h"

namespace quillo::store {
namespace {

using namespace quillo::testing;

class SongsHeldOnceTest : public LibraryFixture {
 protected:
  // Every `file` element of the data file on disk, attributes as read by TinyXML.
  std::vector<MusicRecord> FileElementsOnDisk() {
    std::vector<MusicRecord> songs;
    std::optional<std::string> xml = DecodeDataFile(store().DataFilePath());
    EXPECT_TRUE(xml);
    TiXmlDocument document;
    document.Parse(xml.value_or("").c_str(), nullptr, TIXML_ENCODING_LEGACY);
    EXPECT_FALSE(document.Error()) << document.ErrorDesc();
    TiXmlHandle root(document.RootElement());
    for (TiXmlElement* folder = root.FirstChild("folders").FirstChild("folder").ToElement();
         folder; folder = folder->NextSiblingElement("folder")) {
      for (TiXmlElement* file = folder->FirstChildElement("file"); file;
           file = file->NextSiblingElement("file")) {
        songs.push_back(DocumentStore::ReadAllAttributes(file));
      }
    }
    return songs;
  }
  static MusicRecord WithoutSearchKeys(MusicRecord record) {
    record.erase("_name");
    record.erase("_artist_name");
    return record;
  }
};

TEST_F(SongsHeldOnceTest, SongsReachTheFileAndComeBackInOrderWithTheirTexts) {
  const MusicRecord awkward{{"id", "30"},
                            {"name", "Rock & Roll <Live> \"1975\" 'encore'"},
                            {"artist_name", "周杰伦"},
                            {"album_name", "line\nbreak\ttab"},
                            {"fileName", "a/b.mp3"},
                            {"status", "2"},
                            {"empty", ""}};
  ASSERT_TRUE(library().AddMusic(awkward));
  ASSERT_TRUE(library().AddMusic(Song("10", "Ten")));
  ASSERT_TRUE(library().AddMusic(Song("20", "Twenty")));
  ASSERT_TRUE(library().AddMusic(Song("ex-1", "Local")));
  library().DeleteMusic("10");
  ASSERT_TRUE(library().AddMusic(Song("40", "Forty")));
  ASSERT_TRUE(library().SetMusicAttribute("20", "status", "2"));
  // Known songs keep their place when they are added again.
  ASSERT_TRUE(library().AddMusic(Song("30", "Renamed")));
  const std::vector<std::string> order{"30", "20", "ex-1", "40"};
  EXPECT_EQ(Ids(library().AllRecords()), order);

  // Held once: no song element stays in the document while the library is open.
  {
    auto lock = store().Lock();
    EXPECT_EQ(store().Resolve("folders#folder:music#file:id:20#", false), nullptr);
  }
  const std::string printed = store().PrintDocument();
  EXPECT_EQ(printed.find(" _name="), std::string::npos);
  EXPECT_EQ(printed.find(" _artist_name="), std::string::npos);
  EXPECT_NE(printed.find("<file id=\"30\" album_name="), std::string::npos) << printed;

  SaveNow();
  std::vector<MusicRecord> on_disk = FileElementsOnDisk();
  ASSERT_EQ(on_disk.size(), order.size());
  MusicRecord expected_30 = awkward;
  expected_30["name"] = "Renamed";
  EXPECT_EQ(on_disk[0], expected_30);
  for (std::size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(on_disk[i], WithoutSearchKeys(*library().FindMusic(order[i]))) << order[i];
  }

  Reopen();
  EXPECT_EQ(Ids(library().AllRecords()), order);
  EXPECT_EQ(WithoutSearchKeys(*library().FindMusic("30")), expected_30);
  EXPECT_EQ(library().FindMusic("30")->at("_artist_name"), "zjl");
  EXPECT_FALSE(store().IsDirty());

  // Closed, the document alone is whole again and prints as it did while open.
  const std::string open_print = store().PrintDocument();
  ASSERT_TRUE(runtime_->Close());
  EXPECT_EQ(store().PrintDocument(), open_print);
  auto lock = store().Lock();
  TiXmlElement* song = store().Resolve("folders#folder:music#file:id:40#", false);
  EXPECT_EQ(DocumentStore::GetTextOr(song, "name"), "Forty");
}

TEST_F(SongsHeldOnceTest, LaterCopiesOfASongAndOtherChildrenAreKeptBehindTheSongs) {
  Shut();
  ASSERT_TRUE(WriteScrambled(
      data_ / "sorvel.qlm",
      "<Sorvel version=\"1.3.1\"><folders><folder name='music'>"
      "<file name='no id'/><file id='1' name='First'/><note x='y'/>"
      "<file id='1' name='Second copy'/><file id='2' name='Two'/>"
      "</folder></folders></Sorvel>"));
  Reopen();
  EXPECT_EQ(library().FindMusic("1")->at("name"), "First");
  EXPECT_EQ(Ids(library().AllRecords()), (std::vector<std::string>{"1", "2"}));
  library().DeleteMusic("2");
  SaveNow();
  Reopen();
  // The song opened first is still the one found; the rest is carried along untouched.
  EXPECT_EQ(library().FindMusic("1")->at("name"), "First");
  EXPECT_FALSE(library().HasMusic("2"));
  const std::string printed = store().PrintDocument();
  const std::size_t first = printed.find("name=\"First\"");
  EXPECT_NE(first, std::string::npos);
  EXPECT_GT(printed.find("name=\"no id\""), first);
  EXPECT_GT(printed.find("<note x=\"y\" />"), first);
  EXPECT_GT(printed.find("name=\"Second copy\""), first);
  ASSERT_TRUE(runtime_->Close());
  EXPECT_EQ(store().PrintDocument(), printed);
}

TEST_F(SongsHeldOnceTest, AttributeNamesNoElementCanCarryAreRefused) {
  ASSERT_TRUE(library().AddMusic({{"id", "1"}, {"name", "One"}, {"bad name", "x"}, {"1st", "y"}}));
  EXPECT_FALSE(library().SetMusicAttribute("1", "a<b", "z"));
  EXPECT_FALSE(library().SetMusicAttribute("1", "", "z"));
  EXPECT_FALSE(library().SetMusicAttribute("1", "id", "2"));
  ASSERT_TRUE(library().UpdateMusic({{"id", "1"}, {"ok.name-2", "kept"}, {"x y", "dropped"}}));
  const MusicRecord record = WithoutSearchKeys(*library().FindMusic("1"));
  EXPECT_EQ(record, (MusicRecord{{"id", "1"}, {"name", "One"}, {"ok.name-2", "kept"}}));
  SaveNow();
  Reopen();
  // The file still reads: nothing was kept aside as unreadable.
  EXPECT_TRUE(store().kept_aside_path().empty());
  EXPECT_EQ(WithoutSearchKeys(*library().FindMusic("1")), record);
}

TEST_F(SongsHeldOnceTest, DeletingMostOfALargeLibraryKeepsTheOrderOfTheRest) {
  std::vector<std::string> kept;
  for (int i = 0; i < 300; ++i) {
    const std::string id = std::to_string(1000 + i);
    ASSERT_TRUE(library().AddMusic(Song(id, "Song " + id)));
    if (i % 5 == 0) kept.push_back(id);
  }
  for (int i = 0; i < 300; ++i) {
    if (i % 5 != 0) library().DeleteMusic(std::to_string(1000 + i));
  }
  ASSERT_TRUE(library().AddMusic(Song("9999", "Last")));
  kept.push_back("9999");
  // A deleted song added again goes to the end.
  ASSERT_TRUE(library().AddMusic(Song("1001", "Back")));
  kept.push_back("1001");
  EXPECT_EQ(Ids(library().AllRecords()), kept);
  EXPECT_EQ(library().Count(), kept.size());
  SaveNow();
  Reopen();
  EXPECT_EQ(Ids(library().AllRecords()), kept);
}

// A store whose library goes without a close (its saver thread may still save) keeps its songs.
TEST(SongsHeldOnceWithoutCloseTest, ALibraryThatGoesGivesItsSongsBack) {
  TempFolder folder;
  DocumentStore store(folder.path());
  PlaylistIndex lists(store);
  auto library = std::make_unique<MusicLibrary>(store, lists);
  store.AddSection(lists);
  store.AddSection(*library);
  ASSERT_TRUE(store.Open(/*start_saver=*/false));
  ASSERT_TRUE(library->AddMusic(Song("1", "One")));
  ASSERT_TRUE(library->AddMusic(Song("2", "Two")));
  const std::string printed = store.PrintDocument();
  library.reset();
  EXPECT_EQ(store.PrintDocument(), printed);
  ASSERT_TRUE(store.SaveIfDirty());
  std::optional<std::string> xml = DecodeDataFile(store.DataFilePath());
  ASSERT_TRUE(xml);
  EXPECT_NE(xml->find("<file id=\"2\" name=\"Two\" />"), std::string::npos) << *xml;
}

}  // namespace
}  // namespace quillo::store
