#include <gtest/gtest.h>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::DecodeDataFile;
using quillo::testing::TempFolder;
using quillo::testing::WriteScrambled;

TEST(DocumentStoreFileTest, FirstRunWritesScrambledRootOnly) {
  TempFolder folder;
  DocumentStore store(folder / "data");
  ASSERT_TRUE(store.Open(false));
  std::optional<std::string> xml = DecodeDataFile(store.DataFilePath());
  ASSERT_TRUE(xml);
  EXPECT_EQ(*xml, "<Sorvel version=\"1.3.1\" />\n");
  EXPECT_FALSE(store.IsDirty());
  EXPECT_TRUE(store.Close());
}

TEST(DocumentStoreFileTest, ChangesSurviveReopenAndOnlyScrambledFormIsOnDisk) {
  TempFolder folder;
  {
    DocumentStore store(folder.path());
    store.Open(false);
    store.SetConfigText("module.music.play_mode", "random");
    store.SetConfigText("window.lyricbar.chnfont", "黑体");
    EXPECT_TRUE(store.Close());
  }
  std::optional<std::string> bytes = fs::ReadWholeFile(folder / "sorvel.qlm");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->find("random"), std::string::npos);  // never plain text under the name
  EXPECT_EQ(fs::ListFolder(folder.path()), std::vector<std::string>{"sorvel.qlm"});
  DocumentStore again(folder.path());
  again.Open(false);
  EXPECT_EQ(again.GetConfigText("module.music.play_mode"), "random");
  EXPECT_EQ(again.GetConfigText("window.lyricbar.chnfont"), "黑体");
}

TEST(DocumentStoreFileTest, PlainPredecessorIsTakenOverAndRemoved) {
  TempFolder folder;
  ASSERT_TRUE(fs::WriteFile(folder / "sorvel.xml",
      "<Sorvel version=\"1.3.1\"><configs><config name=\"k\" value=\"v\" /></configs></Sorvel>"));
  DocumentStore store(folder.path());
  store.Open(false);
  EXPECT_EQ(store.GetConfigText("k"), "v");
  EXPECT_FALSE(fs::PathExists(folder / "sorvel.xml"));
  ASSERT_TRUE(DecodeDataFile(folder / "sorvel.qlm"));
  EXPECT_NE(DecodeDataFile(folder / "sorvel.qlm")->find("name=\"k\""), std::string::npos);
}

TEST(DocumentStoreFileTest, UnreadableFilesAreKeptAsideNotDestroyed) {
  const std::string damaged[] = {
      std::string("\x02garbage"),                      // wrong marker
      std::string(),                                    // empty file
      std::string("\x01"),                              // marker and nothing: no document
      std::string("<Sorvel version=\"1.3.1\" />"),      // plain text under the scrambled name
  };
  for (const std::string& bytes : damaged) {
    TempFolder folder;
    ASSERT_TRUE(fs::WriteFile(folder / "sorvel.qlm", bytes));
    DocumentStore store(folder.path());
    EXPECT_TRUE(store.Open(false));
    ASSERT_FALSE(store.kept_aside_path().empty());
    EXPECT_EQ(fs::ReadWholeFile(store.kept_aside_path()), bytes);
    EXPECT_EQ(*DecodeDataFile(folder / "sorvel.qlm"), "<Sorvel version=\"1.3.1\" />\n");
    EXPECT_TRUE(store.SetConfigText("a", "b"));  // the fresh document works
  }
}

TEST(DocumentStoreFileTest, TruncatedScrambledFileIsKeptAside) {
  TempFolder folder;
  ASSERT_TRUE(WriteScrambled(folder / "sorvel.qlm", "<Sorvel version=\"1.3.1\"><configs><con"));
  DocumentStore store(folder.path());
  store.Open(false);
  EXPECT_FALSE(store.kept_aside_path().empty());
  EXPECT_TRUE(store.Resolve("configs#", false) == nullptr);
}

TEST(DocumentStoreFileTest, FailedWriteKeepsDirtyAndRetries) {
  TempFolder folder;
  DocumentStore store(folder / "data");
  store.Open(false);
  store.SetConfigText("k", "1");
  // Replace the data folder by a file: every write must fail until it is a folder again.
  ASSERT_TRUE(fs::RemoveTree(folder / "data"));
  ASSERT_TRUE(fs::WriteFile(folder / "data", "x"));
  EXPECT_FALSE(store.SaveIfDirty());
  EXPECT_TRUE(store.IsDirty());
  ASSERT_TRUE(fs::RemoveFile(folder / "data"));
  EXPECT_TRUE(store.Close());
  DocumentStore again(folder / "data");
  again.Open(false);
  EXPECT_EQ(again.GetConfigText("k"), "1");
}

TEST(DocumentStoreFileTest, SaverWritesOnceForManyChangesAndCloseSavesTheRest) {
  TempFolder folder;
  DocumentStore store(folder.path());
  store.Open(true);
  unsigned before = store.SaveCount();
  {
    // Holding the lock keeps the saver from printing halfway, however slow this machine is.
    auto lock = store.Lock();
    for (int i = 0; i < 500; ++i) store.SetConfigInt("counter", i);
  }
  // Wait (bounded) for the saver's write; the count of writes is what matters, not the time.
  for (int i = 0; i < 500 && store.SaveCount() == before; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // room for a wrong second write
  EXPECT_FALSE(store.IsDirty());
  EXPECT_EQ(store.SaveCount(), before + 1);
  store.SetConfigInt("counter", 1000);
  EXPECT_TRUE(store.Close());
  DocumentStore again(folder.path());
  again.Open(false);
  EXPECT_EQ(again.GetConfigInt("counter", -1), 1000);
}

TEST(DocumentStoreFileTest, TextRoundTripsExactly) {
  TempFolder folder;
  const std::string tricky = "a&#x41;<b>\"c\" 'd' \t\n\r 中文 &amp; ]]> \x01";
  {
    DocumentStore store(folder.path());
    store.Open(false);
    store.SetConfigText("tricky", tricky);
    store.SetConfigText("", "empty key");
    store.Close();
  }
  DocumentStore again(folder.path());
  again.Open(false);
  EXPECT_EQ(again.GetConfigText("tricky"), tricky);
  EXPECT_EQ(again.GetConfigText(""), "empty key");
}

class CountingListener : public DocMusicActionListener {
 public:
  void OnMusicAdded(const MusicRecord& record) override { added += record.at("id"); }
  void OnMusicRemoved(const std::string& id) override { removed += id; }
  void OnUserChanged(const std::string& id) override { users += id; }
  std::string added, removed, users;
};

TEST(DocumentStoreFileTest, ListenersAreCalledUntilRemoved) {
  TempFolder folder;
  DocumentStore store(folder.path());
  store.Open(false);
  CountingListener a, b;
  store.AddListener(&a);
  store.AddListener(&b);
  store.NotifyMusicAdded({{"id", "1"}});
  store.RemoveListener(&b);
  store.NotifyMusicRemoved("2");
  store.NotifyUserChanged("u");
  EXPECT_EQ(a.added + a.removed + a.users, "12u");
  EXPECT_EQ(b.added + b.removed + b.users, "1");
}

}  // namespace
}  // namespace quillo::store
