// The player over the real graphs, streaming a song from quillo-service through a throttled
// download: the first graph is built at the buffering threshold, the notifications come in
// order, and the audio that reaches the sink (raw PCM appended by every graph) covers the whole
// song, compared block by block with a plain decode of the file. Bad local files fail cleanly.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/fs/FileSystem.h"
#include "platform/http/CurlHttpTransport.h"
#include "platform/loop/MainLoop.h"
#include "platform/media/GstMediaGraphFactory.h"
#include "playback/MediaPlayer.h"
#include "playback/PlayCache.h"
#include "playback/StreamRules.h"
#include "playback/player/PcmAlignment.h"
#include "playback/player/PlayerFixture.h"
#include "playback/player/RecordingGraphFactory.h"
#include "service/transfer/SafeDownloader.h"
#include "store/DocumentStore.h"
#include "store/MusicLibrary.h"
#include "store/StoreRuntime.h"
#include "support/ServiceProcess.h"
#include "support/TempFolder.h"

namespace quillo::playback {
namespace {

constexpr int kRate = 44100;
const char* const kRawCaps = "audio/x-raw,format=S16LE,rate=44100,channels=2";

std::string RawSink(const std::string& path) {
  return std::string("audioconvert ! audioresample ! ") + kRawCaps +
         " ! filesink location=" + path + " append=true";
}

// A plain decode of the file to raw PCM, as the reference.
std::string ReferenceDecode(const std::string& audio_file, const std::string& out) {
  // The decoder and float stage the player's MP3 graph has (mpg123's output differs between
  // its integer and float modes).
  const std::string command = "gst-launch-1.0 -q filesrc location='" + audio_file +
                              "' ! mpegaudioparse ! mpg123audiodec ! audioconvert ! "
                              "audioresample ! audio/x-raw,format=F32LE,layout=interleaved ! "
                              "audioconvert ! " +
                              kRawCaps + " ! filesink location='" + out + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  return fs::ReadWholeFile(out).value_or(std::string());
}

class StreamingServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(runtime_.Open(/*start_saver=*/false));
    runtime_.store().SetConfigText("module.music.volume", "100");
  }
  void TearDown() override { runtime_.Close(); }

  // Runs the player until the song ends or fails; answers the last state.
  int PlayUntilEnd(testing::RecordingGraphFactory& graphs, RecordingListener& listener,
                   std::chrono::seconds limit) {
    auto done = [&] {
      graphs.Poll();
      return listener.HasState(PlayerState::kFinished) || listener.HasState(PlayerState::kFailed);
    };
    EXPECT_TRUE(loop_.PumpUntil(done, limit));
    loop_.PumpPending();
    std::vector<int> states = listener.States();
    return states.empty() ? -1 : states.back();
  }

  testing::TempFolder data_;
  testing::TempFolder work_;
  store::StoreRuntime runtime_{data_.path()};
  loop::MainLoop loop_;
};

TEST_F(StreamingServiceTest, ThrottledSongPlaysThroughItsSnapshotsToTheEnd) {
  testing::ServiceProcess service;
  ASSERT_TRUE(service.Start()) << service.error();
  const testing::ServiceSong* song = nullptr;
  std::vector<testing::ServiceSong> catalogue = service.Catalogue();
  for (const auto& candidate : catalogue) {
    if (candidate.format == "mp3" && (song == nullptr || candidate.size > song->size)) {
      song = &candidate;
    }
  }
  ASSERT_NE(song, nullptr);
  // About a tenth of the song's play time per second: a dozen snapshots or so.
  const std::int64_t rate = std::max<std::int64_t>(song->size / 12, 20000);
  ASSERT_GE(service.AddFault("path=/music/download_shiting.php&kind=throttle&bytes_per_second=" +
                             std::to_string(rate)),
            0);

  const std::string raw = work_ / "out.raw";
  setenv("QUILLO_AUDIO_SINK", RawSink(raw).c_str(), 1);
  audio::GstMediaGraphFactory real_graphs;
  testing::RecordingGraphFactory graphs(real_graphs);
  http::CurlHttpTransport transport(data_ / "cookies.txt");
  service::SafeDownloader downloader(loop_, transport);
  PlayCache cache(runtime_.store(), runtime_.library());
  RecordingListener listener;
  int last_state = -1;
  {
    MediaPlayer player({loop_, graphs, downloader, runtime_.store(), &runtime_.library(), &cache});
    player.SetVolume(100);
    player.AddListener(listener);
    ASSERT_TRUE(player.PlayStream(service.base_url() + "music/download_shiting.php?id=" + song->id,
                                  song->id, song->name));
    last_state = PlayUntilEnd(graphs, listener, std::chrono::seconds(150));
    player.RemoveListener(listener);
  }
  downloader.Shutdown();
  unsetenv("QUILLO_AUDIO_SINK");

  for (const auto& note : graphs.notes) {
    std::printf("\ngraph %s %llu bytes seek %.3f", note->path.c_str(),
                static_cast<unsigned long long>(note->snapshot_bytes),
                note->seeks_s.empty() ? -1.0 : note->seeks_s.front());
  }
  std::printf("\n");
  EXPECT_EQ(last_state, S(PlayerState::kFinished));
  ASSERT_FALSE(graphs.notes.empty());
  // The first build at the threshold (the downloader hands over at most 16 KB at a time).
  const std::int64_t threshold = StreamRules::BufferingThreshold(song->size);
  EXPECT_GE(static_cast<std::int64_t>(graphs.notes.front()->snapshot_bytes), threshold);
  EXPECT_LT(static_cast<std::int64_t>(graphs.notes.front()->snapshot_bytes), threshold + 16384);
  EXPECT_TRUE(graphs.notes.front()->snapshot);

  // Order: opening, buffering, rising percentages to 100, playing, started ... finished.
  std::vector<int> states = listener.States();
  ASSERT_GE(states.size(), 4u);
  EXPECT_EQ(states[0], S(PlayerState::kOpening));
  EXPECT_EQ(states[1], S(PlayerState::kBuffering));
  EXPECT_EQ(states[2], S(PlayerState::kPlaying));
  EXPECT_EQ(states[3], S(PlayerState::kStarted));
  EXPECT_FALSE(listener.HasState(PlayerState::kFailed));

  // The audio covers the song: compare with a plain decode.
  std::string recorded = fs::ReadWholeFile(raw).value_or(std::string());
  // The reference is the completed download, which must be the service's file.
  ASSERT_FALSE(cache.Entries().empty());
  const std::string downloaded = cache.Entries().back().path;
  EXPECT_EQ(fs::ReadWholeFile(downloaded), fs::ReadWholeFile(song->audio_file));
  std::string reference = ReferenceDecode(downloaded, work_ / "ref.raw");
  ASSERT_FALSE(reference.empty());
  if (const char* keep = std::getenv("QUILLO_KEEP_PCM")) {
    fs::WriteFile(std::string(keep) + "/recorded.raw", recorded);
    fs::WriteFile(std::string(keep) + "/reference.raw", reference);
  }
  testing::PcmAlignment alignment = testing::AlignPcm(recorded, reference, kRate);
  const double recorded_s = alignment.recorded_frames / static_cast<double>(kRate);
  const double reference_s = alignment.reference_frames / static_cast<double>(kRate);
  std::printf(
      "song %s: %lld bytes, %.2f s; %zu graphs; recorded %.3f s; jumps %zu, largest skip %.1f ms, "
      "largest repeat %.1f ms, unmatched blocks %zu, matched to %.3f s\n",
      song->id.c_str(), static_cast<long long>(song->size), reference_s, graphs.notes.size(),
      recorded_s, alignment.jumps, alignment.largest_skip_ms, alignment.largest_repeat_ms,
      alignment.unmatched_blocks, alignment.reference_end_frame / static_cast<double>(kRate));
  EXPECT_GT(graphs.notes.size(), 2u);  // it really went through several snapshots
  EXPECT_NEAR(recorded_s, reference_s, 0.5);
  EXPECT_LT(alignment.largest_skip_ms, 250.0);
  EXPECT_LT(alignment.largest_repeat_ms, 250.0);
  EXPECT_GE(alignment.reference_end_frame + kRate / 2, alignment.reference_frames);
  EXPECT_LE(alignment.unmatched_blocks, graphs.notes.size() * 2);
}

TEST_F(StreamingServiceTest, BadFilesFailWithoutHanging) {
  const std::string random_mp3 = work_ / "random.mp3";
  std::string noise(40000, '\0');
  unsigned state = 12345;
  for (char& c : noise) {
    state = state * 1103515245 + 12345;
    c = static_cast<char>(state >> 16);
  }
  ASSERT_TRUE(fs::WriteFile(random_mp3, noise));
  const std::string empty_mp3 = work_ / "empty.mp3";
  ASSERT_TRUE(fs::WriteFile(empty_mp3, ""));
  const std::string broken_wma = work_ / "broken.wma";
  ASSERT_TRUE(
      fs::WriteFile(broken_wma, std::string("\x30\x26\xB2\x75\x8E\x66\xCF\x11", 8) + noise));

  setenv("QUILLO_AUDIO_SINK", "fakesink", 1);
  audio::GstMediaGraphFactory real_graphs;
  testing::RecordingGraphFactory graphs(real_graphs);
  http::CurlHttpTransport transport(data_ / "cookies.txt");
  service::SafeDownloader downloader(loop_, transport);
  for (const std::string& path : {random_mp3, empty_mp3, broken_wma}) {
    SCOPED_TRACE(path);
    RecordingListener listener;
    MediaPlayer player({loop_, graphs, downloader, runtime_.store(), nullptr, nullptr});
    player.AddListener(listener);
    if (player.PlayFile(path, "", "bad")) {
      EXPECT_EQ(PlayUntilEnd(graphs, listener, std::chrono::seconds(20)), S(PlayerState::kFailed));
    } else {
      loop_.PumpPending();
      EXPECT_EQ(listener.States().back(), S(PlayerState::kFailed));
    }
    player.RemoveListener(listener);
  }
  downloader.Shutdown();
  unsetenv("QUILLO_AUDIO_SINK");
}

}  // namespace
}  // namespace quillo::playback
