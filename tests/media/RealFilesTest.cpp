// MP3 and WMA files made by lame and ffmpeg, read and tagged through quillo-tool. Audio must
// decode to the same samples after a tag write, and other programs' tags must survive.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>

#include "platform/fs/FileSystem.h"
#include "support/TempFolder.h"

namespace {

using quillo::testing::TempFolder;

const std::string kTool = std::string(QUILLO_BINARY_DIR) + "/tools/quillo-tool/quillo-tool";

struct Output {
  int status = -1;
  std::string text;
};

Output Shell(const std::string& command) {
  Output output;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>/dev/null").c_str(), "r"), pclose);
  if (!pipe) return output;
  std::array<char, 4096> buffer;
  std::size_t n;
  while ((n = fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0) output.text.append(buffer.data(), n);
  output.status = pclose(pipe.release());
  return output;
}

bool Have(const char* program) { return Shell(std::string("command -v ") + program).status == 0; }

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// A hash of the decoded samples.
std::string DecodedAudio(const std::string& path) {
  return Shell("ffmpeg -loglevel error -i " + Quote(path) + " -f s16le - | md5sum").text;
}

std::string Tags(const std::string& path) { return Shell(kTool + " tags read " + Quote(path)).text; }

class RealFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Have("lame") || !Have("ffmpeg")) GTEST_SKIP() << "lame and ffmpeg are needed";
    wav_ = folder_ / "tone.wav";
    ASSERT_EQ(Shell("ffmpeg -loglevel error -f lavfi -i sine=frequency=440:duration=2 -ac 1 -ar 22050 " + Quote(wav_)).status, 0);
  }
  TempFolder folder_;
  std::string wav_;
};

TEST_F(RealFilesTest, ReadsWhatLameAndFfmpegWrote) {
  struct Case {
    const char* file;
    std::string make;
    std::string expected;
  };
  const std::string in = Quote(wav_);
  const Case kCases[] = {
      {"v23-utf16.mp3", "lame --quiet -b 64 --id3v2-only --id3v2-utf16 --tt 测试歌曲 --ta 周杰伦 --tl 专辑 --ty 2003 --tc 好听 " + in,
       "title=测试歌曲\nartist=周杰伦\nalbum=专辑\nyear=2003\ncomment=好听\ngenre=\n"},
      {"v1.mp3", "lame --quiet -b 64 --id3v1-only --tt Plain --ta Artist --tl Record --ty 1999 --tg Rock " + in,
       "title=Plain\nartist=Artist\nalbum=Record\nyear=1999\ncomment=\ngenre=17\n"},
      {"v24-utf8.mp3", "ffmpeg -loglevel error -i " + in + " -id3v2_version 4 -metadata title=歌名 -metadata artist=王菲 -metadata album=Üñí -metadata date=2001",
       "title=歌名\nartist=王菲\nalbum=Üñí\nyear=2001\ncomment=\ngenre=\n"},
      {"v23-ffmpeg.mp3", "ffmpeg -loglevel error -i " + in + " -id3v2_version 3 -metadata title=标题 -metadata artist=A -metadata album=B",
       "title=标题\nartist=A\nalbum=B\nyear=\ncomment=\ngenre=\n"},
      {"song.wma", "ffmpeg -loglevel error -i " + in + " -c:a wmav2 -b:a 128k -metadata title=WMA标题 -metadata artist=作者 -metadata album=专辑名",
       "title=WMA标题\nartist=作者\nalbum=专辑名\nyear=\ncomment=\ngenre=\n"},
  };
  for (const Case& c : kCases) {
    const std::string path = folder_ / c.file;
    std::string make = c.make + " " + Quote(path);
    ASSERT_EQ(Shell(make).status, 0) << make;
    EXPECT_EQ(Tags(path), c.expected) << c.file;
  }
}

TEST_F(RealFilesTest, TagWritesKeepAudioAndForeignTags) {
  const std::string in = Quote(wav_);
  const std::string lame_mp3 = folder_ / "lame.mp3";
  const std::string ffmpeg_mp3 = folder_ / "ffmpeg.mp3";
  const std::string wma = folder_ / "song.wma";
  ASSERT_EQ(Shell("lame --quiet -b 64 --add-id3v2 --tt Old --ta Old --tc Remark " + in + " " + Quote(lame_mp3)).status, 0);
  ASSERT_EQ(Shell("ffmpeg -loglevel error -i " + in + " -id3v2_version 4 -metadata title=Old -metadata composer=Bach -metadata track=7 " + Quote(ffmpeg_mp3)).status, 0);
  ASSERT_EQ(Shell("ffmpeg -loglevel error -i " + in + " -c:a wmav2 -b:a 128k -metadata title=Old -metadata genre=Jazz " + Quote(wma)).status, 0);
  for (const std::string& path : {lame_mp3, ffmpeg_mp3, wma}) {
    const std::string audio = DecodedAudio(path);
    ASSERT_FALSE(audio.empty());
    ASSERT_EQ(Shell(kTool + " tags write " + Quote(path) + " --title 新标题 --artist 刘德华 --album 'An Album'").status, 0) << path;
    std::string tags = Tags(path);
    EXPECT_NE(tags.find("title=新标题\nartist=刘德华\nalbum=An Album\n"), std::string::npos) << path << tags;
    EXPECT_EQ(DecodedAudio(path), audio) << path;
    // ffmpeg sees the new tags as well: no stale copy is left behind.
    std::string probe = Shell("ffprobe -loglevel error -show_entries format_tags -of default=nw=1 " + Quote(path)).text;
    EXPECT_NE(probe.find("TAG:title=新标题"), std::string::npos) << path << probe;
    EXPECT_NE(probe.find("TAG:artist=刘德华"), std::string::npos) << path << probe;
  }
  EXPECT_NE(Tags(lame_mp3).find("comment=Remark"), std::string::npos);
  std::string probe = Shell("ffprobe -loglevel error -show_entries format_tags -of default=nw=1 " + Quote(ffmpeg_mp3)).text;
  EXPECT_NE(probe.find("TAG:composer=Bach"), std::string::npos) << probe;
  EXPECT_NE(probe.find("TAG:track=7"), std::string::npos) << probe;
  probe = Shell("ffprobe -loglevel error -show_entries format_tags -of default=nw=1 " + Quote(wma)).text;
  EXPECT_NE(probe.find("TAG:genre=Jazz"), std::string::npos) << probe;
}

}  // namespace
