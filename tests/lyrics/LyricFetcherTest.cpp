// The song-start rules of LyricFetcher over a real store, with transfers the test ends itself.
#include "lyrics/LyricFetcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "LyricFetchTestSupport.h"
#include "LyricTestSupport.h"
#include "fakes/FakeLyricTransfers.h"
#include "fakes/FakePlayer.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricDownloadQueue.h"
#include "lyrics/LyricFileNames.h"
#include "platform/fs/FileSystem.h"
#include "platform/text/TextCodec.h"
#include "service/api/ServiceEndpoints.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::lyrics {
namespace {

using quillo::testing::FakeLyricTransfers;
using quillo::testing::TempFolder;
using testing::CountingPrompt;
using testing::CurrentSongPlayer;
using testing::RecordingCache;

constexpr const char* kBase = "http://127.0.0.1:9/";
constexpr const char* kLyric = "[00:01.00]line one\n[00:02.00]line two\n";

class FakeDownloadQueue : public LyricDownloadQueue {
 public:
  bool QueueLyric(const std::string& music_id) override {
    asked.push_back(music_id);
    return answer;
  }
  std::vector<std::string> asked;
  bool answer = true;
};

class LyricFetcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(/*start_saver=*/false));
    analyzer_.SetFetchParts({&transfers_, &cache_, nullptr, &runtime_.store(), nullptr});
    fetcher_ = std::make_unique<LyricFetcher>(LyricFetcher::Parts{
        analyzer_, runtime_.store(), runtime_.library(), player_, prompt_,
        service::ServiceFileUrls(service::EndpointsForBaseUrl(kBase), "client"), &queue_,
        [this] { ++views_reset_; }, [this](bool reattach) { views_cleared_.push_back(reattach); }});
  }
  void TearDown() override {
    fetcher_.reset();
    runtime_.Close();
  }

  // A library song whose file is written into the test folder, with a lyric beside it when
  // `lyric_name` is given.
  store::MusicRecord SongWithFile(const std::string& id, const std::string& file_name,
                                  const char* lyric_name) {
    const std::string path = files_ / file_name;
    EXPECT_TRUE(fs::WriteFile(path, "audio"));
    if (lyric_name != nullptr) {
      EXPECT_TRUE(fs::WriteFile(files_ / lyric_name, kLyric));
    }
    store::MusicRecord record{
        {"id", id}, {"name", "歌 名"}, {"artist_name", "A&B"}, {"fileName", "file://" + path}};
    runtime_.library().AddMusic(record);
    return record;
  }
  void Start(const store::MusicRecord& record, const std::string& list_id,
             const std::string& song_path = {}) {
    fetcher_->StartLyrics({record, "title", song_path, list_id});
  }
  std::string CacheFolder() { return runtime_.store().FolderPath(".cache"); }

  TempFolder files_;
  TempFolder data_;
  store::StoreRuntime runtime_{data_.path()};
  FakeLyricTransfers transfers_;
  RecordingCache cache_;
  CurrentSongPlayer info_;
  LyricAnalyzer analyzer_{&info_};
  quillo::testing::FakePlayer player_;
  CountingPrompt prompt_{false};
  FakeDownloadQueue queue_;
  int views_reset_ = 0;
  std::vector<bool> views_cleared_;
  std::unique_ptr<LyricFetcher> fetcher_;
};

TEST_F(LyricFetcherTest, ServiceSongWithItsLyricBesideItAsksForTheCheckedCopy) {
  const store::MusicRecord song = SongWithFile("101", "song.mp3", "song.lrc");
  Start(song, "", files_ / "song.mp3");
  EXPECT_EQ(analyzer_.GetState(), 0);
  EXPECT_EQ(analyzer_.document().music_id, "101");
  ASSERT_EQ(transfers_.started.size(), 1u);
  EXPECT_EQ(transfers_.started[0].url,
            std::string(kBase) + "music/download_lyric.php?id=101&type=lrc&checked=1");
  EXPECT_EQ(transfers_.started[0].target_path, files_ / "song.lrc.tmp");
  EXPECT_EQ(analyzer_.refresh_music_id(), "101");
}

TEST_F(LyricFetcherTest, CheckedCopyRuleByListAndPlace) {
  struct Case {
    const char* name;
    const char* id;
    const char* list;
    bool lyric_in_lyric_folder;   // "lyric_file" names a file elsewhere
    const char* lyric_file_case;  // "lyric_file" with another case of the song's own name
    bool refresh;
  };
  const Case kCases[] = {
      {"ordinary list", "201", "ABCDEF0123456789ABCDEF0123456789", false, nullptr, true},
      {"temporary list", "202", "t_latest", false, nullptr, true},
      {"device list", "203", "d_card_1", false, nullptr, false},
      {"local song", "ex-204", "", false, nullptr, false},
      {"lyric kept in the lyric folder", "205", "", true, nullptr, false},
      {"same path in another case", "206", "", false, "SONG5.LRC", true},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    transfers_.started.clear();
    const std::string base = "song" + std::to_string(&c - kCases);
    store::MusicRecord song =
        SongWithFile(c.id, base + ".mp3", c.lyric_file_case ? nullptr : (base + ".lrc").c_str());
    if (c.lyric_in_lyric_folder) {
      const std::string lyric_folder = runtime_.store().FolderPath("lyric");
      ASSERT_TRUE(fs::CreateFolders(lyric_folder));
      ASSERT_TRUE(fs::WriteFile(lyric_folder + "kept.lrc", kLyric));
      song["lyric_file"] = "kept.lrc";
    }
    if (c.lyric_file_case) {
      ASSERT_TRUE(fs::WriteFile(files_ / c.lyric_file_case, kLyric));
      song["lyric_file"] = "file://" + (files_ / c.lyric_file_case);
    }
    Start(song, c.list, files_ / (base + ".mp3"));
    EXPECT_EQ(analyzer_.GetState(), 0);
    EXPECT_EQ(transfers_.started.size(), c.refresh ? 1u : 0u);
  }
}

TEST_F(LyricFetcherTest, MissingLyricIsFetchedAsTheListAndSongSay) {
  // Temporary list: by id into the cache folder (created), entered into the cache on arrival.
  Start({{"id", "301"}, {"name", "n"}}, "t_chart1");
  ASSERT_EQ(transfers_.started.size(), 1u);
  EXPECT_EQ(transfers_.started[0].url,
            std::string(kBase) + "music/download_lyric.php?id=301&type=lrc");
  EXPECT_EQ(transfers_.started[0].target_path, CacheFolder() + "301.lrc.part");
  EXPECT_TRUE(fs::FolderExists(CacheFolder()));
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);
  ASSERT_TRUE(fs::WriteFile(transfers_.started[0].target_path, kLyric));
  analyzer_.OnTransferEnded(transfers_.started[0].id, true, transfers_.started[0].target_path);
  EXPECT_EQ(analyzer_.GetState(), 0);
  ASSERT_EQ(cache_.entries.size(), 1u);
  EXPECT_EQ(cache_.entries[0], std::make_pair(std::string("301"), CacheFolder() + "301.lrc"));

  // Device list: nothing at all.
  transfers_.started.clear();
  Start({{"id", "302"}, {"name", "n"}}, "d_card_1");
  EXPECT_TRUE(transfers_.started.empty());
  EXPECT_TRUE(queue_.asked.empty());
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);

  // Local song: by its display name, saved beside its file.
  const store::MusicRecord local = SongWithFile("ex-303", "local.mp3", nullptr);
  Start(local, "", files_ / "local.mp3");
  ASSERT_EQ(transfers_.started.size(), 1u);
  EXPECT_EQ(
      transfers_.started[0].url,
      std::string(kBase) + "music/download_lyric.php?name=%E6%AD%8C+%E5%90%8D+%2D+A%26B&type=lrc");
  EXPECT_EQ(transfers_.started[0].target_path, files_ / "local.lrc.part");
  EXPECT_EQ(analyzer_.document().music_id, "ex-303");

  // Service song in an ordinary list: the download manager, state 3 only when it queued.
  transfers_.started.clear();
  Start({{"id", "304"}, {"name", "n"}}, "");
  EXPECT_EQ(queue_.asked, std::vector<std::string>{"304"});
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);
  EXPECT_EQ(analyzer_.document().music_id, "304");
  queue_.answer = false;
  Start({{"id", "305"}, {"name", "n"}}, "");
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);
  EXPECT_TRUE(transfers_.started.empty());
}

TEST_F(LyricFetcherTest, APhoneSongsLyricIsReadFromBesideItOnThePhoneInGbk) {
  // The phone's song names a relative file; the library's music folder holds a lyric under the
  // same name, which belongs to another song and must not be shown.
  const std::string music = runtime_.store().FolderPath("music");
  ASSERT_TRUE(fs::CreateFolders(music + "歌手/专辑/"));
  ASSERT_TRUE(fs::WriteFile(music + "歌手/专辑/歌.lrc", "[00:01.00]library lyric\n"));
  const std::string phone = files_ / "card/我的音乐/歌手/专辑/";
  ASSERT_TRUE(fs::CreateFolders(phone));
  ASSERT_TRUE(fs::WriteFile(phone + "歌.mp3", "audio"));
  ASSERT_TRUE(fs::WriteFile(phone + "歌.lrc", text::Utf8ToGbk("[00:01.00]你好世界\n[00:03.00]第二行\n")));
  const store::MusicRecord song{{"id", "d_card_ex-1"}, {"name", "歌"}, {"fileName", "歌手/专辑/歌.mp3"}};

  for (const char* list : {"d_card_", "d_card_1"}) {
    SCOPED_TRACE(list);
    Start(song, list, phone + "歌.mp3");
    ASSERT_EQ(analyzer_.GetState(), 0);
    EXPECT_EQ(analyzer_.document().file_path, phone + "歌.lrc");
    ASSERT_EQ(analyzer_.document().timeline.lines().size(), 2u);
    EXPECT_EQ(analyzer_.document().timeline.lines()[0].text, "你好世界");
    EXPECT_EQ(analyzer_.document().timeline.lines()[1].text, "第二行");
    EXPECT_TRUE(transfers_.started.empty()) << "no checked copy for a phone's song";
  }

  // Without a lyric beside it nothing is fetched, whatever the library holds under its name.
  ASSERT_TRUE(fs::RemoveFile(phone + "歌.lrc"));
  Start(song, "d_card_1", phone + "歌.mp3");
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);
  EXPECT_TRUE(transfers_.started.empty());
  EXPECT_TRUE(queue_.asked.empty());
}

TEST_F(LyricFetcherTest, AnUnloadableLyricFileCountsAsMissing) {
  const store::MusicRecord song = SongWithFile("ex-401", "bad.mp3", nullptr);
  ASSERT_TRUE(fs::WriteFile(files_ / "bad.lrc", "no time tags at all"));
  Start(song, "", files_ / "bad.mp3");
  ASSERT_EQ(transfers_.started.size(), 1u);
  EXPECT_EQ(transfers_.started[0].target_path, files_ / "bad.lrc.part");
  // A transfer that breaks off deletes its partial file; the user's file is not that file.
  analyzer_.OnTransferEnded(transfers_.started[0].id, false, transfers_.started[0].target_path);
  EXPECT_EQ(fs::ReadWholeFile(files_ / "bad.lrc"), "no time tags at all");
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloadFailed);
}

TEST_F(LyricFetcherTest, IdsFromTheServiceCannotLeaveTheCacheFolder) {
  for (const char* id : {"../../escape", "..", "a/b"}) {
    SCOPED_TRACE(id);
    transfers_.started.clear();
    Start({{"id", id}, {"name", "n"}}, "t_chart1");
    ASSERT_EQ(transfers_.started.size(), 1u);
    EXPECT_EQ(fs::ParentFolder(transfers_.started[0].target_path), CacheFolder());
  }
}

TEST_F(LyricFetcherTest, ALateCheckedCopyOfThePreviousSongIsNotShown) {
  const store::MusicRecord song = SongWithFile("501", "s501.mp3", "s501.lrc");
  Start(song, "", files_ / "s501.mp3");
  ASSERT_EQ(transfers_.started.size(), 1u);
  const FakeLyricTransfers::Started refresh = transfers_.started[0];
  Start({{"id", "502"}, {"name", "n"}}, "d_card_1");  // nothing found, nothing fetched
  ASSERT_TRUE(fs::WriteFile(refresh.target_path, "[00:03.00]checked\n"));
  analyzer_.OnTransferEnded(refresh.id, true, refresh.target_path);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);
  EXPECT_EQ(*fs::ReadWholeFile(files_ / "s501.lrc"), "[00:03.00]checked\n");
}

TEST_F(LyricFetcherTest, SavingAndResettingAtStartStopAndEnd) {
  const store::MusicRecord song = SongWithFile("ex-601", "s.mp3", "s.lrc");
  auto modify = [&] {
    ASSERT_EQ(analyzer_.LoadLyric(files_ / "s.lrc", "ex-601"), 0);
    ASSERT_TRUE(analyzer_.AdjustTiming(100, 3, std::nullopt));
  };
  fetcher_->ResetLyricViews();
  EXPECT_EQ(views_reset_, 1);

  modify();
  Start(song, "", files_ / "s.mp3");
  EXPECT_EQ(prompt_.questions.size(), 1u);
  EXPECT_EQ(analyzer_.GetState(), 0);
  EXPECT_FALSE(analyzer_.document().modified);

  modify();
  fetcher_->ClearLyricView(/*reattach=*/false);  // stopped: reset only
  EXPECT_EQ(prompt_.questions.size(), 1u);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);

  modify();
  fetcher_->ClearLyricView(/*reattach=*/true);  // ended: asked first
  EXPECT_EQ(prompt_.questions.size(), 2u);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);
  EXPECT_EQ(views_cleared_, (std::vector<bool>{false, true}));

  modify();
  fetcher_->SaveAtClose();
  EXPECT_EQ(prompt_.questions.size(), 3u);
}

TEST_F(LyricFetcherTest, SongStartedByIdTitleAndArtist) {
  struct Case {
    const char* title;
    const char* artist;
    const char* file;
  };
  const Case kCases[] = {
      {"Song", "Singer", "Singer-Song.lrc"},
      {"a\\b\nc\rd?e*f|g\"h<i>j:k/l", "X", "X-a_b_c_d_e_f_g_h_i_j_k_l.lrc"},
      {"/../../../etc/passwd", "..", "..-_.._.._.._etc_passwd.lrc"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.title);
    transfers_.started.clear();
    EXPECT_TRUE(fetcher_->StartSongById("701", c.title, c.artist));
    EXPECT_EQ(player_.played.back().source,
              std::string(kBase) + "music/download_shiting.php?id=701");
    EXPECT_EQ(player_.played.back().title, std::string(c.title) + " - " + c.artist);
    ASSERT_EQ(transfers_.started.size(), 1u);
    const std::string lyric_folder = runtime_.store().FolderPath("lyric");
    EXPECT_TRUE(fs::FolderExists(lyric_folder));
    EXPECT_EQ(transfers_.started[0].target_path, lyric_folder + c.file + ".part");
    EXPECT_EQ(fs::ParentFolder(transfers_.started[0].target_path), lyric_folder);
    EXPECT_EQ(transfers_.started[0].url,
              std::string(kBase) + "music/download_lyric.php?id=701&type=lrc");
  }
}

TEST(LyricFileNamesTest, CleaningKeepsNamesInsideTheirFolder) {
  struct Case {
    std::string stem;
    std::string cleaned;
  };
  const Case kCases[] = {
      {"plain", "plain"},
      {"..", ".."},  // harmless: an extension always follows
      {std::string("nul\0/x", 6), "nul__x"},
      {"\\\n\r?*|\"<>:/", "___________"},
      {"歌手-歌名", "歌手-歌名"},
  };
  for (const Case& c : kCases) EXPECT_EQ(CleanLyricName(c.stem), c.cleaned);
  // Long names are cut on a character boundary.
  std::string long_name;
  for (int i = 0; i < 100; ++i) long_name += "歌";  // 300 bytes
  const std::string cut = CleanLyricName(long_name);
  EXPECT_LE(cut.size(), kMaxLyricNameBytes);
  EXPECT_EQ(cut.size() % 3, 0u);
  EXPECT_EQ(ArtistTitleLyricName("", ""), "-.lrc");

  EXPECT_EQ(PathWithoutExtension("/a/b.c/name"), "/a/b.c/name");
  EXPECT_EQ(PathWithoutExtension("/a/b/name.mp3"), "/a/b/name");
  EXPECT_EQ(PathWithoutExtension("/a/b/name.x.lrc"), "/a/b/name.x");
}

}  // namespace
}  // namespace quillo::lyrics
