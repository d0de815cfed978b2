// Lyric fetching against quillo-service, over the real downloader, transport and loop: the
// temporary-list download into the cache folder, the by-name request for a local song, the
// checked copy and the error report.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>

#include "LyricFetchTestSupport.h"
#include "LyricTestSupport.h"
#include "fakes/FakePlayer.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricErrorReport.h"
#include "lyrics/LyricFetcher.h"
#include "lyrics/SafeDownloaderLyricTransfers.h"
#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "service/api/JSRequestHandler.h"
#include "service/api/SafeDownloaderSender.h"
#include "service/api/ServiceEndpoints.h"
#include "service/transfer/SafeDownloader.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::lyrics {
namespace {
using namespace std::chrono_literals;
using quillo::testing::ServiceSong;
using quillo::testing::TempFolder;

class LyricFetchServiceTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    service_ = new quillo::testing::ServiceProcess();
    ASSERT_TRUE(service_->Start()) << service_->error();
    songs_ = service_->Catalogue();
  }
  static void TearDownTestSuite() {
    delete service_;
    service_ = nullptr;
  }

  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(/*start_saver=*/false));
    analyzer_.SetFetchParts({&transfers_, &cache_, &handler_, &runtime_.store(), nullptr});
    fetcher_ = std::make_unique<LyricFetcher>(LyricFetcher::Parts{
        analyzer_,
        runtime_.store(),
        runtime_.library(),
        player_,
        prompt_,
        service::ServiceFileUrls(service::EndpointsForBaseUrl(service_->base_url()), "client"),
        nullptr,
        {},
        {}});
  }
  void TearDown() override {
    fetcher_.reset();
    runtime_.Close();
  }

  // A song of the catalogue with a UTF-8 LRC lyric (no byte order mark, so that the bytes
  // compare plainly).
  static const ServiceSong& SongWithLyric() {
    for (const ServiceSong& song : songs_) {
      if (song.lyric == "utf8") return song;
    }
    ADD_FAILURE() << "no song with a UTF-8 lyric";
    return songs_.front();
  }
  static const ServiceSong* SongWithoutLyric() {
    for (const ServiceSong& song : songs_) {
      if (song.lyric == "none") return &song;
    }
    return nullptr;
  }
  void PumpUntilIdle() {
    ASSERT_TRUE(loop_.PumpUntil(
        [&] {
          return analyzer_.lyric_download_id().empty() && analyzer_.refresh_download_id().empty();
        },
        60s));
  }
  std::string FirstLine() const {
    const LyricDocument& document = analyzer_.document();
    return document.state == 0 ? document.timeline.lines().front().text : "";
  }

  static inline quillo::testing::ServiceProcess* service_ = nullptr;
  static inline std::vector<ServiceSong> songs_;
  TempFolder data_;
  TempFolder files_;
  loop::MainLoop loop_;
  http::CurlHttpTransport transport_{""};
  service::SafeDownloader downloader_{loop_, transport_};
  SafeDownloaderLyricTransfers transfers_{downloader_};
  service::SafeDownloaderSender sender_{downloader_};
  service::JSRequestHandler handler_{sender_, service_->base_url()};
  store::StoreRuntime runtime_{data_.path()};
  testing::RecordingCache cache_;
  testing::CurrentSongPlayer info_;
  LyricAnalyzer analyzer_{&info_};
  quillo::testing::FakePlayer player_;
  testing::CountingPrompt prompt_{false};
  std::unique_ptr<LyricFetcher> fetcher_;
};

TEST_F(LyricFetchServiceTest, TemporaryListSongDownloadsIntoTheCacheFolder) {
  const ServiceSong& song = SongWithLyric();
  fetcher_->StartLyrics({{{"id", song.id}, {"name", song.name}}, song.name, "", "t_chart1"});
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);
  PumpUntilIdle();

  const std::string target = runtime_.store().FolderPath(".cache") + song.id + ".lrc";
  EXPECT_EQ(fs::ReadWholeFile(target), fs::ReadWholeFile(song.lyric_file));
  ASSERT_EQ(cache_.entries.size(), 1u);
  EXPECT_EQ(cache_.entries[0], std::make_pair(song.id, target));
  EXPECT_EQ(analyzer_.GetState(), 0);
  EXPECT_EQ(analyzer_.document().music_id, song.id);
}

TEST_F(LyricFetchServiceTest, SongWithoutLyricEndsInState4) {
  const ServiceSong* song = SongWithoutLyric();
  if (song == nullptr) GTEST_SKIP() << "the catalogue has no song without a lyric";
  fetcher_->StartLyrics({{{"id", song->id}, {"name", song->name}}, song->name, "", "t_chart1"});
  PumpUntilIdle();
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloadFailed);
  EXPECT_TRUE(cache_.entries.empty());
  EXPECT_FALSE(fs::PathExists(runtime_.store().FolderPath(".cache") + song->id + ".lrc"));
}

TEST_F(LyricFetchServiceTest, LocalSongRequestsByNameAndSavesBesideTheFile) {
  const ServiceSong& song = SongWithLyric();
  const std::string music = files_ / "local song.mp3";
  ASSERT_TRUE(fs::WriteFile(music, "audio"));
  const store::MusicRecord record{{"id", "ex-local1"},
                                  {"name", song.name},
                                  {"artist_name", song.artist_name},
                                  {"fileName", "file://" + music}};
  runtime_.library().AddMusic(record);
  const std::int64_t since = service_->RequestLog().empty() ? 0 : service_->RequestLog().back().seq;
  fetcher_->StartLyrics({record, song.name + " - " + song.artist_name, music, ""});
  PumpUntilIdle();

  EXPECT_EQ(fs::ReadWholeFile(files_ / "local song.lrc"), fs::ReadWholeFile(song.lyric_file));
  EXPECT_EQ(analyzer_.GetState(), 0);
  bool asked_by_name = false;
  for (const auto& request : service_->RequestLog(since)) {
    if (request.path == "/music/download_lyric.php") {
      asked_by_name = request.Query("name") == song.name + " - " + song.artist_name &&
                      request.Query("id").empty();
    }
  }
  EXPECT_TRUE(asked_by_name);
}

TEST_F(LyricFetchServiceTest, CheckedCopyReplacesTheFileAndReloadsOnlyForTheCurrentSong) {
  const ServiceSong& song = SongWithLyric();
  for (bool still_current : {true, false}) {
    SCOPED_TRACE(still_current);
    const std::string music = files_ / (song.id + ".mp3");
    const std::string lyric = files_ / (song.id + ".lrc");
    ASSERT_TRUE(fs::WriteFile(music, "audio"));
    ASSERT_TRUE(fs::WriteFile(lyric, "[00:00.50]old line\n"));
    const store::MusicRecord record{
        {"id", song.id}, {"name", song.name}, {"fileName", "file://" + music}};
    runtime_.library().AddMusic(record);
    fetcher_->StartLyrics({record, song.name, music, ""});
    EXPECT_EQ(FirstLine(), "old line");
    EXPECT_FALSE(analyzer_.refresh_download_id().empty());
    if (!still_current) {
      fetcher_->StartLyrics({{{"id", "999999"}, {"name", "x"}}, "x", "", "d_card_1"});
    }
    PumpUntilIdle();

    const std::optional<std::string> replaced = fs::ReadWholeFile(lyric);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(replaced->rfind("[re:checked]", 0), 0u);
    EXPECT_FALSE(fs::PathExists(lyric + ".tmp"));
    if (still_current) {
      EXPECT_EQ(analyzer_.GetState(), 0);
      EXPECT_NE(FirstLine(), "old line");
      EXPECT_EQ(analyzer_.document().file_path, lyric);
    } else {
      EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);
    }
  }
}

TEST_F(LyricFetchServiceTest, ErrorReportReachesTheServiceWithUserZero) {
  const ServiceSong& song = SongWithLyric();
  ASSERT_EQ(analyzer_.LoadLyric(song.lyric_file, song.id), 0);
  runtime_.store().SetCurrentUserField("");
  service_->ClearLog();
  EXPECT_EQ(SendLyricErrorReport(analyzer_, {false, true, false, true}, "时间不对"), 2);

  std::vector<quillo::testing::LoggedServiceRequest> reports;
  ASSERT_TRUE(loop_.PumpUntil(
      [&] {
        reports.clear();
        for (const auto& request : service_->RequestLog()) {
          if (request.path == "/api/updatelyricerrortype.php") reports.push_back(request);
        }
        return reports.size() >= 2;
      },
      30s));
  ASSERT_EQ(reports.size(), 2u);
  // Both are in flight at once: match them by type, not by arrival.
  if (reports[0].Form("lyric_error_type") == "4") std::swap(reports[0], reports[1]);
  const std::array<std::pair<const char*, const char*>, 2> kExpected = {std::pair{"2", ""},
                                                                        std::pair{"4", "时间不对"}};
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(reports[i].Form("musicId"), song.id);
    EXPECT_EQ(reports[i].Form("lyric_error_type"), kExpected[i].first);
    EXPECT_EQ(reports[i].Form("comment"), kExpected[i].second);
    EXPECT_EQ(reports[i].Form("userId"), "0");
  }
}

}  // namespace
}  // namespace quillo::lyrics
