#include <gtest/gtest.h>

#include "store/DocumentStore.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

class PathLanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(quillo::testing::WriteScrambled(folder_ / "sorvel.qlm",
        "<Sorvel version=\"1.3.1\">"
        "<folders><folder name=\"music\"><file id=\"1\" name=\"a:b:c\" /></folder></folders>"
        "<users><user id=\"\"><playlists>"
        "<playlist id=\"local\" name=\"first\" /><playlist id=\"local\" name=\"second\" />"
        "</playlists></user></users></Sorvel>"));
    store_.Open(false);
  }
  TempFolder folder_;
  DocumentStore store_{folder_.path()};
};

TEST_F(PathLanguageTest, StepForms) {
  auto lock = store_.Lock();
  TiXmlElement* root = store_.Root();
  EXPECT_EQ(store_.Resolve("configs", false), root);            // no '#': the root
  EXPECT_EQ(store_.Resolve("", false), root);
  TiXmlElement* music = store_.Resolve("folders#folder:music#", false);
  ASSERT_NE(music, nullptr);
  EXPECT_EQ(store_.Resolve("folders#folder:name:music#", false), music);
  EXPECT_EQ(store_.Resolve("folders##folder:music#", false), store_.Resolve("folders#", false));
  EXPECT_EQ(store_.Resolve("#folders#", false), root);           // empty first step
  EXPECT_EQ(store_.Resolve("folders#folder:music#ignored", false), music);
  // Only the first two colons separate: the value keeps its own.
  TiXmlElement* file = store_.Resolve("folders#folder:music#file:name:a:b:c#", false);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(DocumentStore::GetTextOr(file, "id"), "1");
  EXPECT_EQ(store_.Resolve("folders#folder:music#file:a:b:c#", false), nullptr);
  // The first of two equal ids wins.
  TiXmlElement* local = store_.Resolve("users#user:id:#playlists#playlist:id:local#", false);
  ASSERT_NE(local, nullptr);
  EXPECT_EQ(DocumentStore::GetTextOr(local, "name"), "first");
  EXPECT_EQ(store_.Resolve("users#user:id:nobody#", false), nullptr);
}

TEST_F(PathLanguageTest, CreationBuildsWholeChainsOnce) {
  auto lock = store_.Lock();
  bool created = false;
  TiXmlElement* list = store_.Resolve("users#user:id:u1#playlists#playlist:id:p1#", true, &created);
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(created);
  EXPECT_EQ(DocumentStore::GetTextOr(list, "id"), "p1");
  EXPECT_EQ(DocumentStore::GetTextOr(list->Parent()->Parent()->ToElement(), "id"), "u1");
  EXPECT_EQ(store_.Resolve("users#user:id:u1#playlists#playlist:id:p1#", true, &created), list);
  EXPECT_FALSE(created);
  EXPECT_NE(store_.ResolveStep(list, "item:id:42", true), nullptr);
  EXPECT_EQ(DocumentStore::Children(list).size(), 1u);
}

TEST_F(PathLanguageTest, CreationRefusesNamesThatWouldBreakTheFile) {
  auto lock = store_.Lock();
  EXPECT_EQ(store_.Resolve(":x#", true), nullptr);
  EXPECT_EQ(store_.Resolve("a b#", true), nullptr);
  EXPECT_EQ(store_.Resolve("ok:bad name:1#", true), nullptr);
  EXPECT_EQ(store_.Resolve("9lives#", true), nullptr);
  std::string printed = store_.PrintDocument();
  TiXmlDocument reparsed;
  reparsed.Parse(printed.c_str());
  EXPECT_FALSE(reparsed.Error());
}

TEST_F(PathLanguageTest, AttributeBlocks) {
  auto lock = store_.Lock();
  TiXmlElement* file = store_.Resolve("folders#folder:music#file:id:1#", false);
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(DocumentStore::GetText(file, "status"));
  EXPECT_FALSE(DocumentStore::GetInt(file, "name"));  // "a:b:c" does not start with a number
  store_.SetInt(file, "status", 2);
  EXPECT_EQ(DocumentStore::GetInt(file, "status"), 2);
  store_.SetText(file, "status", " 3x");
  EXPECT_EQ(DocumentStore::GetInt(file, "status"), 3);
  MusicRecord record = DocumentStore::ReadAllAttributes(file);
  EXPECT_EQ(record.size(), 3u);
  store_.RemoveAttribute(file, "status");
  EXPECT_FALSE(DocumentStore::GetText(file, "status"));
  TiXmlElement copy("file");
  copy.SetAttribute("id", "0");
  TiXmlElement* before = store_.InsertCopyBefore(file, copy);
  copy.SetAttribute("id", "2");
  store_.InsertCopyAfter(file, copy);
  std::vector<TiXmlElement*> files = DocumentStore::Children(file->Parent()->ToElement());
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0], before);
  EXPECT_EQ(DocumentStore::GetTextOr(files[2], "id"), "2");
  store_.RemoveElement(files[1]);
  EXPECT_EQ(store_.Resolve("folders#folder:music#file:id:1#", false), nullptr);
}

TEST(PathLanguageNoRootTest, RootlessDocumentResolvesNothing) {
  DocumentStore store("/nonexistent-quillo-folder/");  // never opened: the document is empty
  auto lock = store.Lock();
  EXPECT_EQ(store.Resolve("configs", true), nullptr);
  EXPECT_EQ(store.Resolve("configs#config:x#", true), nullptr);
  EXPECT_FALSE(store.SetConfigText("k", "v"));
  EXPECT_FALSE(store.HasConfig("k"));  // not even the cache changed
}

}  // namespace
}  // namespace quillo::store
