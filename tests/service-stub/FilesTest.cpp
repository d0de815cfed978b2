// Song downloads with lengths and ranges, streams, pictures, lyrics and the update check.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>

#include "ServiceTestSupport.h"
#include "platform/text/TextCodec.h"

namespace quillo::testing {
namespace {

class FilesTest : public ServiceTest {
 protected:
  std::string DownloadTarget(const ServiceSong& song) {
    return "/music/download.php?id=" + song.id + "&type=download&client_id=00112233445566778899AABBCCDDEEFF";
  }
  const ServiceSong& First(bool (*keep)(const ServiceSong&)) {
    for (const auto& song : Songs()) {
      if (keep(song)) return song;
    }
    ADD_FAILURE() << "no such song in the catalogue";
    return Songs()[0];
  }
};

TEST_F(FilesTest, DownloadsSendTheWholeFileWithItsLength) {
  bool wma = false;
  for (const auto& song : Songs()) {
    if (song.mirror != "none") continue;
    const HttpAnswer answer = service_.Get(DownloadTarget(song));
    ASSERT_EQ(answer.status, 200) << song.id;
    EXPECT_EQ(answer.Header("Content-Length"), std::to_string(song.size));
    EXPECT_EQ(answer.Header("Content-Type"), song.format == "wma" ? "audio/x-ms-wma" : "audio/mpeg");
    EXPECT_TRUE(answer.complete);
    EXPECT_EQ(answer.body, ReadFile(song.audio_file)) << song.id;
    // Every song is several times the 512000 bytes a song download must reach at least.
    EXPECT_GT(song.size, 4 * 512000) << song.id;
    wma = wma || song.format == "wma";
  }
  EXPECT_TRUE(wma);
}

TEST_F(FilesTest, RangesResumeAnInterruptedDownloadByteExactly) {
  const ServiceSong& song = First([](const ServiceSong& s) { return s.mirror == "none" && s.size > 512000; });
  ASSERT_GT(service_.AddFault("path=/music/download.php&kind=drop_after&bytes=100000&count=1"), 0);
  const HttpAnswer first = service_.Get(DownloadTarget(song));
  EXPECT_EQ(first.Header("Content-Length"), std::to_string(song.size));
  EXPECT_FALSE(first.complete);
  ASSERT_EQ(first.body.size(), 100000u);

  const HttpAnswer rest = service_.Get(DownloadTarget(song), {{"RANGE", "bytes=100000-"}});
  ASSERT_EQ(rest.status, 206);
  EXPECT_EQ(rest.Header("Content-Range"),
            "bytes 100000-" + std::to_string(song.size - 1) + "/" + std::to_string(song.size));
  EXPECT_EQ(rest.Header("Content-Length"), std::to_string(song.size - 100000));
  EXPECT_EQ(first.body + rest.body, ReadFile(song.audio_file));

  const HttpAnswer middle = service_.Get(DownloadTarget(song), {{"Range", "bytes=10-19"}});
  EXPECT_EQ(middle.status, 206);
  EXPECT_EQ(middle.body, ReadFile(song.audio_file).substr(10, 10));

  const HttpAnswer past = service_.Get(DownloadTarget(song), {{"Range", "bytes=" + std::to_string(song.size) + "-"}});
  EXPECT_EQ(past.status, 416);
  EXPECT_EQ(past.Header("Content-Range"), "bytes */" + std::to_string(song.size));
}

TEST_F(FilesTest, StreamsServeTheSameAudio) {
  for (const auto& song : Songs()) {
    const HttpAnswer answer = service_.Get("/music/download_shiting.php?id=" + song.id);
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, ReadFile(song.audio_file));
  }
}

TEST_F(FilesTest, AudioIsMusicOfTheAnnouncedLength) {
  // Decoded by ffmpeg, independent of the service: not silence, and as long as announced.
  for (const auto* format : {"mp3", "wma"}) {
    const ServiceSong* song = nullptr;
    for (const auto& s : Songs()) {
      if (s.format == format) song = &s;
    }
    ASSERT_NE(song, nullptr);
    const std::string command = "ffmpeg -nostdin -loglevel error -i '" + song->audio_file +
                                "' -f s16le -ac 1 -ar 8000 - 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::string pcm;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) pcm.append(buffer, n);
    const double seconds = pcm.size() / 2 / 8000.0;
    EXPECT_NEAR(seconds * 1000, song->duration_ms, 250) << format;
    double energy = 0;
    for (std::size_t i = 0; i + 1 < pcm.size(); i += 2) {
      const auto sample = static_cast<std::int16_t>(static_cast<std::uint8_t>(pcm[i]) | (pcm[i + 1] << 8));
      energy += static_cast<double>(sample) * sample;
    }
    EXPECT_GT(std::sqrt(energy / (pcm.size() / 2)), 1000.0) << format;
  }
}

TEST_F(FilesTest, PicturesArePngFiles) {
  const ServiceSong& song = First([](const ServiceSong& s) { return !s.album_id.empty(); });
  const std::string png_signature("\x89PNG\r\n\x1a\n", 8);
  for (const std::string& target :
       {"/music/download_image.php?id=" + song.artist_id + "&type=artist&size=64",
        "/music/download_image.php?id=" + song.album_id + "&type=musicalbum&size=64",
        std::string("/music/download_image.php?id=10001&type=user&size=64")}) {
    const HttpAnswer answer = service_.Get(target);
    EXPECT_EQ(answer.status, 200) << target;
    EXPECT_EQ(answer.Header("Content-Type"), "image/png");
    EXPECT_EQ(answer.body.substr(0, 8), png_signature) << target;
    EXPECT_GT(answer.body.size(), 64u * 64u * 3u);
  }
  EXPECT_EQ(service_.Get("/music/download_image.php?id=77777&type=artist&size=64").status, 404);
  EXPECT_EQ(service_.Get("/music/download_image.php?id=" + song.artist_id + "&type=poster").status, 400);
  EXPECT_EQ(service_.Get("/music/download_image.php?type=artist").status, 400);
}

TEST_F(FilesTest, LyricsByIdByNameAndChecked) {
  int seen = 0;
  for (const auto& song : Songs()) {
    const HttpAnswer by_id = service_.Get("/music/download_lyric.php?id=" + song.id + "&type=lrc");
    if (song.lyric == "none") {
      EXPECT_EQ(by_id.status, 404) << song.id;
      continue;
    }
    ++seen;
    ASSERT_EQ(by_id.status, 200) << song.id;
    const std::string bytes = ReadFile(song.lyric_file);
    EXPECT_EQ(by_id.body, bytes);
    const bool bom = bytes.rfind("\xEF\xBB\xBF", 0) == 0;
    EXPECT_EQ(bom, song.lyric == "utf8-bom") << song.id;
    const std::string text = song.lyric == "gbk" ? text::GbkToUtf8(bytes) : bytes;
    if (song.lyric == "gbk") {
      EXPECT_FALSE(text::IsValidUtf8(bytes)) << "a GBK file is not UTF-8";
      EXPECT_NE(text.find("[ti:" + song.name + "]"), std::string::npos);
    }
    ASSERT_FALSE(song.lines.empty());
    EXPECT_NE(text.find(song.lines[0].second), std::string::npos) << song.id;
    if (song.lyric_offset_ms != 0) {
      EXPECT_NE(text.find("[offset:" + std::to_string(song.lyric_offset_ms) + "]"), std::string::npos);
    }

    const HttpAnswer by_name = service_.Get("/music/download_lyric.php?name=" +
                                            ServiceProcess::UrlEncode(song.name + " - " + song.artist_name) +
                                            "&type=lrc");
    EXPECT_EQ(by_name.body, bytes) << song.name;
    const HttpAnswer checked = service_.Get("/music/download_lyric.php?id=" + song.id + "&type=lrc&checked=1");
    EXPECT_EQ(checked.status, 200);
    EXPECT_NE(checked.body.find("[re:checked]"), std::string::npos);
    EXPECT_NE(checked.body.find(bytes.substr(bom ? 3 : 0)), std::string::npos);
    EXPECT_EQ(bom, checked.body.rfind("\xEF\xBB\xBF", 0) == 0);
  }
  EXPECT_GE(seen, 6);
  EXPECT_EQ(service_.Get("/music/download_lyric.php?id=31337&type=lrc").status, 404);
  EXPECT_EQ(service_.Get("/music/download_lyric.php?name=nothing%20here&type=lrc").status, 404);
  EXPECT_EQ(service_.Get("/music/download_lyric.php?id=1&type=txt").status, 400);
  EXPECT_EQ(service_.Get("/music/download_lyric.php?type=lrc").status, 400);
}

TEST_F(FilesTest, KaraokeScriptsDescrambleToKaraokeLines) {
  int seen = 0;
  for (const auto& song : Songs()) {
    const HttpAnswer answer = service_.Get("/music/download_lyric.php?id=" + song.id + "&type=mrc");
    if (!song.karaoke) {
      EXPECT_EQ(answer.status, 404);
      continue;
    }
    ++seen;
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, ReadFile(song.karaoke_file));
    const auto script = Descramble(answer.body);
    ASSERT_TRUE(script);
    EXPECT_EQ(script->find("karaoke.add('"), script->find('\n') + 1) << *script;
    EXPECT_EQ(std::count(script->begin(), script->end(), '\n'), static_cast<long>(song.lines.size()) + 1);
  }
  EXPECT_GE(seen, 3);
}

TEST_F(FilesTest, VersionCheckAnswersWithThePackageOrShortly) {
  const HttpAnswer none = service_.Get("/api/checkversion.php?version=1.3.1");
  EXPECT_EQ(none.status, 200);
  EXPECT_LT(none.body.size(), 200000u);

  const std::string package_path = service_.data_folder() + "kv-package.bin";
  std::string package(250000, '\0');
  for (std::size_t i = 0; i < package.size(); ++i) package[i] = static_cast<char>(i * 31);
  { std::ofstream(package_path, std::ios::binary) << package; }
  EXPECT_NE(service_.Control("action=update_package&file=" + ServiceProcess::UrlEncode(package_path) +
                             "&version=1.3.2").find("\"ok\":true"), std::string::npos);
  const HttpAnswer update = service_.Post("/api/checkversion.php?version=1.3.1", "", "");
  EXPECT_EQ(update.Header("Content-Length"), "250000");
  EXPECT_EQ(update.body, package);
  EXPECT_LT(service_.Get("/api/checkversion.php?version=1.3.2").body.size(), 200000u);
  EXPECT_EQ(service_.Get("/api/checkversion.php").status, 400);
  EXPECT_NE(service_.Control("action=update_package&file=/no/such/file").find("\"ok\":false"), std::string::npos);
}

}  // namespace
}  // namespace quillo::testing
