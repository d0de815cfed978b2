// Random and damaged data files and paths: the store must never crash, and must always come up
// with a usable document.
#include <gtest/gtest.h>

#include <random>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::TempFolder;

const char kValid[] =
    "<Sorvel version=\"1.3.1\"><configs><config name=\"a\" value=\"&amp;&#x0A;\" /></configs>"
    "<folders><folder name=\"music\"><file id=\"1\" name=\"x\" /></folder></folders>"
    "<users><user id=\"u\"><playlists><playlist id=\"p\"><item id=\"1\" /></playlist>"
    "</playlists></user></users></Sorvel>";

TEST(MalformedStoreTest, RandomCorruptionOfDataFiles) {
  std::mt19937 random(1234);
  TempFolder folder;
  for (int round = 0; round < 300; ++round) {
    std::string xml = kValid;
    int mode = round % 4;
    if (mode == 0) {
      xml.resize(random() % xml.size());                               // truncated
    } else if (mode == 1) {
      for (int i = 0; i < 5; ++i) xml[random() % xml.size()] = static_cast<char>(random());
    } else if (mode == 2) {
      xml.assign(random() % 200, '\0');
      for (char& c : xml) c = static_cast<char>(random());             // noise
    } else {
      xml.insert(random() % xml.size(), "<<&#x;\"");
    }
    std::string data = folder / ("r" + std::to_string(round) + "/");
    fs::CreateFolders(data);
    if (round % 8 == 7) {
      fs::WriteFile(data + "sorvel.qlm", xml);  // not even scrambled
    } else {
      quillo::testing::WriteScrambled(data + "sorvel.qlm", xml);
    }
    DocumentStore store(data);
    store.Open(false);
    EXPECT_TRUE(store.SetConfigText("after", "ok")) << "round " << round;
    EXPECT_EQ(store.GetConfigText("after"), "ok");
    EXPECT_TRUE(store.Close());
    DocumentStore again(data);
    again.Open(false);
    EXPECT_EQ(again.GetConfigText("after"), "ok") << "round " << round;
  }
}

TEST(MalformedStoreTest, RandomPathsNeverCrashAndKeepTheFilePrintable) {
  std::mt19937 random(99);
  TempFolder folder;
  quillo::testing::WriteScrambled(folder / "sorvel.qlm", kValid);
  DocumentStore store(folder.path());
  store.Open(false);
  const std::string alphabet = "ab:#_1 \"<&\xE4\xB8\xAD";
  auto lock = store.Lock();
  for (int round = 0; round < 2000; ++round) {
    std::string path;
    for (int i = random() % 24; i > 0; --i) path += alphabet[random() % alphabet.size()];
    store.Resolve(path, round % 2 == 0);
  }
  TiXmlDocument reparsed;
  reparsed.Parse(store.PrintDocument().c_str(), nullptr, TIXML_ENCODING_LEGACY);
  EXPECT_FALSE(reparsed.Error()) << reparsed.ErrorDesc();
}

}  // namespace
}  // namespace quillo::store
