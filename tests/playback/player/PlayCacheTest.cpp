#include "playback/PlayCache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "platform/fs/FileSystem.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::playback {
namespace {

class PlayCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime_.Open(/*start_saver=*/false)); }
  void TearDown() override { runtime_.Close(); }

  // A file in the cache folder, made on disk.
  std::string MakeFile(const std::string& name) {
    std::string path = files_ / name;
    EXPECT_TRUE(fs::WriteFile(path, "x"));
    return path;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& entry : cache_.Entries()) paths.push_back(fs::BaseName(entry.path));
    return paths;
  }

  testing::TempFolder data_;
  testing::TempFolder files_;
  store::StoreRuntime runtime_{data_.path()};
  PlayCache cache_{runtime_.store(), runtime_.library()};
};

TEST_F(PlayCacheTest, LimitOutsideOneTo200CountsAs100) {
  struct Case {
    const char* text;
    int limit;
  };
  for (const Case& c : {Case{"0", 100}, Case{"-5", 100}, Case{"201", 100}, Case{"abc", 100},
                        Case{"", 100}, Case{"1", 1}, Case{"200", 200}, Case{"37", 37}}) {
    runtime_.store().SetConfigText("sorvel.cache.size", c.text);
    EXPECT_EQ(cache_.Limit(), c.limit) << c.text;
  }
  runtime_.store().RemoveConfig("sorvel.cache.size");
  EXPECT_EQ(cache_.Limit(), 100);
}

TEST_F(PlayCacheTest, LimitOneEvictsTheSongWhenItsLyricArrivesButNotForTheSameTriple) {
  runtime_.store().SetConfigText("sorvel.cache.size", "1");
  std::string song = MakeFile("1001.mp3");
  std::string lyric = MakeFile("1001.lrc");
  cache_.Add("music", "1001", song);
  cache_.Add("music", "1001", song);  // the same triple: nothing is deleted
  EXPECT_TRUE(fs::FileExists(song));
  EXPECT_EQ(cache_.Entries().size(), 1u);
  cache_.Add("lyric", "1001", lyric);
  EXPECT_FALSE(fs::FileExists(song));
  EXPECT_TRUE(fs::FileExists(lyric));
  EXPECT_EQ(Paths(), std::vector<std::string>{"1001.lrc"});
}

TEST_F(PlayCacheTest, TouchedSongOutlivesAnOlderOne) {
  runtime_.store().SetConfigText("sorvel.cache.size", "3");
  std::string a = MakeFile("A.mp3"), b = MakeFile("B.mp3"), c = MakeFile("C.mp3"),
              d = MakeFile("D.mp3");
  cache_.Add("music", "A", a);
  cache_.Add("music", "B", b);
  cache_.Add("music", "C", c);
  cache_.Touch("A");
  cache_.Add("music", "D", d);
  EXPECT_FALSE(fs::FileExists(b));
  EXPECT_TRUE(fs::FileExists(a));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"C.mp3", "A.mp3", "D.mp3"}));
  // Re-adding an existing triple makes it the newest, evicting nothing.
  cache_.Add("music", "C", c);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"A.mp3", "D.mp3", "C.mp3"}));
}

TEST_F(PlayCacheTest, TouchMovesEverySongEntryKeepingTheirOrder) {
  cache_.Add("music", "S", files_ / "S.mp3");
  cache_.Add("music", "X", files_ / "X.mp3");
  cache_.Add("lyric", "S", files_ / "S.lrc");
  cache_.Add("music", "Y", files_ / "Y.mp3");
  cache_.Touch("S");
  EXPECT_EQ(Paths(), (std::vector<std::string>{"X.mp3", "Y.mp3", "S.mp3", "S.lrc"}));
  // A song's entry that is not last moves to the back.
  cache_.Touch("Y");
  EXPECT_EQ(Paths(), (std::vector<std::string>{"X.mp3", "S.mp3", "S.lrc", "Y.mp3"}));
  cache_.Touch("unknown");
  EXPECT_EQ(Paths(), (std::vector<std::string>{"X.mp3", "S.mp3", "S.lrc", "Y.mp3"}));
}

TEST_F(PlayCacheTest, FilesForAndTheStoreLookupAnswerTheLatestOfEachKind) {
  cache_.Add("music", "S", "/c/S.playpart");
  cache_.Add("lyric", "S", "/c/S.lrc");
  cache_.Add("music", "S", "/c/S.mp3");
  auto files = cache_.FilesFor("S");
  EXPECT_EQ(files.size(), 2u);
  EXPECT_EQ(files["music"], "/c/S.mp3");
  EXPECT_EQ(files["lyric"], "/c/S.lrc");
  EXPECT_TRUE(cache_.FilesFor("T").empty());
  EXPECT_EQ(cache_.CachedSongPath("S"), "/c/S.mp3");
  EXPECT_EQ(cache_.CachedLyricPath("S"), "/c/S.lrc");
  EXPECT_EQ(cache_.CachedLyricPath("T"), std::nullopt);

  // The library answers a temporary list's song that it does not hold from the cache.
  loop::Subscription attached = runtime_.library().AttachStreamCache(cache_);
  store::MusicRecord completed = runtime_.library().CompleteFileNames({{"id", "S"}});
  EXPECT_EQ(completed["fileName"], "file:///c/S.mp3");
  EXPECT_EQ(completed["lyric_file"], "file:///c/S.lrc");
  attached.Reset();
}

TEST_F(PlayCacheTest, PurgeUnownedDeletesOnlyFilesOfSongsNotInTheStore) {
  ASSERT_TRUE(runtime_.library().AddMusic({{"id", "1001"}, {"name", "kept"}}, false));
  std::string kept = MakeFile("1001.mp3");
  std::string gone = MakeFile("2002.mp3");
  std::string gone_lyric = MakeFile("2002.lrc");
  cache_.Add("music", "1001", kept);
  cache_.Add("music", "2002", gone);
  cache_.Add("lyric", "2002", gone_lyric);
  cache_.PurgeUnowned();
  EXPECT_TRUE(fs::FileExists(kept));
  EXPECT_FALSE(fs::FileExists(gone));
  EXPECT_FALSE(fs::FileExists(gone_lyric));
  EXPECT_EQ(cache_.Entries().size(), 3u);  // the list itself is left as it is
}

// What earlier runs left in the cache folder counts against the limit, oldest first; their
// unfinished transfers go, other files stay, and their copies are never answered as a song's
// (a killed run may have left one cut short) until this run caches the song again.
TEST_F(PlayCacheTest, FilesOfEarlierRunsCountAgainstTheLimit) {
  const std::string folder = runtime_.store().FolderPath(".cache");
  ASSERT_TRUE(fs::CreateFolders(folder));
  const auto now = std::filesystem::file_time_type::clock::now();
  int age_s = 100;
  for (const char* name : {"a.mp3", "b.lrc", "c.wma", "d.playpart", "e.lrc.part", "notes.txt"}) {
    ASSERT_TRUE(fs::WriteFile(folder + name, "x"));
    std::filesystem::last_write_time(folder + name, now - std::chrono::seconds(age_s));
    age_s -= 10;
  }
  runtime_.store().SetConfigText("sorvel.cache.size", "2");
  PlayCache later(runtime_.store(), runtime_.library());
  std::vector<std::string> names;
  for (const PlayCache::Entry& entry : later.Entries()) {
    names.push_back(entry.kind + " " + entry.music_id + " " + fs::BaseName(entry.path));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"lyric b b.lrc", "music c c.wma"}));
  for (const char* gone : {"a.mp3", "d.playpart", "e.lrc.part"}) {
    EXPECT_FALSE(fs::PathExists(folder + gone)) << gone;
  }
  EXPECT_TRUE(fs::FileExists(folder + "notes.txt"));
  EXPECT_FALSE(later.CachedSongPath("c"));
  EXPECT_FALSE(later.CachedLyricPath("b"));
  EXPECT_TRUE(later.FilesFor("c").empty());

  // This run streams c again into the same file: it becomes the newest and is answered.
  later.Add(PlayCache::kMusicKind, "c", folder + "c.wma");
  EXPECT_TRUE(fs::FileExists(folder + "b.lrc"));
  EXPECT_EQ(later.CachedSongPath("c"), folder + "c.wma");
  // A new song takes the place of the oldest, the earlier run's lyric.
  later.Add(PlayCache::kMusicKind, "f", MakeFile("f.mp3"));
  EXPECT_FALSE(fs::PathExists(folder + "b.lrc"));
  EXPECT_EQ(later.Entries().size(), 2u);
}

}  // namespace
}  // namespace quillo::playback
