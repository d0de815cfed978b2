// Songs read straight from the data file's text must be the songs the XML parser reads, and
// anything the reader does not know exactly must go to the XML parser as before.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include "store/DataFileText.h"
#include "store/DocumentStore.h"
#include "store/PrintedSongs.h"
#include "store/StoreSection.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

std::string Document(const std::string& music_folder, const std::string& version = "1.3.1") {
  return "<Sorvel version=\"" + version + "\">\n    <configs>\n        <config name=\"k\" value=\"v\" />\n"
         "    </configs>\n    <folders>\n" + music_folder +
         "        <folder name=\"lyric\" />\n    </folders>\n</Sorvel>\n";
}

std::string MusicFolder(const std::string& content) {
  return "        <folder name=\"music\">\n" + content + "        </folder>\n";
}

// The `file` elements of "folders#folder:music#" as the XML parser reads the whole text.
std::vector<MusicRecord> ParsedWhole(const std::string& text) {
  TiXmlDocument document;
  document.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  EXPECT_FALSE(document.Error()) << document.ErrorDesc();
  std::vector<MusicRecord> songs;
  TiXmlHandle folders = TiXmlHandle(document.RootElement()).FirstChild("folders");
  for (TiXmlElement* folder = folders.FirstChild("folder").ToElement(); folder;
       folder = folder->NextSiblingElement("folder")) {
    if (DocumentStore::GetTextOr(folder, "name") != "music") continue;
    for (TiXmlElement* file = folder->FirstChildElement("file"); file;
         file = file->NextSiblingElement("file")) {
      songs.push_back(DocumentStore::ReadAllAttributes(file));
    }
    break;
  }
  return songs;
}

TEST(PrintedSongsTest, ReadsThePrintedLayoutAsTheXmlParserDoes) {
  const std::string text = Document(MusicFolder(
      "            <file id=\"1\" name=\"A &amp; B &lt;C&gt; &quot;D&quot; &apos;E&apos;\" />\n"
      "            <file id=\"2\" album_name=\"line&#x0A;two&#x9;tab\" name=\"\" status=\"2\" />\n"
      "            <file id=\"3\" name=\"\xD6\xDC\xBD\xDC\xC2\xD7 \xE5\x91\xA8\" x.y-z_=\"1\" />\n"
      "\t<file id=\"\" name=\"no id text\" />\r\n<file id=\"4\"name=\"close\"/>"));
  std::optional<PrintedSongs> songs = ReadPrintedSongs(text);
  ASSERT_TRUE(songs);
  EXPECT_EQ(songs->records, ParsedWhole(text));
  ASSERT_EQ(songs->records.size(), 5u);
  EXPECT_EQ(songs->records[1].at("album_name"), "line\ntwo\ttab");

  TiXmlDocument document;
  ReadAhead read_ahead;
  ASSERT_TRUE(ParseDataFileText(document, text, {.songs = true}, read_ahead));
  EXPECT_EQ(read_ahead.songs, songs->records);
  // The rest of the document is all there, and the folder holds nothing more.
  TiXmlHandle root(document.RootElement());
  EXPECT_STREQ(root.FirstChild("configs").FirstChild("config").ToElement()->Attribute("value"), "v");
  TiXmlElement* music = root.FirstChild("folders").FirstChild("folder").ToElement();
  ASSERT_NE(music, nullptr);
  EXPECT_EQ(music->FirstChild(), nullptr);
  EXPECT_NE(music->NextSiblingElement("folder"), nullptr);

  // An empty folder has no songs to read ahead, and parses as it is.
  ASSERT_TRUE(ParseDataFileText(document, Document(MusicFolder("")), {.songs = true}, read_ahead));
  EXPECT_TRUE(read_ahead.songs.empty());
}

TEST(PrintedSongsTest, AnythingButThePrintedLayoutGoesToTheXmlParser) {
  const char* const refused[] = {
      "<file id='1' name='single quotes' />",
      "<file id=\"1\" name=\"decimal &#38; entity\" />",
      "<file id=\"1\" name=\"unknown &nbsp; entity\" />",
      "<file id=\"1\" name=\"&#x0; nul\" />",
      "<file id=\"1\" name=\"&#x80; above ASCII\" />",
      "<file id=\"1\" name=\"&#x0A no semicolon\" />",
      "<file id=\"1\" /><!-- a comment -->",
      "<file id=\"1\" /><other id=\"2\" />",
      "<file id=\"1\"></file>",
      "<file id=\"1\" name=\"a\" name=\"b\" />",
      "<file id=\"1\" /><file id=\"1\" name=\"again\" />",
      "<file name=\"no id\" />",
      "<file id=\"1\" name=\"a <b\" />",
      "<file id = \"1\" />",
      "<file id=\"1\" 1st=\"x\" />",
      "<file id=\"1\" a:b=\"x\" />",
      "text <file id=\"1\" />",
      "<fileX id=\"1\" />",
  };
  for (const char* content : refused) {
    SCOPED_TRACE(content);
    const std::string text = Document(MusicFolder(content));
    EXPECT_FALSE(ReadPrintedSongs(text));
    TiXmlDocument document;
    ReadAhead read_ahead;
    const bool parsed = ParseDataFileText(document, text, {.songs = true}, read_ahead);
    EXPECT_TRUE(read_ahead.songs.empty());
    TiXmlDocument whole;
    whole.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    EXPECT_EQ(parsed, !whole.Error());
  }
  // A folder that never ends, and one that ends the text.
  EXPECT_FALSE(ReadPrintedSongs("<Sorvel><folders><folder name=\"music\"><file id=\"1\" />"));
  EXPECT_FALSE(ReadPrintedSongs("<folder name=\"music\"><file id=\"1\" /><file id=\"2\""));
  EXPECT_FALSE(ReadPrintedSongs("<folder name=\"music\"><file id=\"1"));
}

TEST(PrintedSongsTest, SongsAnywhereButInTheMusicFolderStayElements) {
  const std::string song = "<file id=\"1\" name=\"ghost\" />";
  const std::string cases[] = {
      // Commented out, beside a music folder written otherwise.
      Document("<!-- <folder name=\"music\">" + song + "</folder> -->"
               "<folder name='music'><file id='2' name='real' /></folder>"),
      // Inside an attribute's text.
      Document("<note text='<folder name=\"music\">" + song + "</folder>' />"),
      // In a second music folder: the first one is the library.
      Document("<folder name='music' /><folder name=\"music\">" + song + "</folder>"),
      // A version whose songs the migration converts.
      Document(MusicFolder(song), "1.2.9"),
      // A text that names the placeholder the reader would use.
      Document(MusicFolder(song) + "<songs-read-ahead />"),
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    TiXmlDocument document;
    ReadAhead read_ahead;
    ASSERT_TRUE(ParseDataFileText(document, text, {.songs = true}, read_ahead));
    EXPECT_TRUE(read_ahead.songs.empty());
    TiXmlPrinter from_file;
    document.Accept(&from_file);
    TiXmlDocument whole;
    whole.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    TiXmlPrinter expected;
    whole.Accept(&expected);
    EXPECT_EQ(from_file.Str(), expected.Str());
  }
}

// Claims the songs read ahead but never takes them.
class ForgetfulSection : public StoreSection {
 public:
  void OnOpen(DocumentStore&) override {}
  bool TakesSongsReadAhead() const override { return true; }
};

TEST(PrintedSongsTest, SongsNoSectionTakesStayInTheDocument) {
  TempFolder folder;
  const std::string text = Document(MusicFolder("<file id=\"1\" name=\"One\" />"
                                                "<file id=\"2\" name=\"Two\" />"));
  ASSERT_TRUE(quillo::testing::WriteScrambled(folder / "sorvel.qlm", text));
  ForgetfulSection forgetful;
  for (bool with_section : {false, true}) {
    SCOPED_TRACE(with_section);
    DocumentStore store(folder.path());
    if (with_section) store.AddSection(forgetful);
    ASSERT_TRUE(store.Open(false));
    EXPECT_FALSE(store.IsDirty());
    auto lock = store.Lock();
    EXPECT_EQ(DocumentStore::GetTextOr(store.Resolve("folders#folder:music#file:id:2#", false),
                                       "name"),
              "Two");
    TiXmlElement* music = store.Resolve("folders#folder:music#", false);
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(DocumentStore::GetTextOr(music->FirstChildElement(), "id"), "1");
    EXPECT_TRUE(store.TakeSongsReadAhead().empty());
    lock.unlock();
    store.Close();
  }
}

}  // namespace
}  // namespace quillo::store
