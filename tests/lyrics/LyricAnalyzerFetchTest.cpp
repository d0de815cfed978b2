// LyricAnalyzer's lyric download, checked copy, download-manager answers and error reports,
// with transfers the test ends itself.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "LyricFetchTestSupport.h"
#include "LyricTestSupport.h"
#include "fakes/FakeLyricTransfers.h"
#include "fakes/FakeRequestSender.h"
#include "lyrics/LyricAnalyzer.h"
#include "lyrics/LyricErrorReport.h"
#include "platform/fs/FileSystem.h"
#include "service/api/JSRequestHandler.h"
#include "store/StoreRuntime.h"
#include "support/TempFolder.h"

namespace quillo::lyrics {
namespace {

using quillo::testing::FakeLyricTransfers;
using quillo::testing::FakeRequestSender;
using quillo::testing::TempFolder;
using testing::CountingPrompt;
using testing::CurrentSongPlayer;
using testing::RecordingCache;

constexpr const char* kLyricA = "[00:01.00]first A\n[00:02.00]second A\n";
constexpr const char* kLyricB = "[re:checked]\n[00:01.00]first B\n[00:02.00]second B\n";

class LyricAnalyzerFetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(/*start_saver=*/false));
    analyzer_.SetFetchParts({&transfers_, &cache_, &reports_, &runtime_.store(), &prompt_});
  }
  void TearDown() override { runtime_.Close(); }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = folder_ / name;
    EXPECT_TRUE(fs::WriteFile(path, text));
    return path;
  }
  // Ends the transfer as the downloader would: on success its file holds `text`.
  void End(const FakeLyricTransfers::Started& started, bool ok, const std::string& text = {}) {
    if (ok) {
      ASSERT_TRUE(fs::WriteFile(started.target_path, text));
    }
    analyzer_.OnTransferEnded(started.id, ok, started.target_path);
  }
  std::string FirstLine() const {
    const LyricDocument& document = analyzer_.document();
    return document.state == 0 ? document.timeline.lines().front().text
                               : "<state " + std::to_string(document.state) + ">";
  }

  TempFolder folder_;
  TempFolder data_;
  store::StoreRuntime runtime_{data_.path()};
  FakeLyricTransfers transfers_;
  RecordingCache cache_;
  FakeRequestSender sender_;
  service::JSRequestHandler reports_{sender_, "http://127.0.0.1:9/"};
  CountingPrompt prompt_{true};
  CurrentSongPlayer player_;
  LyricAnalyzer analyzer_{&player_};
};

TEST_F(LyricAnalyzerFetchTest, LyricDownloadLoadsAndEntersTheCache) {
  const std::string target = folder_ / "7.lrc";
  analyzer_.DownloadLyric("7", "http://h/lyric?id=7", target);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);
  EXPECT_EQ(analyzer_.document().music_id, "7");
  ASSERT_EQ(transfers_.started.size(), 1u);
  const FakeLyricTransfers::Started started = transfers_.started[0];
  EXPECT_EQ(started.url, "http://h/lyric?id=7");
  EXPECT_EQ(started.target_path, target + ".part");
  EXPECT_EQ(started.callback, &analyzer_);
  // Written as target + ".part" and moved over the target once complete: the URL's extension
  // never renames it.
  EXPECT_FALSE(started.append_extension);
  EXPECT_EQ(started.min_size, 0);
  EXPECT_EQ(started.max_size, 0);
  EXPECT_EQ(started.attempts, 8);
  EXPECT_EQ(analyzer_.lyric_download_id(), started.id);

  End(started, true, kLyricA);
  EXPECT_EQ(fs::ReadWholeFile(target), kLyricA);
  EXPECT_FALSE(fs::PathExists(target + ".part"));
  EXPECT_EQ(FirstLine(), "first A");
  EXPECT_EQ(analyzer_.document().music_id, "7");
  EXPECT_TRUE(analyzer_.lyric_download_id().empty());
  ASSERT_EQ(cache_.entries.size(), 1u);
  EXPECT_EQ(cache_.entries[0], std::make_pair(std::string("7"), target));
}

TEST_F(LyricAnalyzerFetchTest, FailedOrUnstartableDownloadsAreState4) {
  analyzer_.DownloadLyric("7", "u", folder_ / "7.lrc");
  End(transfers_.started[0], false);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloadFailed);
  EXPECT_TRUE(cache_.entries.empty());
  EXPECT_TRUE(analyzer_.lyric_download_id().empty());

  transfers_.refuse = true;
  analyzer_.DownloadLyric("8", "u", folder_ / "8.lrc");
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloadFailed);
  EXPECT_EQ(analyzer_.document().music_id, "8");
}

TEST_F(LyricAnalyzerFetchTest, ANewSongCancelsTheRunningLyricDownloadButNotTheCheckedCopy) {
  const std::string lyric = Write("a.lrc", kLyricA);
  analyzer_.RefreshCheckedLyric("1", "checked", lyric);
  analyzer_.DownloadLyric("2", "u2", folder_ / "2.lrc");
  analyzer_.DownloadLyric("3", "u3", folder_ / "3.lrc");
  ASSERT_EQ(transfers_.started.size(), 3u);
  EXPECT_EQ(transfers_.cancelled, std::vector<std::string>{"2"});
  EXPECT_EQ(analyzer_.refresh_download_id(), "1");

  // A song start without a download (Reset) cancels it as well: a late lyric of song 3 must
  // not become the next song's lyric.
  analyzer_.Reset();
  EXPECT_TRUE(transfers_.WasCancelled("3"));
  EXPECT_EQ(analyzer_.document().music_id, "");
  End(transfers_.started[2], true, kLyricA);  // a cancelled id finishing changes nothing
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateNone);
  EXPECT_TRUE(cache_.entries.empty());
}

TEST_F(LyricAnalyzerFetchTest, DownloadOffersAChangedLyricForSavingFirst) {
  ASSERT_EQ(analyzer_.LoadLyric(Write("a.lrc", kLyricA), "1"), 0);
  ASSERT_TRUE(analyzer_.AdjustTiming(500, 3, std::nullopt));
  analyzer_.DownloadLyric("2", "u", folder_ / "2.lrc");
  EXPECT_EQ(prompt_.questions.size(), 1u);
  EXPECT_NE(*fs::ReadWholeFile(folder_ / "a.lrc"), kLyricA);  // saved with the new offset
}

// The checked copy: where it goes, and what its arrival does in each situation.
TEST_F(LyricAnalyzerFetchTest, CheckedCopyReplacesTheFileAndReloadsOnlyForTheSameSong) {
  struct Case {
    const char* name;
    bool ok;
    std::string answer;
    enum { kSameSong, kOtherSong, kModified } then;
    bool replaced;
    const char* shown;
  };
  const Case kCases[] = {
      {"same song", true, kLyricB, Case::kSameSong, true, "first B"},
      {"another song by now", true, kLyricB, Case::kOtherSong, true, "first X"},
      {"unsaved re-timing", true, kLyricB, Case::kModified, true, "first A"},
      {"failed", false, "", Case::kSameSong, false, "first A"},
      {"empty answer", true, "", Case::kSameSong, false, "first A"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string lyric = Write("song.lrc", kLyricA);
    ASSERT_EQ(analyzer_.LoadLyric(lyric, "1"), 0);
    const std::size_t first = transfers_.started.size();
    analyzer_.RefreshCheckedLyric("1", "http://h/lyric?id=1&checked=1", lyric);
    ASSERT_EQ(transfers_.started.size(), first + 1);
    const FakeLyricTransfers::Started started = transfers_.started.back();
    EXPECT_EQ(started.target_path, lyric + ".tmp");
    EXPECT_FALSE(started.append_extension);
    EXPECT_EQ(started.attempts, 8);
    EXPECT_EQ(started.max_size, 0);
    EXPECT_EQ(analyzer_.refresh_music_id(), "1");
    EXPECT_EQ(FirstLine(), "first A");  // nothing shown changes while it downloads

    if (c.then == Case::kOtherSong) {
      ASSERT_EQ(analyzer_.LoadLyric(Write("x.lrc", "[00:01.00]first X\n"), "2"), 0);
    } else if (c.then == Case::kModified) {
      ASSERT_TRUE(analyzer_.AdjustTiming(100, 3, std::nullopt));
    }
    End(started, c.ok, c.answer);
    EXPECT_EQ(*fs::ReadWholeFile(lyric), c.replaced ? kLyricB : kLyricA);
    EXPECT_FALSE(fs::PathExists(lyric + ".tmp"));
    EXPECT_EQ(FirstLine(), c.shown);
    EXPECT_TRUE(analyzer_.refresh_download_id().empty());
    EXPECT_TRUE(analyzer_.refresh_music_id().empty());
    analyzer_.Reset();
  }
}

TEST_F(LyricAnalyzerFetchTest, ANewCheckedCopyCancelsTheOneStillRunning) {
  const std::string lyric = Write("song.lrc", kLyricA);
  analyzer_.RefreshCheckedLyric("1", "c", lyric);
  analyzer_.RefreshCheckedLyric("1", "c", lyric);
  EXPECT_EQ(transfers_.cancelled, std::vector<std::string>{"1"});
  EXPECT_EQ(analyzer_.refresh_download_id(), "2");
}

TEST_F(LyricAnalyzerFetchTest, LoadIfCurrentOnlyForThePlayersSong) {
  const std::string lyric = Write("q.lrc", kLyricA);
  player_.current = "5";
  analyzer_.MarkQueued("5");
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);

  analyzer_.LoadIfCurrent("6", lyric);  // another song: nothing
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);
  analyzer_.LoadIfCurrent("", lyric);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloading);
  analyzer_.LoadIfCurrent("5", std::nullopt);
  EXPECT_EQ(analyzer_.GetState(), LyricDocument::kStateDownloadFailed);
  analyzer_.LoadIfCurrent("5", lyric);
  EXPECT_EQ(FirstLine(), "first A");
  EXPECT_EQ(analyzer_.document().music_id, "5");
}

TEST_F(LyricAnalyzerFetchTest, DestroyingTheAnalyzerCancelsItsTransfers) {
  {
    LyricAnalyzer analyzer;
    analyzer.SetFetchParts({&transfers_, nullptr, nullptr, nullptr, nullptr});
    analyzer.DownloadLyric("1", "u", folder_ / "1.lrc");
    analyzer.RefreshCheckedLyric("2", "c", folder_ / "2.lrc");
  }
  EXPECT_EQ(transfers_.cancelled, (std::vector<std::string>{"1", "2"}));
}

std::vector<std::string> ReportRows(const FakeRequestSender& sender) {
  std::vector<std::string> rows;
  for (const FakeRequestSender::Sent& sent : sender.sent) {
    std::string row = sent.url;
    for (const auto& [name, value] : *sent.params) row += " " + name + "=" + value;
    rows.push_back(row);
  }
  return rows;
}

TEST_F(LyricAnalyzerFetchTest, ErrorReportsOnePerCheckedBoxInOrder) {
  ASSERT_EQ(analyzer_.LoadLyric(Write("a.lrc", kLyricA), "42"), 0);
  struct Case {
    std::array<bool, 4> checked;
    const char* user;
    std::vector<std::string> rows;
  };
  const std::string url = "http://127.0.0.1:9/api/updatelyricerrortype.php";
  const Case kCases[] = {
      {{false, true, false, true},
       "",
       {url + " musicId=42 lyric_error_type=2 comment= userId=0",
        url + " musicId=42 lyric_error_type=4 comment=其他文字 userId=0"}},
      {{true, false, true, false},
       "U9",
       {url + " musicId=42 lyric_error_type=1 comment= userId=U9",
        url + " musicId=42 lyric_error_type=3 comment= userId=U9"}},
      {{false, false, false, false}, "", {}},
  };
  for (const Case& c : kCases) {
    sender_.sent.clear();
    runtime_.store().SetCurrentUserField(c.user);
    EXPECT_EQ(SendLyricErrorReport(analyzer_, c.checked, "其他文字"),
              static_cast<int>(c.rows.size()));
    EXPECT_EQ(ReportRows(sender_), c.rows);
    for (const FakeRequestSender::Sent& sent : sender_.sent) EXPECT_EQ(sent.callback, nullptr);
  }
  EXPECT_FALSE(analyzer_.ReportLyricError(4, "x"));
  EXPECT_FALSE(analyzer_.ReportLyricError(-1, "x"));
  // After the song ended the document names none: a report would say nothing of what it is
  // about, so none goes out.
  sender_.sent.clear();
  analyzer_.Reset();
  EXPECT_FALSE(analyzer_.ReportLyricError(0, "x"));
  EXPECT_EQ(SendLyricErrorReport(analyzer_, {true, false, false, false}, ""), 0);
  EXPECT_TRUE(sender_.sent.empty());
}

}  // namespace
}  // namespace quillo::lyrics
