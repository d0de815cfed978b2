// Lists' items read straight from the data file's text must be the items the XML parser reads,
// and anything the reader does not know exactly must go to the XML parser as before.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include "store/DataFileText.h"
#include "store/DocumentStore.h"
#include "store/PrintedItems.h"
#include "store/StoreSection.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

std::string Document(const std::string& lists, const std::string& version = "1.3.1") {
  return "<Sorvel version=\"" + version + "\">\n    <users>\n        <user id=\"\">\n"
         "            <playlists>\n" + lists + "            </playlists>\n        </user>\n"
         "    </users>\n</Sorvel>\n";
}

std::string List(const std::string& id, const std::string& content) {
  return "                <playlist id=\"" + id + "\" name=\"n\">" + content + "</playlist>\n";
}

std::string Printed(const TiXmlDocument& document) {
  TiXmlPrinter printer;
  document.Accept(&printer);
  return printer.Str();
}

std::string PrintedWhole(const std::string& text) {
  TiXmlDocument whole;
  whole.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
  EXPECT_FALSE(whole.Error()) << whole.ErrorDesc();
  return Printed(whole);
}

// The document with the items read ahead put back as elements.
std::string PrintedWithItemsBack(TiXmlDocument& document, const ReadAhead& read_ahead) {
  for (const ListItemsReadAhead& list : read_ahead.lists) {
    EXPECT_EQ(list.playlist->FirstChild(), nullptr);
    for (const std::string& id : list.ids) {
      TiXmlElement item("item");
      item.SetAttribute("id", id);
      list.playlist->InsertEndChild(item);
    }
  }
  return Printed(document);
}

TEST(PrintedItemsTest, ReadsPlainListsAsTheXmlParserDoes) {
  const std::string text = Document(
      List("a", "\n    <item id=\"1\" />\n\t<item id=\"a &amp; b &lt;c&gt; &quot;d&apos;\" />\r\n"
                "<item  id=\"tab&#x09;here\"/><item id=\"1\" />\n") +
      List("empty", "") + "<playlist id=\"closed\" />\n" +
      List("more", "<item id=\"5\" name=\"carries a record\" />") +
      List("b", "<item id=\"\xE5\x91\xA8\" />"));
  std::vector<PrintedItems> lists = ReadPrintedItems(text, 0, text.size());
  ASSERT_EQ(lists.size(), 2u);
  EXPECT_EQ(lists[0].ids, (std::vector<std::string>{"1", "a & b <c> \"d'", "tab\there", "1"}));
  EXPECT_EQ(lists[1].ids, std::vector<std::string>{"\xE5\x91\xA8"});
  // Only a range's lists are read.
  EXPECT_EQ(ReadPrintedItems(text, lists[0].end, text.size()).size(), 1u);
  EXPECT_TRUE(ReadPrintedItems(text, 0, text.find("<playlist")).empty());

  TiXmlDocument document;
  ReadAhead read_ahead;
  ASSERT_TRUE(ParseDataFileText(document, text, {.items = true}, read_ahead));
  ASSERT_EQ(read_ahead.lists.size(), 2u);
  EXPECT_EQ(DocumentStore::GetTextOr(read_ahead.lists[0].playlist, "id"), "a");
  EXPECT_EQ(read_ahead.lists[0].ids, lists[0].ids);
  EXPECT_EQ(DocumentStore::GetTextOr(read_ahead.lists[1].playlist, "id"), "b");
  EXPECT_EQ(PrintedWithItemsBack(document, read_ahead), PrintedWhole(text));

  // Not wanted, nothing is read ahead.
  ASSERT_TRUE(ParseDataFileText(document, text, {.songs = true}, read_ahead));
  EXPECT_TRUE(read_ahead.lists.empty());
  EXPECT_EQ(Printed(document), PrintedWhole(text));
}

TEST(PrintedItemsTest, AnythingButPlainItemsGoesToTheXmlParser) {
  const char* const refused[] = {
      "<item id='1' />",
      "<item id=\"1\" x=\"2\" />",
      "<item x=\"2\" id=\"1\" />",
      "<item id=\"1\"></item>",
      "<item id=\"1\" /><!-- a comment -->",
      "<item />",
      "<item id=\"1\" /> text",
      "<itemX id=\"1\" />",
      "<item id=\"1\" /><other />",
      "<item id=\"&nbsp;\" />",
      "<item id=\"a <b\" />",
      "<item id=\"1\" /><item id=\"2\"",
  };
  for (const char* content : refused) {
    SCOPED_TRACE(content);
    const std::string text = Document(List("a", content));
    EXPECT_TRUE(ReadPrintedItems(text, 0, text.size()).empty());
    TiXmlDocument document;
    ReadAhead read_ahead;
    const bool parsed = ParseDataFileText(document, text, {.songs = true, .items = true}, read_ahead);
    EXPECT_TRUE(read_ahead.lists.empty());
    TiXmlDocument whole;
    whole.Parse(text.c_str(), nullptr, TIXML_ENCODING_LEGACY);
    EXPECT_EQ(parsed, !whole.Error());
    if (parsed) {
      EXPECT_EQ(Printed(document), Printed(whole));
    }
  }
  // A list that never ends.
  EXPECT_TRUE(ReadPrintedItems("<playlist id=\"a\"><item id=\"1\" />", 0, 40).empty());
}

TEST(PrintedItemsTest, ListsThatAreNoElementsStayAsTheyAre) {
  const std::string plain = List("a", "<item id=\"1\" />");
  const std::string cases[] = {
      // Commented out, beside a real list: nothing is read ahead.
      Document("<!-- " + plain + " -->" + List("b", "<item id=\"2\" />")),
      // Inside an attribute's text.
      Document("<note text='<playlist id=\"x\"><item id=\"1\" /></playlist>' />"),
      // In a text that names the marker the reader would use.
      Document(plain + "<items-read-ahead n=\"0\" />"),
      Document(plain + "<!-- songs-read-ahead -->"),
      // A version whose lists the migration converts.
      Document(plain, "1.2.9"),
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    TiXmlDocument document;
    ReadAhead read_ahead;
    ASSERT_TRUE(ParseDataFileText(document, text, {.songs = true, .items = true}, read_ahead));
    EXPECT_TRUE(read_ahead.lists.empty());
    EXPECT_EQ(Printed(document), PrintedWhole(text));
  }
}

// Claims the items read ahead but never takes them.
class ForgetfulSection : public StoreSection {
 public:
  void OnOpen(DocumentStore&) override {}
  bool TakesItemsReadAhead() const override { return true; }
};

TEST(PrintedItemsTest, ItemsNoSectionTakesStayInTheDocument) {
  TempFolder folder;
  const std::string text = Document(List("a", "<item id=\"1\" /><item id=\"2\" />"));
  ASSERT_TRUE(quillo::testing::WriteScrambled(folder / "sorvel.qlm", text));
  ForgetfulSection forgetful;
  DocumentStore store(folder.path());
  store.AddSection(forgetful);
  ASSERT_TRUE(store.Open(false));
  EXPECT_FALSE(store.IsDirty());
  auto lock = store.Lock();
  TiXmlElement* list = store.Resolve("users#user:id:#playlists#playlist:id:a#", false);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(DocumentStore::GetTextOr(list->FirstChildElement("item"), "id"), "1");
  EXPECT_EQ(DocumentStore::GetTextOr(list->LastChild()->ToElement(), "id"), "2");
  EXPECT_TRUE(store.TakeItemsReadAhead().empty());
  EXPECT_EQ(PrintedWhole(store.PrintDocument()), PrintedWhole(text));
  lock.unlock();
  store.Close();
}

}  // namespace
}  // namespace quillo::store
