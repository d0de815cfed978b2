// The download manager's scheduling, filing, companion fetches and stopping, over the real safe
// downloader with scripted answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "DownloadManagerFixture.h"
#include "store/ConfigKeys.h"

namespace quillo::testing {
namespace {

using downloads::DownloadManager;

class DownloadManagerTest : public DownloadManagerFixture {};

TEST_F(DownloadManagerTest, TwoOfFiveRunAndTheThirdStartsWhenOneEnds) {
  std::vector<std::shared_ptr<std::atomic<std::size_t>>> gates;
  for (const char* id : {"1", "2", "3", "4", "5"}) {
    AddSong(id, std::string("Song ") + id, "", "");
    gates.push_back(Hold(id));
  }
  manager_->Start();
  manager_->Schedule();
  EXPECT_EQ(RunningSongs(), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(Status("1"), "1");
  EXPECT_EQ(Status("3"), "0");
  // A tick while both run starts nothing more.
  manager_->Schedule();
  EXPECT_EQ(manager_->active_count(), 2u);

  gates[0]->store(kSongBytes);  // song 1 arrives whole
  ASSERT_TRUE(Pump([&] { return Status("1") == "2"; }));
  // Its lyric (not found) ends at once; then the freed slot goes to song 3, in list order.
  ASSERT_TRUE(Pump([&] { return RunningSongs() == std::vector<std::string>{"2", "3"}; }));
  EXPECT_EQ(Status("3"), "1");
  EXPECT_EQ(Status("4"), "0");
  // Each runs on its own worker: the service may hear of them in any order (song 2's worker
  // can be slower to ask than song 3's), but each is asked for once.
  ASSERT_TRUE(Pump([&] { return SongRequests().size() == 3; }));
  std::vector<std::string> asked = SongRequests();
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<std::string>{"1", "2", "3"}));

  for (auto& gate : gates) gate->store(kSongBytes);
  ASSERT_TRUE(Pump([&] { return manager_->active_count() == 0 && Status("5") == "2"; }));
  for (const char* id : {"1", "2", "3", "4", "5"}) EXPECT_EQ(Status(id), "2") << id;
  // Each song was asked for exactly once.
  asked = SongRequests();
  std::sort(asked.begin(), asked.end());
  EXPECT_EQ(asked, (std::vector<std::string>{"1", "2", "3", "4", "5"}));
}

TEST_F(DownloadManagerTest, TheTimerPicksUpSongsThatBecomeWaiting) {
  manager_->Start();
  AddSong("7", "Late", "", "");
  // Nobody calls Schedule: the one-second timer does.
  ASSERT_TRUE(Pump([&] { return Status("7") == "2"; }));
  EXPECT_EQ(RequestsContaining("download.php?id=7&type=download&client_id="), 1);
}

TEST_F(DownloadManagerTest, TheMaximumComesFromTheConfiguration) {
  store().SetConfigText(store::keys::kMaxDownloadThread, "3");
  for (const char* id : {"1", "2", "3", "4"}) {
    AddSong(id, id, "", "");
    Hold(id);
  }
  manager_->Schedule();
  EXPECT_EQ(RunningSongs(), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(DownloadManagerTest, CompanionsCountTowardTheMaximum) {
  lyrics_found_ = true;
  AddSong("1", "First", "Singer", "Record");
  AddSong("2", "Second", "Singer", "Record");
  AddSong("3", "Third", "Singer", "Record");
  auto second = Hold("2");
  auto third = Hold("3");
  companion_gate_->store(0);  // pictures and lyrics hang until released
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] { return Status("1") == "2"; }));
  // Song 1 is filed; its album picture, artist picture and lyric run beside song 2.
  ASSERT_TRUE(Pump([&] { return manager_->active_count() == 4u; }));
  manager_->Schedule();
  loop_.PumpPending();
  EXPECT_EQ(Status("3"), "0");
  EXPECT_EQ(RunningSongs(), std::vector<std::string>{"2"});

  companion_gate_->store(1 << 20);
  ASSERT_TRUE(Pump([&] { return Status("3") == "1"; }));
  second->store(kSongBytes);
  third->store(kSongBytes);
  ASSERT_TRUE(Pump([&] { return manager_->active_count() == 0 && Status("3") == "2"; }));

  const std::string album = MusicFolder() + "Singer/Record/";
  EXPECT_EQ(fs::ReadWholeFile(album + "album.png"), PngBody());
  EXPECT_EQ(fs::ReadWholeFile(MusicFolder() + "Singer/artist.png"), PngBody());
  // The LRC answer is stored as ".lrc" beside each song.
  EXPECT_EQ(fs::ReadWholeFile(album + "First.lrc"), "[00:01.00]1\n");
  EXPECT_EQ(fs::ReadWholeFile(album + "Third.lrc"), "[00:01.00]3\n");
  // One picture per album and per artist, one lyric per song.
  EXPECT_EQ(RequestsContaining("type=musicalbum"), 1);
  EXPECT_EQ(RequestsContaining("type=artist"), 1);
  EXPECT_EQ(RequestsContaining("download_lyric.php"), 3);
  ASSERT_EQ(listener_.artists.size(), 1u);
  EXPECT_EQ(listener_.artists[0],
            std::make_pair(std::string("aSinger"), MusicFolder() + "Singer/artist.png"));
  EXPECT_EQ(listener_.lyrics.size(), 3u);
  EXPECT_TRUE(fs::ListFolder(DownloadFolder()).empty());
}

TEST_F(DownloadManagerTest, FiledSongsGetTheirExtensionFromTheirBytesAndTheirTags) {
  std::string wma(kSongBytes, 'w');
  const unsigned char asf[] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                               0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
  std::copy(std::begin(asf), std::end(asf), wma.begin());
  AddSong("1", "Mp3 Song");
  AddSong("2", "Wma Song", "Artist", "Album", {wma});
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] { return Status("1") == "2" && Status("2") == "2"; }));
  EXPECT_EQ(library().FindMusic("1")->at("fileName"), "Artist/Album/Mp3 Song.mp3");
  EXPECT_EQ(library().FindMusic("2")->at("fileName"), "Artist/Album/Wma Song.wma");
  EXPECT_EQ(fs::ReadWholeFile(MusicFolder() + "Artist/Album/Mp3 Song.mp3"), SongBody("1"));
  EXPECT_EQ(tags_.written.size(), 2u);
}

// An MP3 stream of whole frames (MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417 bytes each).
std::string FrameStream(std::size_t frames) {
  std::string frame = std::string("\xFF\xFB\x90\x00", 4) + std::string(413, 'f');
  std::string body = std::string("ID3\x03\x00\x00\x00\x00\x00\x00", 10);
  for (std::size_t i = 0; i < frames; ++i) body += frame;
  return body;
}

// Without a Content-Length the minimum is checked against what arrived, and a song cut short
// (here inside its last frame, as a dropped connection leaves it) is not filed.
TEST_F(DownloadManagerTest, SongsWithoutALengthAreFiledOnlyWhenWholeAndLargeEnough) {
  SongScript whole(FrameStream(1500));  // 625510 bytes
  whole.announces_length = false;
  SongScript cut(FrameStream(1500).substr(0, 600000));
  cut.announces_length = false;
  SongScript small(FrameStream(100));  // below the 512000-byte minimum
  small.announces_length = false;
  AddSong("1", "Whole", "Artist", "Album", whole);
  AddSong("2", "Cut", "Artist", "Album", cut);
  AddSong("3", "Small", "Artist", "Album", small);
  manager_->Start();
  ASSERT_TRUE(Pump([&] { return Status("1") == "2" && Status("2") == "3" && Status("3") == "3"; }))
      << Status("1") << Status("2") << Status("3");
  EXPECT_EQ(library().FindMusic("1")->at("fileName"), "Artist/Album/Whole.mp3");
  EXPECT_EQ(fs::ReadWholeFile(MusicFolder() + "Artist/Album/Whole.mp3"), FrameStream(1500));
  EXPECT_EQ(library().FindMusic("2")->count("fileName"), 0u);
  EXPECT_FALSE(fs::PathExists(MusicFolder() + "Artist/Album/Cut.mp3"));
  // The filed song's companions (picture, lyric) pass through the same folder.
  ASSERT_TRUE(Pump([&] { return manager_->active_count() == 0; }));
  EXPECT_TRUE(fs::ListFolder(DownloadFolder()).empty()) << "no partial file stays behind";
}

// What interrupted atomic writes of an earlier run left is swept away at start; a temporary
// of a write that may still be going on (young) and files merely named alike stay.
TEST_F(DownloadManagerTest, StartSweepsLeftoversOfInterruptedWrites) {
  const std::string album = MusicFolder() + "Artist/Album/";
  ASSERT_TRUE(fs::CreateFolders(album));
  const std::string stale = album + ".Song.mp3.tmp-a1b2c3d4";
  const std::string young = album + ".Other.mp3.tmp-zz99zz99";
  const std::string data_stale = data_.path() + "/.cookies.txt.tmp-00000000";
  const std::string alike = album + "Song.mp3.tmp-a1b2c3d4";  // not hidden: not ours
  for (const std::string& path : {stale, young, data_stale, alike}) {
    ASSERT_TRUE(fs::WriteFile(path, "x"));
  }
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  for (const std::string& path : {stale, data_stale, alike}) {
    std::filesystem::last_write_time(path, old);
  }
  manager_->Start();
  std::vector<std::string> swept = manager_->WaitForSweep();
  std::sort(swept.begin(), swept.end());
  std::vector<std::string> expected = {stale, fs::WithTrailingSlash(data_.path()) +
                                                  ".cookies.txt.tmp-00000000"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(swept, expected);
  EXPECT_FALSE(fs::PathExists(stale));
  EXPECT_TRUE(fs::PathExists(young));
  EXPECT_TRUE(fs::PathExists(alike));
}

TEST_F(DownloadManagerTest, LegacyNameShortcut) {
  const std::string legacy = "Artist/1-Old Song.mp3";
  ASSERT_TRUE(fs::CreateFolders(MusicFolder() + "Artist"));
  ASSERT_TRUE(fs::WriteFile(MusicFolder() + legacy, SongBody("1")));
  AddSong("1", "Old Song");
  Hold("1");
  // Same name pattern, but another song already counts the file as its copy.
  AddSong("2", "Taken");
  ASSERT_TRUE(fs::WriteFile(MusicFolder() + "Artist/2-Taken.mp3", SongBody("2")));
  library().AddMusic(
      {{"id", "9"}, {"name", "Owner"}, {"status", "2"}, {"fileName", "Artist/2-Taken.mp3"}});
  auto second = Hold("2");

  manager_->Schedule();
  ASSERT_TRUE(Pump([&] { return Status("1") == "2"; }));
  EXPECT_EQ(library().FindMusic("1")->at("fileName"), legacy);
  EXPECT_EQ(fs::ReadWholeFile(MusicFolder() + legacy), SongBody("1"));
  // Its transfer was cancelled before the body: only song 2 runs, and no body byte was read.
  ASSERT_TRUE(Pump([&] { return RunningSongs() == std::vector<std::string>{"2"}; }));
  EXPECT_EQ(client_->reads(), 0);
  EXPECT_EQ(Status("2"), "1");
  second->store(kSongBytes);
  ASSERT_TRUE(Pump([&] { return Status("2") == "2"; }));
  EXPECT_EQ(library().FindMusic("2")->at("fileName"), "Artist/Album/Taken.mp3");
  EXPECT_EQ(library().FindMusic("9")->at("fileName"), "Artist/2-Taken.mp3");
}

TEST_F(DownloadManagerTest, LegacyFileOfAnotherSizeIsDownloadedAgain) {
  ASSERT_TRUE(fs::CreateFolders(MusicFolder() + "Artist"));
  ASSERT_TRUE(fs::WriteFile(MusicFolder() + "Artist/1-Old Song.mp3", "short"));
  AddSong("1", "Old Song");
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] { return Status("1") == "2"; }));
  EXPECT_EQ(library().FindMusic("1")->at("fileName"), "Artist/Album/Old Song.mp3");
}

TEST_F(DownloadManagerTest, StoppingARunningSongReturnsItToWaitingWithoutItsPartialFile) {
  AddSong("1", "Stopped");
  auto gate = Hold("1", 100000);
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] {
    const auto* entry = manager_->entries().empty() ? nullptr : &manager_->entries().front();
    return entry && entry->received_bytes == 100000;
  }));
  const std::string partial = DownloadFolder() + "music-1.part";
  EXPECT_TRUE(fs::FileExists(partial));
  EXPECT_EQ(manager_->FindEntry(manager_->entries().front().transfer_id)->item_id, "1");

  manager_->StopSong(downloads::DownloadKind::kSong, "1");
  library().SetPaused("1", true);  // as the download window does
  EXPECT_EQ(Status("1"), "0");
  EXPECT_FALSE(fs::FileExists(partial));
  EXPECT_EQ(manager_->active_count(), 0u);
  gate->store(kSongBytes);
  manager_->Schedule();
  loop_.PumpPending();
  EXPECT_EQ(manager_->active_count(), 0u);  // paused songs are not handed out
}

TEST_F(DownloadManagerTest, DeletingADownloadingSongStopsItsTransfer) {
  AddSong("1", "Deleted");
  Hold("1", 50000);
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] {
    return !manager_->entries().empty() && manager_->entries().front().received_bytes == 50000;
  }));
  ASSERT_TRUE(fs::FileExists(DownloadFolder() + "music-1.part"));
  library().DeleteMusic("1");
  EXPECT_FALSE(library().HasMusic("1"));
  EXPECT_EQ(manager_->active_count(), 0u);
  EXPECT_FALSE(fs::FileExists(DownloadFolder() + "music-1.part"));
}

TEST_F(DownloadManagerTest, FailuresAreMarkedUnlessThePausedSongWaitsAgain) {
  struct Case {
    bool paused;
    const char* status;
  };
  for (const Case& c : {Case{false, "3"}, Case{true, "0"}}) {
    SCOPED_TRACE(c.paused);
    const std::string id = c.paused ? "21" : "22";
    AddSong(id, "Broken " + id, "", "", {SongBody(id), 500});
    library().SetPaused(id, c.paused);
    // The window's "start now" (which in the program clears the flag; here it stays set to
    // model a song paused while it ran).
    ASSERT_TRUE(manager_->StartSong(downloads::DownloadKind::kSong, id));
    ASSERT_TRUE(Pump([&] { return manager_->active_count() == 0; }));
    EXPECT_EQ(Status(id), c.status);
    EXPECT_EQ(library().IsPaused(id), c.paused);
    EXPECT_FALSE(fs::FileExists(DownloadFolder() + "music-" + id + ".part"));
  }
  // Too small a file is a failure too (the service's error page, say).
  AddSong("23", "Tiny", "", "", {std::string(300, 'x')});
  manager_->Schedule();
  ASSERT_TRUE(Pump([&] { return Status("23") == "3"; }));
  manager_->Schedule();
  loop_.PumpPending();
  EXPECT_EQ(manager_->active_count(), 0u);  // failed songs are not retried by the scheduler
}

TEST_F(DownloadManagerTest, StartSongTwiceRunsOneTransferAndIsNotHandedOutAgain) {
  AddSong("1", "Once");
  Hold("1");
  ASSERT_TRUE(manager_->StartSong(downloads::DownloadKind::kSong, "1"));
  ASSERT_TRUE(manager_->StartSong(downloads::DownloadKind::kSong, "1"));
  manager_->Schedule();
  EXPECT_EQ(RunningSongs(), std::vector<std::string>{"1"});
  EXPECT_EQ(Status("1"), "1");
}

TEST_F(DownloadManagerTest, QueuedLyricsReachTheListenerOnceAndOnlyWhenMissing) {
  lyrics_found_ = true;
  AddSong("1", "Sung");
  EXPECT_TRUE(manager_->QueueLyric("1"));
  EXPECT_FALSE(manager_->QueueLyric("1"));  // already queued
  ASSERT_TRUE(Pump([&] { return listener_.lyrics.size() == 1; }));
  const std::string lyric = MusicFolder() + "Artist/Album/Sung.lrc";
  EXPECT_EQ(listener_.lyrics[0].second, lyric);
  EXPECT_EQ(fs::ReadWholeFile(lyric), "[00:01.00]1\n");
  EXPECT_FALSE(manager_->QueueLyric("1"));  // the file is there now

  lyrics_found_ = false;
  AddSong("2", "Silent");
  EXPECT_TRUE(manager_->QueueLyric("2"));
  ASSERT_TRUE(Pump([&] { return listener_.lyrics.size() == 2; }));
  EXPECT_EQ(listener_.lyrics[1], std::make_pair(std::string("2"), std::optional<std::string>()));
  EXPECT_FALSE(manager_->QueueLyric("404"));  // not in the library
}

TEST_F(DownloadManagerTest, ArtistPicturesOnDemandAndSongsWithoutArtist) {
  EXPECT_TRUE(manager_->FetchArtistPicture("a1", "Named"));
  EXPECT_FALSE(manager_->FetchArtistPicture("a1", "Named"));  // running
  ASSERT_TRUE(Pump([&] { return listener_.artists.size() == 1; }));
  EXPECT_TRUE(fs::FileExists(MusicFolder() + "Named/artist.png"));
  EXPECT_FALSE(manager_->FetchArtistPicture("a1", "Named"));  // there
  EXPECT_FALSE(manager_->FetchArtistPicture("a2", "  "));
  AddSong("5", "Nobody's", "", "");
  EXPECT_FALSE(manager_->FetchArtistPictureForSong("5"));
  EXPECT_FALSE(manager_->FetchAlbumPicture("5"));  // not stored yet
}

TEST_F(DownloadManagerTest, NothingStartsWithoutTheServiceAddressAndCancelAllForgetsEverything) {
  AddSong("1", "One");
  AddSong("2", "Two");
  Hold("1");
  Hold("2");
  endpoints_.Set({});
  manager_->Schedule();
  EXPECT_EQ(manager_->active_count(), 0u);
  EXPECT_EQ(Status("1"), "0");
  endpoints_.Set(service::EndpointsForBaseUrl("http://127.0.0.1:9/"));
  manager_->Schedule();
  ASSERT_EQ(manager_->active_count(), 2u);
  const std::string first = manager_->entries().front().transfer_id;
  manager_->CancelAll();
  EXPECT_EQ(manager_->active_count(), 0u);
  EXPECT_EQ(manager_->FindEntry(first), nullptr);
  EXPECT_EQ(downloader_->Find(first), nullptr);
}

}  // namespace
}  // namespace quillo::testing
