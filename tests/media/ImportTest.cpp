// A folder import over a tree of 1,000 files, through the scanner, the import listener, the tag
// readers and the store, as the program runs it.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "TagBytes.h"
#include "media/FolderScanner.h"
#include "media/LocalImport.h"
#include "media/MediaTagAccess.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextUtil.h"
#include "store/MusicLibrary.h"
#include "store/Playlists.h"
#include "store/SafeNames.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::media {
namespace {

namespace stdfs = std::filesystem;
using namespace quillo::testing;

void MakeSong(const std::string& path, const std::string& head, std::uintmax_t bytes) {
  fs::CreateFolders(fs::ParentFolder(path));
  ASSERT_TRUE(fs::WriteFile(path, head));
  stdfs::resize_file(path, bytes);  // sparse beyond the tag
}

TEST(ImportTest, ThousandFilesGiveExactlyTheSongsTheRulesSelect) {
  TempFolder data;
  TempFolder tree;
  const std::string root = tree.path();
  store::StoreRuntime runtime(data.path());
  ASSERT_TRUE(runtime.Open(false));
  runtime.store().SetConfigText("sorvel.path.music", root + "music/");
  MediaTagAccess tags;
  loop::Subscription tag_access = runtime.library().AttachTagAccess(tags);

  const char* kExtensions[] = {".mp3", ".MP3", ".wma", ".txt", ".mkv"};
  const std::uintmax_t kSizes[] = {511999, 512000, 700000, 400000};
  std::set<std::string> expected;  // lower-cased paths that must become songs
  int made = 0;
  for (int folder = 0; folder < 10; ++folder) {
    // Folder 7 is hidden and folder 8 is the store's music folder: neither is walked.
    std::string name = folder == 7 ? ".hidden" : folder == 8 ? "music" : "f" + std::to_string(folder);
    std::string dir = root + name + "/" + (folder % 2 ? "deep/" : "");
    for (int i = 0; i < 98; ++i) {
      const char* extension = kExtensions[i % 5];
      std::uintmax_t size = kSizes[(i / 5) % 4];
      std::string path = dir + "song" + std::to_string(i) + extension;
      std::string head;
      if (text::EqualsIgnoreCaseAscii(extension, ".mp3")) {
        head = Tag(Frame("TIT2", std::string(1, '\0') + "Title " + std::to_string(i)) +
                   Frame("TPE1", std::string("\x01\xFF\xFE", 3) + Utf16Le(u"歌手")));
      } else if (std::string(extension) == ".wma") {
        head = AsfFile({AsfContentDescription(u"Wma " + std::u16string(1, char16_t(u'A' + i % 26)), u"Author"),
                        AsfExtended({{u"WM/AlbumTitle", 0, Utf16Le(std::u16string(u"专辑") + u'\0')}})},
                       1000);
      }
      MakeSong(path, head, size);
      ++made;
      bool walked = folder != 7 && folder != 8;
      bool music = std::string(extension) != ".txt";
      if (walked && music && size >= FolderScanner::kMinFileBytes) expected.insert(text::ToLowerAscii(path));
    }
    // The same name in other letter case: one song.
    MakeSong(dir + "Case.mp3", "", 600000);
    MakeSong(dir + "CASE.mp3", "", 600000);
    made += 2;
    if (folder != 7 && folder != 8) expected.insert(text::ToLowerAscii(dir + "case.mp3"));
  }
  ASSERT_EQ(made, 1000);
  stdfs::create_directory_symlink(root + "f1", root + "f1/deep/loop");
  stdfs::create_directory_symlink(root, root + "f2/up");

  LocalImport import(runtime.library());
  {
    FolderScanner scanner(runtime.store().FolderPath("music"), "");
    scanner.AddListener(&import);
    scanner.Start(root);
    scanner.Wait();
  }
  std::vector<store::MusicRecordPtr> local = runtime.playlists().ListRecords("local");
  std::set<std::string> imported;
  for (const store::MusicRecordPtr& pointer : local) {
    const store::MusicRecord& record = *pointer;
    imported.insert(text::ToLowerAscii(record.at("fileName").substr(7)));
    EXPECT_EQ(record.at("id"), store::LocalMusicId(record.at("fileName").substr(7)));
  }
  EXPECT_EQ(imported, expected);
  EXPECT_EQ(local.size(), expected.size());
  EXPECT_EQ(runtime.library().Count(), expected.size());

  auto song = runtime.library().FindMusic(store::LocalMusicId(root + "f0/song6.MP3"));
  ASSERT_TRUE(song);
  EXPECT_EQ(song->at("name"), "Title 6");
  EXPECT_EQ(song->at("artist_name"), "歌手");
  EXPECT_EQ(song->at("_artist_name"), "gs");
  auto wma = runtime.library().FindMusic(store::LocalMusicId(root + "f0/song7.wma"));
  ASSERT_TRUE(wma);
  EXPECT_EQ(wma->at("name"), "Wma H");
  EXPECT_EQ(wma->at("album_name"), "专辑");
  auto untagged = runtime.library().FindMusic(store::LocalMusicId(root + "f0/song9.mkv"));
  ASSERT_TRUE(untagged);
  EXPECT_EQ(untagged->at("name"), "song9");

  EXPECT_EQ(import.added(), static_cast<int>(expected.size()));
  // Importing again adds nothing new.
  int before = import.found();
  FolderScanner again(runtime.store().FolderPath("music"), "");
  again.AddListener(&import);
  again.Start(root);
  again.Wait();
  EXPECT_EQ(runtime.library().Count(), expected.size());
  // Every file the rules accept counts, the second spelling of a case pair included (8 pairs).
  EXPECT_EQ(import.found() - before, static_cast<int>(expected.size()) + 8);
  EXPECT_EQ(import.added(), static_cast<int>(expected.size()));
  tag_access.Reset();
  runtime.Close();
}

TEST(ImportTest, FileImportHasNoSizeRule) {
  TempFolder data;
  store::StoreRuntime runtime(data.path());
  ASSERT_TRUE(runtime.Open(false));
  MediaTagAccess tags;
  loop::Subscription tag_access = runtime.library().AttachTagAccess(tags);
  MakeSong(data / "My Song.mp3", "", 400000);
  MakeSong(data / "notes.txt", "", 600000);
  std::vector<std::string> statuses;
  LocalImport import(runtime.library(), [&](const std::string& s) { statuses.push_back(s); });
  EXPECT_EQ(import.AddFiles({data / "My Song.mp3", data / "notes.txt", data / "missing.mp3"}), 1);
  auto record = runtime.library().FindMusic(store::LocalMusicId(data / "My Song.mp3"));
  ASSERT_TRUE(record);
  EXPECT_EQ(record->at("name"), "My Song");
  EXPECT_EQ(statuses, std::vector<std::string>{"正在导入:" + data / "My Song.mp3"});
  tag_access.Reset();
}

}  // namespace
}  // namespace quillo::media
