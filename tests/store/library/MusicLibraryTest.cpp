#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>

#include "LibraryFixture.h"
#include "store/SafeNames.h"

namespace quillo::store {
namespace {

using namespace quillo::testing;
using namespace std::chrono_literals;

class MusicLibraryTest : public LibraryFixture {
 protected:
  // A library song with a stored copy in the music folder, at the name the library gives it.
  void AddStoredSong(const std::string& id, const std::string& artist, const std::string& album) {
    library().AddMusic(Song(id, "Song" + id, artist, album));
    std::string relative = library().MusicFileName(*library().FindMusic(id), ".mp3", true);
    ASSERT_TRUE(fs::WriteFile(MusicFolder() + relative, "audio"));
    library().SetMusicAttribute(id, "fileName", relative);
  }
};

TEST_F(MusicLibraryTest, AddMusicPutsSongsIntoTheirListsAndAnnouncesServiceSongs) {
  ASSERT_TRUE(library().AddMusic(Song("100", "周杰伦的歌", "周杰伦")));
  ASSERT_TRUE(library().AddMusic(Song("ex-1", "Local")));
  EXPECT_FALSE(library().AddMusic({{"name", "no id"}}));
  EXPECT_EQ(listener_.added, std::vector<std::string>{"100"});
  // Nobody is logged in: the user with the empty id and its default list "All" exist now.
  EXPECT_EQ(Ids(lists().ListRecords("")), std::vector<std::string>{"100"});
  EXPECT_EQ(Ids(lists().ListRecords("local")), std::vector<std::string>{"ex-1"});
  EXPECT_EQ(lists().GetPlaylistInfo("")->name, "All");
  EXPECT_EQ(lists().GetPlaylistInfo("local")->name, "local");
  auto record = library().FindMusic("100");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->at("_name"), "zjldg");
  EXPECT_EQ(record->at("_artist_name"), "zjl");
  EXPECT_FALSE(library().FindMusic("nope"));
}

TEST_F(MusicLibraryTest, UpdatesKeepSearchKeysFreshAndIgnoreUnknownSongs) {
  library().AddMusic(Song("1", "One", "Artist"));
  ASSERT_TRUE(library().UpdateMusic({{"id", "1"}, {"name", "刘德华"}, {"_name", "stale"}}));
  EXPECT_EQ(library().FindMusic("1")->at("_name"), "ldh");
  ASSERT_TRUE(library().SetMusicAttribute("1", "artist_name", std::nullopt));
  EXPECT_EQ(library().FindMusic("1")->count("artist_name"), 0u);
  EXPECT_EQ(library().FindMusic("1")->at("_artist_name"), "");
  EXPECT_FALSE(library().UpdateMusic(Song("2", "x")));
  EXPECT_FALSE(library().SetMusicAttribute("2", "name", "x"));
  EXPECT_FALSE(library().HasMusic("2"));
  library().SetPaused("2", true);
  EXPECT_FALSE(library().IsPaused("2"));
  library().SetPaused("1", true);
  EXPECT_TRUE(library().IsPaused("1"));
}

// The library finds a song by the id inside its record: through the table's growth, records
// replaced again and again, songs removed between others, and a reopen, every song is found with
// its latest attributes and the library keeps its order.
TEST_F(MusicLibraryTest, SongsAreFoundByIdThroughGrowthReplacementAndRemoval) {
  constexpr int kSongs = 3000;
  for (int i = 0; i < kSongs; ++i) {
    ASSERT_TRUE(library().AddMusic(Song(std::to_string(i), "song " + std::to_string(i))));
  }
  for (int i = 0; i < kSongs; i += 3) {
    ASSERT_TRUE(library().SetMusicAttribute(std::to_string(i), "album_name", "a" + std::to_string(i)));
    ASSERT_TRUE(library().UpdateMusic({{"id", std::to_string(i)}, {"name", "new " + std::to_string(i)}}));
  }
  for (int i = 1; i < kSongs; i += 7) library().DeleteMusic(std::to_string(i));
  auto check = [&] {
    std::vector<std::string> expected_order;
    for (int i = 0; i < kSongs; ++i) {
      const std::string id = std::to_string(i);
      const std::optional<MusicRecord> record = library().FindMusic(id);
      if (i % 7 == 1) {
        EXPECT_FALSE(record) << id;
        continue;
      }
      expected_order.push_back(id);
      ASSERT_TRUE(record) << id;
      EXPECT_EQ(record->at("id"), id);
      EXPECT_EQ(record->at("name"), (i % 3 == 0 ? "new " : "song ") + id);
      EXPECT_EQ(record->count("album_name"), i % 3 == 0 ? 1u : 0u) << id;
    }
    std::vector<std::string> order;
    for (const MusicRecordPtr& record : library().AllRecords()) order.push_back(IdOf(record));
    EXPECT_EQ(order, expected_order);
    EXPECT_EQ(library().Count(), expected_order.size());
  };
  check();
  Reopen();
  check();
}

TEST_F(MusicLibraryTest, OpeningResetsDownloadsAndDropsPreviewsOfStoredSongs) {
  const std::string cache = store().FolderPath(".cache");
  fs::CreateFolders(cache);
  ASSERT_TRUE(fs::WriteFile(cache + "p.mp3", "preview"));
  library().AddMusic({{"id", "1"}, {"status", "1"}});
  library().AddMusic({{"id", "2"}, {"status", "3"}});
  library().AddMusic({{"id", "3"}, {"status", "2"}, {"tryout", "p.mp3"}});
  // A preview name that points out of the cache folder deletes nothing there.
  ASSERT_TRUE(fs::WriteFile(data_ / "outside", "keep"));
  library().AddMusic({{"id", "4"}, {"status", "2"}, {"tryout", "../outside"}});
  library().SetPaused("1", true);
  Reopen();
  EXPECT_EQ(library().FindMusic("1")->at("status"), "0");
  EXPECT_EQ(library().FindMusic("2")->at("status"), "0");
  EXPECT_EQ(library().FindMusic("3")->count("tryout"), 0u);
  EXPECT_FALSE(fs::FileExists(cache + "p.mp3"));
  EXPECT_EQ(library().FindMusic("4")->count("tryout"), 0u);
  EXPECT_TRUE(fs::FileExists(data_ / "outside"));
  EXPECT_FALSE(library().IsPaused("1"));
}

TEST_F(MusicLibraryTest, FilingADownloadMovesItTagsItAndRecordsIt) {
  library().AddMusic(Song("5", "Back: In Black", "AC/DC"));
  const std::string partial = data_ / "5.part.mp3";
  ASSERT_TRUE(fs::WriteFile(partial, "audio"));
  library().FileDownloadedMusic("5", partial);
  auto record = library().FindMusic("5");
  EXPECT_EQ(record->at("fileName"), "AC_DC/未知专辑/Back_ In Black.mp3");
  EXPECT_EQ(record->at("status"), "2");
  EXPECT_EQ(*fs::ReadWholeFile(MusicFolder() + "AC_DC/未知专辑/Back_ In Black.mp3"), "audio");
  EXPECT_FALSE(fs::FileExists(partial));
  ASSERT_EQ(tags_.written.size(), 1u);
  EXPECT_EQ(tags_.written[0].tags.title, "Back: In Black");
  EXPECT_EQ(tags_.written[0].tags.artist, "AC/DC");

  // A name from the service that tries to leave the music folder stays inside it.
  library().AddMusic(Song("6", "..", "..", ".."));
  const std::string other = data_ / "6.mp3";
  ASSERT_TRUE(fs::WriteFile(other, "x"));
  library().FileDownloadedMusic("6", other);
  EXPECT_EQ(library().FindMusic("6")->at("fileName"), "_/_/_.mp3");
  EXPECT_TRUE(fs::FileExists(MusicFolder() + "_/_/_.mp3"));

  // Unknown songs: nothing happens, the partial file stays.
  ASSERT_TRUE(fs::WriteFile(partial, "audio"));
  library().FileDownloadedMusic("404", partial);
  EXPECT_TRUE(fs::FileExists(partial));
}

// The move and the tag rewrite run without the store's lock: while the tag writer works on one
// song, another thread uses the store — here it files a namesake, which must neither wait nor
// take the same name. The record names the copy only once it is in place and tagged.
TEST_F(MusicLibraryTest, FilingWorksOnTheFileWithoutTheStoreLock) {
  const std::string m = MusicFolder();
  library().AddMusic(Song("21", "Same", "Artist", "Album"));
  library().AddMusic(Song("22", "Same", "Artist", "Album"));
  ASSERT_TRUE(fs::WriteFile(data_ / "21.mp3", "first"));
  ASSERT_TRUE(fs::WriteFile(data_ / "22.mp3", "second"));
  std::future<bool> other;
  std::atomic<bool> first{true};
  tags_.on_write = [&](const std::string& path) {
    if (!first.exchange(false)) return;
    ASSERT_EQ(path, m + "Artist/Album/Same.mp3");
    EXPECT_EQ(fs::ReadWholeFile(path), "first");
    EXPECT_EQ(library().FindMusic("21")->count("fileName"), 0u);
    other = std::async(std::launch::async,
                       [&] { return library().FileDownloadedMusic("22", data_ / "22.mp3"); });
    EXPECT_EQ(other.wait_for(20s), std::future_status::ready);
  };
  ASSERT_TRUE(library().FileDownloadedMusic("21", data_ / "21.mp3"));
  ASSERT_TRUE(other.valid());
  EXPECT_TRUE(other.get());
  EXPECT_EQ(library().FindMusic("21")->at("fileName"), "Artist/Album/Same.mp3");
  EXPECT_EQ(library().FindMusic("21")->at("status"), "2");
  EXPECT_EQ(library().FindMusic("22")->at("fileName"), "Artist/Album/Same-22.mp3");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Same.mp3"), "first");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Same-22.mp3"), "second");
  EXPECT_EQ(tags_.written.size(), 2u);
}

// What other threads change while a song's file is being filed holds afterwards: a song deleted
// meanwhile keeps no copy, and a music folder moved meanwhile leaves the record naming the copy
// where it is.
TEST_F(MusicLibraryTest, ChangesMadeWhileASongIsBeingFiledStand) {
  const std::string m = MusicFolder();
  std::future<void> done;
  auto meanwhile = [&](std::function<void()> change) {
    tags_.on_write = [&done, change](const std::string&) {
      done = std::async(std::launch::async, change);
      EXPECT_EQ(done.wait_for(20s), std::future_status::ready);
    };
  };
  library().AddMusic(Song("31", "Gone", "Artist", "Album"));
  ASSERT_TRUE(fs::WriteFile(data_ / "31.mp3", "audio"));
  meanwhile([&] { library().DeleteMusic("31"); });
  EXPECT_FALSE(library().FileDownloadedMusic("31", data_ / "31.mp3"));
  EXPECT_FALSE(library().HasMusic("31"));
  EXPECT_FALSE(fs::PathExists(m + "Artist/Album/Gone.mp3"));
  EXPECT_FALSE(fs::PathExists(m + "Artist/Album"));

  library().AddMusic(Song("32", "Kept", "Artist", "Album"));
  ASSERT_TRUE(fs::WriteFile(data_ / "32.mp3", "audio"));
  meanwhile([&] { library().RelocateFolder("music", data_ / "moved"); });
  ASSERT_TRUE(library().FileDownloadedMusic("32", data_ / "32.mp3"));
  const MusicRecord record = *library().FindMusic("32");
  EXPECT_EQ(record.at("fileName"), "file://" + m + "Artist/Album/Kept.mp3");
  EXPECT_EQ(library().MusicPath(record), m + "Artist/Album/Kept.mp3");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Kept.mp3"), "audio");
}

TEST_F(MusicLibraryTest, FilingFailsWhenTheMusicFolderCannotBeMade) {
  ASSERT_TRUE(fs::WriteFile(data_ / "blocker", "a file where the folder should be"));
  store().SetConfigText("sorvel.path.music", data_ / "blocker/music");
  library().AddMusic(Song("7", "T"));
  const std::string partial = data_ / "7.mp3";
  ASSERT_TRUE(fs::WriteFile(partial, "audio"));
  EXPECT_FALSE(library().FileDownloadedMusic("7", partial));
  EXPECT_EQ(library().FindMusic("7")->at("status"), "3");
  EXPECT_EQ(library().FindMusic("7")->count("fileName"), 0u);
  // Neither moved nor copied: the download is the only copy of the song and stays.
  EXPECT_EQ(fs::ReadWholeFile(partial), "audio");
}

TEST_F(MusicLibraryTest, SongsWithTheSameNamesAreFiledApartAndDeletedApart) {
  const std::string m = MusicFolder();
  library().AddMusic(Song("11", "Same", "Artist", "Album"));
  library().AddMusic(Song("12", "Same", "Artist", "Album"));
  library().AddMusic(Song("13", "Same", "Artist", "Album"));
  ASSERT_TRUE(fs::WriteFile(data_ / "11.mp3", "first"));
  ASSERT_TRUE(fs::WriteFile(data_ / "12.mp3", "second"));
  ASSERT_TRUE(library().FileDownloadedMusic("11", data_ / "11.mp3"));
  ASSERT_TRUE(library().FileDownloadedMusic("12", data_ / "12.mp3"));
  EXPECT_EQ(library().FindMusic("11")->at("fileName"), "Artist/Album/Same.mp3");
  EXPECT_EQ(library().FindMusic("12")->at("fileName"), "Artist/Album/Same-12.mp3");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Same.mp3"), "first");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Same-12.mp3"), "second");
  EXPECT_TRUE(library().FileNameInUse("Artist/Album/Same.mp3", "12"));
  EXPECT_FALSE(library().FileNameInUse("Artist/Album/Same.mp3", "11"));

  // Filing the same song again keeps its own name (a repeated download replaces its copy).
  ASSERT_TRUE(fs::WriteFile(data_ / "11.mp3", "first again"));
  ASSERT_TRUE(library().FileDownloadedMusic("11", data_ / "11.mp3"));
  EXPECT_EQ(library().FindMusic("11")->at("fileName"), "Artist/Album/Same.mp3");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Same.mp3"), "first again");

  // A song never downloaded, one filed apart, and the first: each deletion leaves the others'.
  library().DeleteMusic("13");
  library().DeleteMusic("12");
  EXPECT_FALSE(fs::FileExists(m + "Artist/Album/Same-12.mp3"));
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Same.mp3"), "first again");

  // Two records that already name one file (filed by an older version): the file stays until
  // the last of them goes.
  library().AddMusic(Song("14", "Same", "Artist", "Album"));
  library().SetMusicAttribute("14", "fileName", "Artist/Album/Same.mp3");
  ASSERT_TRUE(fs::WriteFile(m + "Artist/Album/Same.lrc", "lyric"));
  library().DeleteMusic("14");
  EXPECT_TRUE(fs::FileExists(m + "Artist/Album/Same.mp3"));
  EXPECT_TRUE(fs::FileExists(m + "Artist/Album/Same.lrc"));
  library().DeleteMusic("11");
  EXPECT_FALSE(fs::FileExists(m + "Artist/Album/Same.mp3"));
  EXPECT_FALSE(fs::FolderExists(m + "Artist"));

  // A copy filed without an extension has the very name a namesake not yet downloaded would
  // be deleted under.
  library().AddMusic(Song("15", "Bare", "Artist", "Album"));
  library().AddMusic(Song("16", "Bare", "Artist", "Album"));
  ASSERT_TRUE(fs::WriteFile(data_ / "15", "bare"));
  ASSERT_TRUE(library().FileDownloadedMusic("15", data_ / "15"));
  EXPECT_EQ(library().FindMusic("15")->at("fileName"), "Artist/Album/Bare");
  library().DeleteMusic("16");
  EXPECT_EQ(fs::ReadWholeFile(m + "Artist/Album/Bare"), "bare");
}

TEST_F(MusicLibraryTest, DeletingSongsRemovesFilesAndEmptiedFolders) {
  const std::string m = MusicFolder();
  AddStoredSong("1", "Artist", "AlbumA");
  AddStoredSong("2", "Artist", "AlbumB");
  ASSERT_TRUE(fs::WriteFile(m + "Artist/AlbumA/Song1.lrc", "lyric"));
  ASSERT_TRUE(fs::WriteFile(m + "Artist/AlbumA/album.jpg", "picture"));
  ASSERT_TRUE(fs::WriteFile(m + "Artist/artist.jpg", "picture"));

  library().DeleteMusic("1");
  EXPECT_FALSE(library().HasMusic("1"));
  EXPECT_FALSE(fs::FolderExists(m + "Artist/AlbumA"));  // the album's last song
  EXPECT_TRUE(fs::FileExists(m + "Artist/artist.jpg"));  // another album of the artist remains
  EXPECT_EQ(stopper_.stopped, std::vector<std::string>{"1"});
  EXPECT_EQ(listener_.removed, std::vector<std::string>{"1"});
  EXPECT_TRUE(lists().ListRecords("").size() == 1);

  library().DeleteMusic("2");
  EXPECT_FALSE(fs::FolderExists(m + "Artist"));
}

// The counts behind the folder and file rules are made on the first question after an open;
// they must see the songs read from the file, and follow every change after that.
TEST_F(MusicLibraryTest, NameCountsMadeAfterAReopenFollowLaterChanges) {
  const std::string m = MusicFolder();
  AddStoredSong("1", "Artist", "Album");
  AddStoredSong("2", "Artist", "Album");
  AddStoredSong("3", "Other", "Elsewhere");
  SaveNow();
  Reopen();

  // First question after the open: a deletion. The album keeps its other song.
  library().DeleteMusic("1");
  EXPECT_FALSE(fs::FileExists(m + "Artist/Album/Song1.mp3"));
  EXPECT_TRUE(fs::FileExists(m + "Artist/Album/Song2.mp3"));
  EXPECT_TRUE(library().FileNameInUse("Artist/Album/Song2.mp3", "1"));

  // Changes after the counts are made: a song added to the album, one moved out of it, a
  // file name taken over by another song.
  AddStoredSong("4", "Artist", "Album");
  library().SetMusicAttribute("3", "fileName", "Artist/Album/Song2.mp3");
  EXPECT_FALSE(library().FileNameInUse("Other/Elsewhere/Song3.mp3", "1"));
  EXPECT_TRUE(library().FileNameInUse("Artist/Album/Song2.mp3", "2"));
  library().SetMusicAttribute("3", "fileName", "Other/Elsewhere/Song3.mp3");
  EXPECT_FALSE(library().FileNameInUse("Artist/Album/Song2.mp3", "2"));

  library().DeleteMusic("2");
  EXPECT_TRUE(fs::FolderExists(m + "Artist/Album"));  // song 4 is still there
  library().DeleteMusic("4");
  EXPECT_FALSE(fs::FolderExists(m + "Artist"));
  EXPECT_TRUE(fs::FileExists(m + "Other/Elsewhere/Song3.mp3"));
}

TEST_F(MusicLibraryTest, DeletingNeverReachesOutsideTheMusicFolder) {
  const std::string outside = data_ / "precious.mp3";
  ASSERT_TRUE(fs::WriteFile(outside, "keep"));
  library().AddMusic({{"id", "9"}, {"name", "x"}, {"fileName", "../precious.mp3"}});
  library().DeleteMusic("9");
  EXPECT_FALSE(library().HasMusic("9"));
  EXPECT_TRUE(fs::FileExists(outside));

  // A local song's file is the user's: deleting the record leaves it.
  const std::string local = data_ / "mine.mp3";
  ASSERT_TRUE(fs::WriteFile(local, "audio"));
  auto id = library().AddLocalFile(local);
  ASSERT_TRUE(id);
  library().DeleteMusic(*id);
  EXPECT_FALSE(library().HasMusic(*id));
  EXPECT_TRUE(lists().ListRecords("local").empty());
  EXPECT_TRUE(fs::FileExists(local));
}

TEST_F(MusicLibraryTest, ASongAnotherUserHoldsStaysInTheLibrary) {
  lists().SetCurrentUser("alice");
  library().AddMusic(Song("42", "Shared"));
  lists().SetCurrentUser("bob");
  lists().SetPlaylistName("", "All");
  ASSERT_TRUE(lists().AddItem("", "42"));
  library().DeleteMusic("42");
  EXPECT_TRUE(library().HasMusic("42"));
  EXPECT_TRUE(lists().ListRecords("").empty());
  lists().SetCurrentUser("alice");
  EXPECT_EQ(Ids(lists().ListRecords("")), std::vector<std::string>{"42"});
}

TEST_F(MusicLibraryTest, LyricPathCandidates) {
  const std::string m = MusicFolder();
  MusicRecord stored = Song("1", "Title", "Artist");
  stored["fileName"] = "Artist/未知专辑/Title.mp3";
  LyricLocation none = library().LyricPath(stored, false);
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.path, m + "Artist/未知专辑/Title.mrc");
  fs::CreateFolders(m + "Artist/未知专辑");
  ASSERT_TRUE(fs::WriteFile(m + "Artist/未知专辑/Title.mrc", "k"));
  EXPECT_TRUE(library().LyricPath(stored, false).found);
  ASSERT_TRUE(fs::WriteFile(data_ / "own.lrc", "l"));
  stored["lyric_file"] = "file://" + data_ / "own.lrc";
  EXPECT_EQ(library().LyricPath(stored, false).path, data_ / "own.lrc");

  MusicRecord unstored = Song("2", "Other", "Singer");
  LyricLocation candidate = library().LyricPath(unstored, true);
  EXPECT_FALSE(candidate.found);
  EXPECT_EQ(candidate.path, m + "Singer/未知专辑/Other.mrc");
  EXPECT_TRUE(fs::FolderExists(m + "Singer/未知专辑"));
}

TEST_F(MusicLibraryTest, CompleteFileNamesAndMusicPath) {
  library().AddMusic({{"id", "1"}, {"name", "a"}, {"fileName", "A/B/a.mp3"}});
  MusicRecord from_chart = library().CompleteFileNames({{"id", "1"}, {"fileName", "wrong"}, {"lyric_file", "x"}});
  EXPECT_EQ(from_chart.at("fileName"), "A/B/a.mp3");
  EXPECT_EQ(from_chart.count("lyric_file"), 0u);
  MusicRecord cached = library().CompleteFileNames({{"id", "77"}});
  EXPECT_EQ(cached.at("fileName"), "file:///cache/77.mp3");
  EXPECT_EQ(cached.count("lyric_file"), 0u);
  EXPECT_EQ(library().MusicPath({{"fileName", "file:///x/y.mp3"}}), "/x/y.mp3");
  EXPECT_EQ(library().MusicPath({{"fileName", "A/a.mp3"}}), MusicFolder() + "A/a.mp3");
  EXPECT_FALSE(library().MusicPath({{"id", "3"}}));
}

TEST_F(MusicLibraryTest, AddLocalFile) {
  const std::string path = data_ / "Dir/My Song.MP3";
  fs::CreateFolders(data_ / "Dir");
  ASSERT_TRUE(fs::WriteFile(path, "audio"));
  tags_.tags[path] = {"  Tagged  ", " Singer ", ""};
  auto id = library().AddLocalFile(path);
  ASSERT_TRUE(id);
  auto record = library().FindMusic(*id);
  EXPECT_EQ(record->at("name"), "Tagged");
  EXPECT_EQ(record->at("artist_name"), "Singer");
  EXPECT_EQ(record->at("fileName"), "file://" + path);
  // The same path in other letter case is the same song; only the list changes.
  lists().RemoveItem("local", *id);
  EXPECT_FALSE(library().HasMusic(*id));
  ASSERT_TRUE(library().AddLocalFile(path));
  auto again = library().AddLocalFile(data_ / "dir/my song.mp3");
  EXPECT_EQ(again, id);
  EXPECT_EQ(library().Count(), 1u);
  EXPECT_EQ(lists().ListRecords("local").size(), 1u);

  ASSERT_TRUE(fs::WriteFile(data_ / "Untagged.wma", "audio"));
  EXPECT_EQ(library().FindMusic(*library().AddLocalFile(data_ / "Untagged.wma"))->at("name"), "Untagged");
  ASSERT_TRUE(fs::WriteFile(data_ / "notes.txt", "text"));
  SaveNow();
  EXPECT_FALSE(library().AddLocalFile(data_ / "notes.txt"));
  EXPECT_FALSE(library().AddLocalFile(data_ / "absent.mp3"));
  EXPECT_FALSE(store().IsDirty());
}

TEST_F(MusicLibraryTest, RelocateFolderPinsOldFilesToTheirPlace) {
  const std::string old_music = MusicFolder();
  library().AddMusic({{"id", "1"}, {"fileName", "A/B/a.mp3"}, {"lyric_file", "a.lrc"}});
  library().AddMusic({{"id", "2"}, {"fileName", "file:///abs/b.mp3"}});
  SaveNow();
  library().RelocateFolder("music", old_music);
  EXPECT_FALSE(store().IsDirty());
  library().RelocateFolder("music", "/new/music/");
  EXPECT_EQ(library().FindMusic("1")->at("fileName"), "file://" + old_music + "A/B/a.mp3");
  EXPECT_EQ(library().FindMusic("1")->at("lyric_file"), "a.lrc");
  EXPECT_EQ(library().FindMusic("2")->at("fileName"), "file:///abs/b.mp3");
  EXPECT_EQ(store().FolderPath("music"), "/new/music/");
  Reopen();
  EXPECT_EQ(library().FindMusic("1")->at("fileName"), "file://" + old_music + "A/B/a.mp3");
}

TEST_F(MusicLibraryTest, ArtistAndAlbumGroupsOfTheDefaultList) {
  library().AddMusic(Song("1", "a", " 周杰伦 ", "叶惠美"));
  library().AddMusic(Song("2", "b", "周杰伦", "范特西"));
  library().AddMusic(Song("3", "c", "Beyond", "叶惠美"));
  library().AddMusic(Song("4", "d", "", ""));
  library().AddMusic(Song("ex-5", "local", "周杰伦", "x"));  // not in the default list
  EXPECT_EQ(library().ArtistCounts(),
            (std::vector<std::pair<std::string, int>>{{"Beyond", 1}, {"周杰伦", 2}}));
  EXPECT_EQ(library().AlbumCounts(),
            (std::vector<std::pair<std::string, int>>{{"叶惠美", 2}, {"范特西", 1}}));
  EXPECT_EQ(Ids(library().MusicByArtist("周杰伦")), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Ids(library().MusicByAlbum("叶惠美")), (std::vector<std::string>{"1", "3"}));
}

}  // namespace
}  // namespace quillo::store
