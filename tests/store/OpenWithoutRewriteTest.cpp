// Opening a data file that needs nothing done leaves it as it is: no write at open, none at
// close. A change made while opening (migration, the reset of an interrupted download, a
// preview copy given up, a new client id) is still written.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "store/StoreTestUtil.h"
#include "support/TempFolder.h"

namespace quillo::store {
namespace {
using quillo::testing::DecodeDataFile;
using quillo::testing::TempFolder;
using quillo::testing::WriteScrambled;

const std::string kClientId = "0123456789ABCDEF0123456789ABCDEF";

std::string Document(const std::string& version, const std::string& songs, const std::string& lists,
                     const std::string& configs = "<config name='sorvel.clientid' value='" +
                                                  kClientId + "'/>") {
  return "<Sorvel version=\"" + version + "\"><configs>" + configs +
         "<config name='sorvel.currentuser' value='u1'/></configs><folders><folder name='music'>" +
         songs +
         "</folder></folders><users><user id='u1' username='demo' contextKey='k'><playlists>"
         "<playlist id='' name='All'><item id='1'/><item id='2'/></playlist>" +
         lists + "</playlists></user></users></Sorvel>";
}

struct Outcome {
  bool dirty_after_open = false;
  bool bytes_unchanged = false;
  bool mtime_unchanged = false;
  std::string xml_after;
};

// Writes the document, dates the file back an hour (so that a rewrite within the same second
// still shows), opens and closes it as quillo-tool does, with `use` in between.
Outcome OpenAndClose(const std::string& xml, const std::function<void(StoreRuntime&)>& use = {}) {
  TempFolder folder;
  const std::string path = folder / "sorvel.qlm";
  EXPECT_TRUE(WriteScrambled(path, xml));
  const auto old_time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  std::filesystem::last_write_time(path, old_time);
  const std::string bytes_before = fs::ReadWholeFile(path).value_or("");
  Outcome outcome;
  {
    StoreRuntime runtime(folder.path());
    EXPECT_TRUE(runtime.Open(/*start_saver=*/false));
    outcome.dirty_after_open = runtime.store().IsDirty();
    if (use) use(runtime);
    EXPECT_TRUE(runtime.Close());
  }
  outcome.bytes_unchanged = fs::ReadWholeFile(path).value_or("") == bytes_before;
  outcome.mtime_unchanged = std::filesystem::last_write_time(path) == old_time;
  outcome.xml_after = DecodeDataFile(path).value_or("");
  return outcome;
}

TEST(OpenWithoutRewriteTest, AnUpToDateFileIsNotRewritten) {
  const std::string xml = Document("1.3.1",
                                   "<file id='1' name='A' status='2' fileName='a.mp3'/>"
                                   "<file id='2' name='B'/><file id='3' name='C' status='0'/>",
                                   "<playlist id='t_latest'><item id='1' name='A'/></playlist>");
  Outcome outcome = OpenAndClose(xml, [](StoreRuntime& runtime) {
    // What read-only commands and the start-up do: read keys, lists, the client id.
    EXPECT_EQ(runtime.store().ClientId(), kClientId);
    EXPECT_EQ(runtime.store().GetConfigText("sorvel.currentuser"), "u1");
    runtime.store().FolderPath("music");
  });
  EXPECT_FALSE(outcome.dirty_after_open);
  EXPECT_TRUE(outcome.bytes_unchanged);
  EXPECT_TRUE(outcome.mtime_unchanged);
}

TEST(OpenWithoutRewriteTest, WritingTheValuesAlreadyStoredChangesNothing) {
  const std::string xml = Document("1.3.1", "<file id='1' name='A' status='2' fileName='a.mp3'/>",
                                   "", "<config name='sorvel.clientid' value='" + kClientId +
                                           "'/><config name='mode' value='normal'/>");
  // What every start does: its mode, the song's own attributes written back as they were.
  Outcome same = OpenAndClose(xml, [](StoreRuntime& runtime) {
    EXPECT_TRUE(runtime.store().SetConfigText("mode", "normal"));
    EXPECT_TRUE(runtime.library().SetMusicAttribute("1", "name", std::string_view("A")));
    EXPECT_FALSE(runtime.store().IsDirty());
  });
  EXPECT_TRUE(same.bytes_unchanged);
  EXPECT_TRUE(same.mtime_unchanged);

  // Another value, or the same text for an attribute the song lacked, is a change.
  Outcome changed = OpenAndClose(xml, [](StoreRuntime& runtime) {
    runtime.store().SetConfigText("mode", "mini");
    runtime.library().SetMusicAttribute("1", "album_name", std::string_view(""));
    EXPECT_TRUE(runtime.store().IsDirty());
  });
  EXPECT_NE(changed.xml_after.find("value=\"mini\""), std::string::npos) << changed.xml_after;
  EXPECT_NE(changed.xml_after.find("album_name=\"\""), std::string::npos) << changed.xml_after;
}

TEST(OpenWithoutRewriteTest, ChangesMadeWhileOpeningAreStillSaved) {
  struct Case {
    const char* what;
    std::string xml;
    std::function<void(StoreRuntime&)> use;
    std::string expected;  // a piece of the saved document
  };
  const Case kCases[] = {
      {"an interrupted download starts again from waiting",
       Document("1.3.1", "<file id='1' name='A' status='1'/><file id='2' name='B' status='3'/>",
                ""),
       {},
       "<file id=\"1\" name=\"A\" status=\"0\" />"},
      {"a status that is no number is written as waiting",
       Document("1.3.1", "<file id='1' name='A' status='junk'/>", ""),
       {},
       "<file id=\"1\" name=\"A\" status=\"0\" />"},
      {"a number that is no status is written as waiting",
       Document("1.3.1", "<file id='1' name='A' status='7'/>", ""),
       {},
       "<file id=\"1\" name=\"A\" status=\"0\" />"},
      {"a song stored for good gives up its preview copy",
       Document("1.3.1", "<file id='1' name='A' status='2' tryout='1.mp3'/>", ""),
       {},
       "<file id=\"1\" name=\"A\" status=\"2\" />"},
      {"an old recently played list is taken over",
       Document("1.3.1", "<file id='1' name='A' status='2'/>",
                "<playlist id='latest'><item id='1'/></playlist>"),
       {},
       "<playlist id=\"t_latest\">"},
      {"a file of an older version is migrated",
       Document("1.2.0", "<file id='1' name='A' status='2'/>", ""),
       {},
       "version=\"1.3.1\""},
      {"a missing client id is made and kept",
       Document("1.3.1", "<file id='1' name='A' status='2'/>", "", ""),
       [](StoreRuntime& runtime) { runtime.store().ClientId(); }, "sorvel.clientid"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.what);
    Outcome outcome = OpenAndClose(c.xml, c.use);
    EXPECT_FALSE(outcome.bytes_unchanged);
    EXPECT_NE(outcome.xml_after.find(c.expected), std::string::npos) << outcome.xml_after;
  }
}

}  // namespace
}  // namespace quillo::store
